#include <cmath>
#include <limits>
#include <random>

#include "instruction_sets.h"
#include "plugin_test.h"
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
  ASSERT_EQ(literal::rowball_row(row, 3).end, literal::RowEnd::never);
  // theta = (3e16 - 3)/3 in double; every element stays active.
  expect_projection(project(1, 3, row, 3), {2, 2, 2}, {9999999999999998.0}, {1});

  // Six equal elements whose threshold rounds above them: the active set
  // empties, and the threshold of that iteration is kept.
  const std::vector<double> equal(6, 7e21);
  ASSERT_EQ(literal::rowball_row(equal, 1).end, literal::RowEnd::divides_by_empty_set);
  const Projection p = project(1, 6, equal, 1);
  EXPECT_TRUE(same_bits(std::vector<double>(6, 0.0), p.P));
  EXPECT_TRUE(same_bits({1}, p.iterations));
  EXPECT_GT(p.theta[0], 7e21);
  EXPECT_LT(p.theta[0], 7.00000000001e21);
}

// Every instruction set the machine has, forced in turn, against the literal
// loop bit for bit, and the plug-in (which runs the widest) against both.
// Shapes cross the vector and block widths and their leftovers; rows of
// small integers with t = 0 or an integer radius tie values with the
// thresholds of later iterations, where only the iteration count tells a
// compaction that keeps values > theta from one that keeps values >= theta.
class RowballPath : public testing::OnInstructionSet<Rowball> {};

TEST_P(RowballPath, MatchesTheLiteralLoopWhereverItEnds) {
  std::mt19937_64 rng(20261208);
  std::normal_distribution<double> normal;
  const double extremes[] = {0.0, -0.0, inf, -inf, nan, std::numeric_limits<double>::denorm_min(), 1e-300};
  const double radii[] = {0.0, 1e-9, 1e-8, 0.5, 1.0, 3.0, 100.0, nan};
  int compared = 0, never = 0;
  for (int round = 0; round < 400; ++round) {
    const size_t m = round % 4 == 0 ? rng() % 100 : rng() % 20;
    const size_t n = round % 8 == 1 ? rng() % 60 : rng() % 9;
    const bool small_integers = round % 5 == 2;
    const double scale = std::pow(10.0, static_cast<double>(rng() % 24) - 4.0);
    std::vector<double> X(m * n);
    for (double& x : X) {
      switch (small_integers ? 1 : rng() % 10) {
        case 0: x = extremes[rng() % 7]; break;
        case 1: x = static_cast<double>(static_cast<int>(rng() % 9) - 4); break;
        default: x = normal(rng) * scale; break;
      }
    }
    if (m > 0 && rng() % 4 == 0)
      for (size_t j = 1; j < n; ++j) X[j * m] = X[0];  // a row of equal magnitudes
    const double t = small_integers ? static_cast<double>(rng() % 3 == 0 ? rng() % 5 : 0)
                     : rng() % 3 == 0 ? scale * std::fabs(normal(rng))
                                      : radii[rng() % 8];

    std::vector<double> P(m * n), theta(m), iterations(m);
    ASSERT_TRUE(rowball(P.data(), theta.data(), iterations.data(), X.data(), static_cast<std::int32_t>(m),
                        static_cast<std::int32_t>(n), t));
    const Projection through_host = project(m, n, X, t);
    EXPECT_TRUE(same_bits(P, through_host.P));
    EXPECT_TRUE(same_bits(theta, through_host.theta));
    EXPECT_TRUE(same_bits(iterations, through_host.iterations));

    for (size_t i = 0; i < m; ++i) {
      std::vector<double> row(n), projected(n);
      for (size_t j = 0; j < n; ++j) row[j] = X[i + j * m];
      for (size_t j = 0; j < n; ++j) projected[j] = P[i + j * m];
      const literal::RowProjection expected = literal::rowball_row(row, t);
      if (expected.end != literal::RowEnd::by_test) {
        ++never;
        EXPECT_LE(iterations[i], static_cast<double>(n));
        continue;
      }
      ++compared;
      EXPECT_TRUE(same_bits(expected.p, projected));
      EXPECT_TRUE(same_bits({expected.theta}, {theta[i]}));
      EXPECT_TRUE(same_bits({expected.iterations}, {iterations[i]}));
    }
  }
  EXPECT_GT(compared, 500);
  EXPECT_GT(never, 0);  // the draw does reach the rows the plain loop cannot finish
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, RowballPath, testing::every_instruction_set(),
                         testing::instruction_set_test_name);

}  // namespace
}  // namespace proxkit
