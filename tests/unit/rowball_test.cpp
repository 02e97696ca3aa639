#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <type_traits>

#include "instruction_sets.h"
#include "plugin_test.h"
#include "random_segments.h"
#include "reference/literal_rowball.h"
#include "rowball/rowball.h"

namespace proxkit {
namespace {

using standin::make_double;
using standin::make_scalar;
using testing::same_bits;

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

// The three results of one call.
struct Projection {
  std::vector<double> P;  // column-major, as stored
  std::vector<double> theta;
  std::vector<double> iterations;
};

class Rowball : public testing::PluginTest {
 protected:
  static standin::Call run(const mxArray* X, double m, double n, double t, int nlhs = 3) {
    return standin::call(testing::plugin("rowball"), nlhs, {X, make_scalar(m), make_scalar(n), make_scalar(t)});
  }
  // X given column-major.
  static Projection project(size_t m, size_t n, const std::vector<double>& X, double t) {
    const standin::Call c = run(make_double(m, n, X), static_cast<double>(m), static_cast<double>(n), t);
    EXPECT_FALSE(c.raised) << c.error;
    EXPECT_EQ(c.created, 3);
    if (c.raised) return {};
    EXPECT_EQ(standin::rows(c.out[0]), m);
    EXPECT_EQ(standin::cols(c.out[0]), n);
    EXPECT_EQ(standin::rows(c.out[1]), m);
    EXPECT_EQ(standin::cols(c.out[2]), 1u);
    return {standin::values(c.out[0]), standin::values(c.out[1]), standin::values(c.out[2])};
  }
  static void expect_projection(const Projection& actual, const std::vector<double>& P,
                                const std::vector<double>& theta, const std::vector<double>& iterations) {
    EXPECT_TRUE(same_bits(P, actual.P));
    EXPECT_TRUE(same_bits(theta, actual.theta));
    EXPECT_TRUE(same_bits(iterations, actual.iterations));
  }
};

TEST_F(Rowball, StatedRows) {
  expect_projection(project(1, 3, {3, 1, -2}, 2), {1.5, 0, -0.5}, {1.5}, {2});
  expect_projection(project(1, 3, {3, 1, 2}, 0), {0, 0, 0}, {3}, {3});
  // Two rows at once, stored column-major.
  expect_projection(project(2, 3, {3, 3, 1, 1, -2, 2}, 2), {1.5, 1.5, 0, 0, -0.5, 0.5}, {1.5, 1.5}, {2, 2});
  // On the sphere or just outside it by no more than the tolerance: no
  // iteration, the row comes back as it was, except -0.0 outside the ball.
  expect_projection(project(1, 3, {-0.0, 1, -2}, 3), {-0.0, 1, -2}, {0}, {0});
  expect_projection(project(1, 3, {-0.0, 1, -2}, 3 - 5e-9), {0.0, 1, -2}, {0}, {0});
  expect_projection(project(1, 2, {0, -0.0}, 0), {0, -0.0}, {0}, {0});
}

TEST_F(Rowball, NaNAndInfinities) {
  // A NaN row fails the ball test, runs no iteration and loses its NaNs and
  // signed zeros.
  expect_projection(project(1, 4, {nan, -0.0, -3, 2}, 1), {0, 0, -3, 2}, {0}, {0});
  // A NaN radius does the same to every row, with no warning.
  const standin::Call c = run(make_double(2, 2, {-0.0, 1, 5, nan}), 2, 2, nan);
  EXPECT_EQ(c.printed, "");
  EXPECT_TRUE(same_bits({0, 1, 5, 0}, standin::values(c.out[0])));
  EXPECT_TRUE(same_bits({0, 0}, standin::values(c.out[1])));
  EXPECT_TRUE(same_bits({0, 0}, standin::values(c.out[2])));
  // An infinite element: one iteration, theta +Inf, the row becomes 0.
  expect_projection(project(1, 3, {1, -inf, 2}, 1), {0, 0, 0}, {inf}, {1});
  expect_projection(project(1, 2, {inf, inf}, 1), {0, 0}, {inf}, {1});
}

TEST_F(Rowball, NegativeRadiusOnlyWarns) {
  const standin::Call c = run(make_double(2, 2, {1, 2, 3, 4}), 2, 2, -1);
  EXPECT_FALSE(c.raised);
  EXPECT_EQ(c.printed, "\n t should be nonnegative!");
  ASSERT_EQ(c.created, 3);
  EXPECT_TRUE(same_bits({0, 0, 0, 0}, standin::values(c.out[0])));
  EXPECT_TRUE(same_bits({0, 0}, standin::values(c.out[1])));
  EXPECT_TRUE(same_bits({0, 0}, standin::values(c.out[2])));
}

TEST_F(Rowball, EmptyDimensions) {
  expect_projection(project(0, 3, {}, 1), {}, {}, {});
  expect_projection(project(2, 0, {}, 1), {}, {0, 0}, {0, 0});
  expect_projection(project(2, 0, {}, nan), {}, {0, 0}, {0, 0});
  // Dimensions are truncated toward zero; X's own shape is never consulted.
  const standin::Call c = run(make_double(1, 7, {3, 1, -2, 9, 9, 9, 9}), 1.9, 3.99, 2);
  ASSERT_FALSE(c.raised) << c.error;
  EXPECT_TRUE(same_bits({1.5, 0, -0.5}, standin::values(c.out[0])));
  EXPECT_EQ(standin::rows(c.out[0]), 1u);
  EXPECT_EQ(standin::values(run(make_double(1, 1, {5}), -0.5, 3, 1).out[0]).size(), 0u);
}

TEST_F(Rowball, CreatesOnlyTheResultsTheHostHasRoomFor) {
  const auto& p = testing::plugin("rowball");
  mxArray* X = make_double(1, 3, {3, 1, -2});
  const std::vector<const mxArray*> in = {X, make_scalar(1), make_scalar(3), make_scalar(2)};
  for (int nlhs : {0, 1, 2, 3}) {
    const standin::Call c = standin::call(p, nlhs, in);
    ASSERT_FALSE(c.raised) << c.error;
    EXPECT_EQ(c.created, std::max(nlhs, 1));
    EXPECT_TRUE(same_bits({1.5, 0, -0.5}, standin::values(c.out[0])));
    if (nlhs >= 2) {
      EXPECT_TRUE(same_bits({1.5}, standin::values(c.out[1])));
    }
  }
  const standin::Call many = standin::call(p, 5, in);
  EXPECT_EQ(many.created, 3);
  EXPECT_EQ(many.out[3], nullptr);
  // Inputs after the fifth, the tolerance, are ignored.
  std::vector<const mxArray*> extra = in;
  extra.push_back(make_scalar(1e-8));
  extra.push_back(standin::make_of_class(mxCELL_CLASS, 1, 1));
  EXPECT_FALSE(standin::call(p, 3, extra).raised);
}

TEST_F(Rowball, UnsafeCallsAreRefusedBeforeAnythingIsCreated) {
  const auto& p = testing::plugin("rowball");
  mxArray* X = make_double(2, 3);
  mxArray* two = make_scalar(2);
  mxArray* three = make_scalar(3);
  const char* usage = "Usage: [P, theta, iterations] = rowball (X, m, n, t)";
  expect_refused(standin::call(p, 3, {}), usage);
  expect_refused(standin::call(p, 3, {X, two, three}), usage);
  expect_refused(run(X, 2, 4, 1), "X must have at least m*n elements.");
  expect_refused(run(X, 7, 1, 1), "X must have at least m*n elements.");
  expect_refused(run(X, 65536, 65536, 1), "X must have at least m*n elements.");
  for (double bad : {-1.0, -inf, inf, nan, 2147483648.0, 1e300}) {
    expect_refused(run(X, bad, 3, 1), "m must be a count from 0 to 2147483647.");
    expect_refused(run(X, 2, bad, 1), "n must be a count from 0 to 2147483647.");
  }
  const mxArray* logical = standin::make_of_class(mxLOGICAL_CLASS, 1, 1);
  expect_refused(standin::call(p, 3, {logical, two, three, two}), "X must be a real, full double or single array.");
  expect_refused(standin::call(p, 3, {X, logical, three, two}), "m must be a real, full double array.");
  expect_refused(standin::call(p, 3, {X, two, standin::make_sparse(1, 1, 1, {3}), two}),
                 "n must be a real, full double array.");
  expect_refused(standin::call(p, 3, {X, two, three, standin::make_of_class(mxINT32_CLASS, 1, 1)}),
                 "t must be a real, full double or single array.");
  expect_refused(standin::call(p, 3, {X, two, three, make_double(0, 1)}), "t must have at least one element.");
  expect_refused(standin::call(p, 3, {X, make_double(1, 0), three, two}), "m must have at least one element.");
}

// Rows whose plain loop would never end: after the active set stops
// shrinking, |R - h*theta| is a rounding residue above the tolerance.
TEST_F(Rowball, LoopEndsWhereRoundingWouldKeepItGoing) {
  const std::vector<double> row = {1e16, 1e16, 1e16};
  ASSERT_EQ(literal::rowball_row(row, 3.0, 1e-8).end, literal::RowEnd::never);
  // theta = (3e16 - 3)/3 in double; every element stays active.
  expect_projection(project(1, 3, row, 3), {2, 2, 2}, {9999999999999998.0}, {1});

  // Six equal elements whose threshold rounds above them: the active set
  // empties, and the threshold of that iteration is kept.
  const std::vector<double> equal(6, 7e21);
  ASSERT_EQ(literal::rowball_row(equal, 1.0, 1e-8).end, literal::RowEnd::divides_by_empty_set);
  const Projection p = project(1, 6, equal, 1);
  EXPECT_TRUE(same_bits(std::vector<double>(6, 0.0), p.P));
  EXPECT_TRUE(same_bits({1}, p.iterations));
  EXPECT_GT(p.theta[0], 7e21);
  EXPECT_LT(p.theta[0], 7.00000000001e21);
}

template <class T>
struct Kernel {
  std::vector<T> P, theta, iterations;
};

template <class T>
Kernel<T> run_kernel(std::size_t m, std::size_t n, const std::vector<T>& X, T t, T tolerance) {
  Kernel<T> k{std::vector<T>(m * n), std::vector<T>(m), std::vector<T>(m)};
  EXPECT_TRUE(rowball(k.P.data(), k.theta.data(), k.iterations.data(), X.data(), static_cast<std::int32_t>(m),
                      static_cast<std::int32_t>(n), t, tolerance));
  return k;
}

// The documented tolerance ends this row's loop 5e-9 short of its exact
// threshold 2; the exact rule takes one iteration more and gets it.
TEST(RowballRule, ExactOnRequestInEitherClass) {
  const Kernel<double> exact = run_kernel<double>(1, 2, {3, 1.99999999}, 1, 0);
  EXPECT_TRUE(same_bits({1, 0}, exact.P));
  EXPECT_TRUE(same_bits({2}, exact.theta));
  EXPECT_TRUE(same_bits({2}, exact.iterations));
  const Kernel<double> documented = run_kernel<double>(1, 2, {3, 1.99999999}, 1, 1e-8);
  EXPECT_TRUE(same_bits({3 - 3.99999999 / 2, 0}, documented.P));
  EXPECT_TRUE(same_bits({3.99999999 / 2}, documented.theta));
  EXPECT_TRUE(same_bits({1}, documented.iterations));
  // Single's default is the exact rule: 1e-8 would leave this row as it is
  // with theta 0.
  const std::vector<float> x = {3e-10f, 1e-10f, -2e-10f};
  std::vector<float> P(3), theta(1), iterations(1);
  ASSERT_TRUE(rowball(P.data(), theta.data(), iterations.data(), x.data(), 1, 3, 1.5e-10f));
  const literal::RowProjection<float> exact_rule = literal::rowball_row(x, 1.5e-10f, 0.0f);
  EXPECT_TRUE(same_bits(exact_rule.p, P));
  EXPECT_TRUE(same_bits<float>({exact_rule.theta}, theta));
  EXPECT_NEAR(theta[0], 1.75e-10f, 1e-16f);
}

// Beyond 2^24 columns a float that counts by adding 1 stops at 2^24: the
// row's count (2^24 + 2, exact in float) would never equal what the
// iteration counts, so it would run a second iteration the plain loop does
// not.
TEST(RowballRule, RowsOfSingleLongerThanAFloatCountsGetThePlainBits) {
  const std::vector<float> x((std::size_t{1} << 24) + 2, 1.0f);
  const literal::RowProjection<float> expected = literal::rowball_row(x, 1.0f, 0.0f);
  ASSERT_EQ(expected.iterations, 1.0f);
  const Kernel<float> k = run_kernel<float>(1, x.size(), x, 1, 0);
  EXPECT_TRUE(same_bits<float>({expected.theta}, k.theta));
  EXPECT_TRUE(same_bits<float>({1}, k.iterations));
  EXPECT_TRUE(k.P == expected.p);
}

// The textbook projection as the referee of the exact rule, in a wider type
// W: sort the magnitudes descending; theta = (cumsum_k - t)/k for the
// largest k with u_k >= (cumsum_k - t)/k (the textbook's > gives no k when
// t = 0; a u_k equal to its candidate leaves theta as it is).
template <class W, class T>
W sorted_threshold(const std::vector<T>& x, T t) {
  std::vector<W> u(x.begin(), x.end());
  for (W& v : u) v = std::fabs(v);
  std::sort(u.begin(), u.end(), [](W a, W b) { return a > b; });
  W cumsum = 0, theta = 0;
  for (std::size_t k = 1; k <= u.size(); ++k) {
    cumsum += u[k - 1];
    const W candidate = (cumsum - t) / static_cast<W>(k);
    if (u[k - 1] >= candidate) theta = candidate;
  }
  return theta;
}

// The exact rule against the referee, from the smallest to the largest
// normal scales of each class, radii from 0 to just below the row's l1
// norm, rows with ties.  The kernel sums the last active set (h values, sum
// at most S, the row's l1 norm: an error below h (eps/2) S) and divides it
// less t by h once: theta is off by less than (eps/2) S plus a rounding of
// theta itself.  A value within that of theta may fall on either side,
// which moves theta by no more.  So theta and every projected value lie
// within 2 eps S of the referee's.
template <class T, class W>
void expect_exact_thresholds(const std::vector<double>& scales) {
  std::mt19937_64 rng(30);
  std::normal_distribution<double> normal;
  const T eps = std::numeric_limits<T>::epsilon();
  for (double scale : scales) {
    for (int round = 0; round < 200; ++round) {
      const std::size_t n = 1 + rng() % 64;
      std::vector<T> x(n);
      for (T& v : x) v = static_cast<T>(normal(rng) * scale);
      if (round % 4 == 0)
        for (std::size_t j = 1; j < n; j += 2) x[j] = -x[j - 1];
      T S = 0;
      for (T v : x) S += std::fabs(v);
      const double fractions[] = {0, 1e-6, 0.01, 0.3, 0.9, 0.999999};
      const T t = static_cast<T>(fractions[round % 6] * static_cast<double>(S));
      std::vector<T> P(n), theta(1), iterations(1);
      ASSERT_TRUE(rowball(P.data(), theta.data(), iterations.data(), x.data(), 1, static_cast<std::int32_t>(n), t,
                          T(0)));
      const W expected = sorted_threshold<W>(x, t);
      const W bound = 2 * eps * static_cast<W>(S);
      ASSERT_LE(std::fabs(theta[0] - expected), bound)
          << "scale " << scale << ", n " << n << ", t " << t << ": theta " << theta[0] << ", referee " << expected;
      for (std::size_t j = 0; j < n; ++j) {
        const W magnitude = std::fabs(static_cast<W>(x[j])) - expected;
        const W exact = magnitude > 0 ? std::copysign(magnitude, static_cast<W>(x[j])) : W(0);
        ASSERT_LE(std::fabs(P[j] - exact), bound) << "scale " << scale << ", element " << j;
      }
      EXPECT_LE(iterations[0], static_cast<T>(n));
    }
  }
}

TEST(RowballRule, ExactRuleMatchesTheSortedProjectionAtEveryScale) {
  expect_exact_thresholds<double, long double>({1e-300, 1e-150, 1e-6, 1, 1e6, 1e150, 1e300});
  expect_exact_thresholds<float, double>({1e-36, 1e-18, 1e-6, 1, 1e6, 1e18, 1e36});
}

// Every instruction set the machine has, forced in turn, against the literal
// loop bit for bit, in either class, with the documented tolerance and the
// exact rule; the plug-in (which runs the widest) gives the kernel's bits
// too, in the class of X.  Shapes cross the vector and block widths and
// their leftovers; rows of small integers with t = 0 or an integer radius
// tie values with the thresholds of later iterations, where only the
// iteration count tells a compaction that keeps values > theta from one
// that keeps values >= theta.
// Where the stated loop would not end, the kernel must have stopped where
// the literal loop became certain of it.
class RowballPath : public testing::OnInstructionSet<Rowball> {
 protected:
  template <class T>
  static mxArray* values_of(size_t m, size_t n, const std::vector<T>& values) {
    if constexpr (std::is_same_v<T, double>)
      return make_double(m, n, values);
    else
      return standin::make_single(m, n, values);
  }
  template <class T>
  static std::vector<T> results_of(const mxArray* a) {
    if constexpr (std::is_same_v<T, double>)
      return standin::values(a);
    else
      return standin::singles(a);
  }
  template <class T>
  static void expect_literal_bits(T tolerance) {
    SCOPED_TRACE(::testing::Message() << (sizeof(T) == 4 ? "single" : "double") << ", tolerance " << tolerance);
    std::mt19937_64 rng(20261208);
    std::normal_distribution<T> normal;
    const T inf = std::numeric_limits<T>::infinity();
    const T extremes[] = {0, -T(0), inf, -inf, std::numeric_limits<T>::quiet_NaN(),
                          std::numeric_limits<T>::denorm_min(), std::numeric_limits<T>::min()};
    const T radii[] = {0, T(1e-9), T(1e-8), T(0.5), 1, 3, 100, std::numeric_limits<T>::quiet_NaN()};
    int compared = 0, never = 0;
    for (int round = 0; round < 400; ++round) {
      const size_t m = round % 4 == 0 ? rng() % 100 : rng() % 20;
      const size_t n = round % 8 == 1 ? rng() % 60 : rng() % 9;
      const bool small_integers = round % 5 == 2;
      const T scale = static_cast<T>(std::pow(10.0, static_cast<double>(rng() % 24) - 4.0));
      std::vector<T> X(m * n);
      for (T& x : X) {
        switch (small_integers ? 1 : rng() % 10) {
          case 0: x = extremes[rng() % 7]; break;
          case 1: x = static_cast<T>(static_cast<int>(rng() % 9) - 4); break;
          default: x = normal(rng) * scale; break;
        }
      }
      if (m > 0 && rng() % 4 == 0)
        for (size_t j = 1; j < n; ++j) X[j * m] = X[0];  // a row of equal magnitudes
      const T t = small_integers ? static_cast<T>(rng() % 3 == 0 ? rng() % 5 : 0)
                  : rng() % 3 == 0 ? scale * std::fabs(normal(rng))
                                   : radii[rng() % 8];

      const Kernel<T> k = run_kernel(m, n, X, t, tolerance);
      // The plug-in: tol passed where it is not the class's default.
      std::vector<const mxArray*> in = {values_of(m, n, X), make_scalar(static_cast<double>(m)),
                                        make_scalar(static_cast<double>(n)), values_of<T>(1, 1, {t})};
      if (tolerance != (std::is_same_v<T, double> ? T(1e-8) : T(0))) in.push_back(values_of<T>(1, 1, {tolerance}));
      const standin::Call c = standin::call(testing::plugin("rowball"), 3, in);
      ASSERT_FALSE(c.raised) << c.error;
      EXPECT_TRUE(same_bits(k.P, results_of<T>(c.out[0])));
      EXPECT_TRUE(same_bits(k.theta, results_of<T>(c.out[1])));
      EXPECT_TRUE(same_bits(k.iterations, results_of<T>(c.out[2])));
      for (size_t i = 0; i < m; ++i) {
        std::vector<T> row(n), projected(n);
        for (size_t j = 0; j < n; ++j) row[j] = X[i + j * m];
        for (size_t j = 0; j < n; ++j) projected[j] = k.P[i + j * m];
        const literal::RowProjection<T> expected = literal::rowball_row(row, t, tolerance);
        never += expected.end != literal::RowEnd::by_test;
        ++compared;
        EXPECT_TRUE(same_bits(expected.p, projected));
        EXPECT_TRUE(same_bits<T>({expected.theta}, {k.theta[i]}));
        EXPECT_TRUE(same_bits<T>({expected.iterations}, {k.iterations[i]}));
        EXPECT_LE(k.iterations[i], static_cast<T>(n));
      }
    }
    EXPECT_GT(compared, 1500);
    EXPECT_GT(never, 0);  // the draw does reach the rows the plain loop cannot finish
  }
};

TEST_P(RowballPath, MatchesTheLiteralLoopInEitherClass) {
  expect_literal_bits<double>(1e-8);
  expect_literal_bits<double>(0);
  expect_literal_bits<float>(0);
  expect_literal_bits<float>(1e-8f);
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, RowballPath, testing::every_instruction_set(),
                         testing::instruction_set_test_name);

}  // namespace
}  // namespace proxkit
