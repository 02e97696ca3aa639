#include <cmath>
#include <limits>
#include <random>

#include "factor/pairdot.h"
#include "plugin_test.h"
#include "reference/literal_factor.h"

namespace proxkit {
namespace {

using standin::make_double;
using standin::make_row;
using testing::same_bits;

const char* const usage = "Usage: out = pairdot_native (U', V, iR, iC)";
const char* const ranks_differ = "the columns of U must the same as the rows of V";
const char* const rank_too_large = "r must be less or equal than min(m,n)";
const char* const lengths_differ = "iR and iC do not have the same length";
const char* const bad_rows = "iR must hold row numbers of U from 1 to m.";
const char* const bad_cols = "iC must hold column numbers of V from 1 to n.";
const double inf = std::numeric_limits<double>::infinity();

class Pairdot : public testing::PluginTest {
 protected:
  static standin::Call run(const mxArray* Ut, const mxArray* V, const std::vector<double>& iR,
                           const std::vector<double>& iC, int nlhs = 1) {
    return standin::call(testing::plugin("pairdot"), nlhs, {Ut, V, make_row(iR), make_row(iC)});
  }
  static std::vector<double> values(const mxArray* Ut, const mxArray* V, const std::vector<double>& iR,
                                    const std::vector<double>& iC) {
    const standin::Call c = run(Ut, V, iR, iC);
    EXPECT_FALSE(c.raised) << c.error;
    if (c.raised) return {};
    EXPECT_EQ(standin::rows(c.out[0]), 1u);
    EXPECT_EQ(standin::cols(c.out[0]), iR.size());
    return standin::values(c.out[0]);
  }
};

// U has rows (1, 2) and (3, 4); V = [5 7; 6 8].
mxArray* stated_Ut() { return make_double(2, 2, {1, 2, 3, 4}); }
mxArray* stated_V() { return make_double(2, 2, {5, 6, 7, 8}); }

TEST_F(Pairdot, StatedProduct) {
  EXPECT_TRUE(same_bits({23, 39}, values(stated_Ut(), stated_V(), {1, 2}, {2, 1})));
  const standin::Call c = run(stated_Ut(), stated_V(), {1, 2}, {2, 1}, 0);
  ASSERT_FALSE(c.raised);
  EXPECT_TRUE(same_bits({23, 39}, standin::values(c.out[0])));
}

TEST_F(Pairdot, MessagesComeInTheStatedOrder) {
  const auto& p = testing::plugin("pairdot");
  mxArray* Ut3 = make_double(3, 2);  // rank 3 over two columns
  mxArray* V2 = make_double(2, 2);
  mxArray* one = make_row({1});
  mxArray* two = make_row({1, 2});
  mxArray* zero = make_row({0});
  expect_refused(standin::call(p, 1, {Ut3, V2, one}), usage);
  expect_refused(standin::call(p, 1, {Ut3, V2, one, two, two}), usage);
  expect_refused(standin::call(p, 2, {V2, V2, one, one}), usage);
  expect_refused(standin::call(p, 1, {Ut3, V2, zero, two}), ranks_differ);
  expect_refused(standin::call(p, 1, {Ut3, make_double(3, 5), zero, two}), rank_too_large);
  expect_refused(standin::call(p, 1, {make_double(2, 5), make_double(2, 1), zero, two}), rank_too_large);
  expect_refused(standin::call(p, 1, {V2, V2, zero, two}), lengths_differ);
  expect_refused(standin::call(p, 1, {V2, V2, zero, zero}), bad_rows);
  expect_refused(standin::call(p, 1, {V2, V2, zero, make_row({3})}), bad_rows);
  expect_refused(standin::call(p, 1, {V2, V2, one, make_row({3})}), bad_cols);
}

TEST_F(Pairdot, InputsOfOtherClassesAreNeverRead) {
  const auto& p = testing::plugin("pairdot");
  mxArray* f = make_double(2, 2, {1, 2, 3, 4});
  mxArray* i = make_row({1});
  const mxArray* integer = standin::make_of_class(mxINT32_CLASS, 2, 2);
  expect_refused(standin::call(p, 1, {integer, f, i, i}), "U' must be a real, full double or single array.");
  expect_refused(standin::call(p, 1, {f, integer, i, i}), "V must be a real, full double or single array.");
  expect_refused(standin::call(p, 1, {f, f, standin::make_of_class(mxINT32_CLASS, 1, 1), i}),
                 "iR must be a real, full double array.");
  expect_refused(standin::call(p, 1, {f, f, i, standin::make_sparse(1, 1, 1, {1})}),
                 "iC must be a real, full double array.");
}

TEST_F(Pairdot, StatedShapes) {
  EXPECT_TRUE(same_bits({}, values(stated_Ut(), stated_V(), {}, {})));
  // Rank 0: nothing to add, every value is 0.
  EXPECT_TRUE(same_bits({0, 0}, values(make_double(0, 2), make_double(0, 3), {1, 2}, {3, 1})));
  // Equal counts of different shapes are accepted.
  const standin::Call c = standin::call(testing::plugin("pairdot"), 1,
                                        {stated_Ut(), stated_V(), standin::make_column({1, 2}), make_row({2, 1})});
  ASSERT_FALSE(c.raised) << c.error;
  EXPECT_TRUE(same_bits({23, 39}, standin::values(c.out[0])));
}

TEST_F(Pairdot, FractionalEntriesMoveTheStartInsideAColumn) {
  // r = 4: iR = 1.5 starts at offset 2, over the end of column 1 and the
  // start of column 2.
  mxArray* Ut = make_double(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  mxArray* V = make_double(4, 4, {1, 1, 1, 1, 10, 100, 1000, 10000});
  EXPECT_TRUE(same_bits({3 * 10 + 4 * 100 + 5 * 1000 + 6 * 10000.0}, values(Ut, V, {1.5}, {2})));
  // Entries that truncate to an offset inside the factor are accepted.
  EXPECT_TRUE(same_bits({1 + 2 + 3 + 4.0}, values(Ut, V, {0.9}, {1})));
  EXPECT_TRUE(same_bits({13 + 14 + 15 + 16.0}, values(Ut, V, {4.2}, {1})));
}

TEST_F(Pairdot, PositionsOutsideTheFactorsAreRefusedBeforeAnythingIsCreated) {
  mxArray* Ut = make_double(2, 3);  // r = 2, m = 3
  mxArray* V = make_double(2, 5);   // n = 5
  // 0.5 gives the offset -1, the first that truncates to none.
  for (double entry : {0.0, 0.5, -1.0, -inf, inf, std::nan(""), 1e300}) {
    expect_refused(run(Ut, V, {1, entry}, {1, 1}), bad_rows);
    expect_refused(run(Ut, V, {1, 1}, {entry, 1}), bad_cols);
  }
  // Beyond m or n, or a fractional entry whose run passes the last column.
  expect_refused(run(Ut, V, {4}, {1}), bad_rows);
  expect_refused(run(Ut, V, {3.6}, {1}), bad_rows);
  expect_refused(run(Ut, V, {1}, {6}), bad_cols);
  expect_refused(run(Ut, V, {1}, {5.6}), bad_cols);
  EXPECT_EQ(values(Ut, V, {3.4}, {5.4}).size(), 1u);
  // Rank 0 reads nothing: any finite entry passes, NaN and infinities do not.
  mxArray* empty = make_double(0, 3);
  EXPECT_TRUE(same_bits({0}, values(empty, empty, {-7}, {1e300})));
  expect_refused(run(empty, empty, {std::nan("")}, {1}), bad_rows);
  expect_refused(run(empty, empty, {1}, {-inf}), bad_cols);
}

TEST_F(Pairdot, MatchesTheLiteralReferenceBitForBit) {
  std::mt19937_64 rng(20261208);
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> unit;
  const double extremes[] = {0.0, -0.0, inf, -inf, std::nan(""), 1e200, 1e-160, 4.9e-324};
  for (int round = 0; round < 200; ++round) {
    const size_t r = rng() % 6, m = r + rng() % 5, n = r + rng() % 5, L = rng() % 30;
    std::vector<double> Ut(r * m), V(r * n), iR(L), iC(L);
    for (auto* f : {&Ut, &V})
      for (double& x : *f) x = rng() % 12 == 0 ? extremes[rng() % 8] : normal(rng) * std::pow(10.0, rng() % 9 - 4.0);
    for (size_t k = 0; k < L; ++k) {
      // Whole entries, and fractional ones whose offset stays inside.
      const bool whole = rng() % 3 != 0;
      iR[k] = m == 0 ? 1.0 : whole ? 1.0 + rng() % m : 1.0 + unit(rng) * (m - 1);
      iC[k] = n == 0 ? 1.0 : whole ? 1.0 + rng() % n : 1.0 + unit(rng) * (n - 1);
    }
    std::vector<double> expected(L), actual(L);
    literal::pairdot(Ut.data(), V.data(), r, iR.data(), iC.data(), L, expected.data());
    pairdot(Ut.data(), V.data(), r, iR.data(), iC.data(), L, actual.data());
    EXPECT_TRUE(same_bits(expected, actual));
    EXPECT_TRUE(same_bits(expected, values(make_double(r, m, Ut), make_double(r, n, V), iR, iC)));
  }
}

}  // namespace
}  // namespace proxkit
