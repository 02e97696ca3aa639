#include <cmath>
#include <limits>
#include <random>

#include "factor/nzassign.h"
#include "plugin_test.h"
#include "reference/literal_factor.h"

namespace proxkit {
namespace {

using standin::make_column;
using standin::make_double;
using standin::make_sparse;
using testing::same_bits;

const char* const usage = "Usage: nzassign ( S, v )";
const char* const too_long = "v must not have more elements than S has stored values.";

class Nzassign : public testing::PluginTest {
 protected:
  static standin::Call run(mxArray* S, const std::vector<double>& v, int nlhs = 0) {
    return standin::call(testing::plugin("nzassign"), nlhs, {S, make_column(v)});
  }
  static void expect_written(const standin::Call& c) {
    EXPECT_FALSE(c.raised) << c.error;
    EXPECT_EQ(c.created, 0);
    EXPECT_EQ(c.out[0], nullptr);  // the result slot is never touched
  }
};

// Values that a copy through arithmetic would change: signed zero,
// subnormal, a NaN with a payload, infinities.
const std::vector<double> awkward = {-0.0, 4.9e-324, std::nan("0x5a5a"), -std::numeric_limits<double>::infinity(),
                                     0.0, 1.5};

TEST_F(Nzassign, OverwritesStoredValuesInPlaceBitForBit) {
  mxArray* sparse = make_sparse(4, 3, 8, {1, 2, 3, 4, 5, 6, 7, 8});
  expect_written(run(sparse, awkward));
  EXPECT_TRUE(same_bits({-0.0, 4.9e-324, std::nan("0x5a5a"), -std::numeric_limits<double>::infinity(), 0.0, 1.5, 7, 8},
                        standin::values(sparse)));

  mxArray* full = make_double(2, 3, {1, 2, 3, 4, 5, 6});
  expect_written(run(full, awkward));
  EXPECT_TRUE(same_bits(awkward, standin::values(full)));

  double dst[3] = {1, 2, 3};
  nzassign(dst, awkward.data(), 2);
  EXPECT_TRUE(same_bits({-0.0, 4.9e-324, 3}, {dst, dst + 3}));
}

TEST_F(Nzassign, ShortAndEmptyVectorsChangeOnlyTheirLength) {
  mxArray* S = make_sparse(3, 3, 4, {1, 2, 3, 4});
  expect_written(run(S, {}));
  EXPECT_TRUE(same_bits({1, 2, 3, 4}, standin::values(S)));
  expect_written(run(S, {9}));
  EXPECT_TRUE(same_bits({9, 2, 3, 4}, standin::values(S)));
}

TEST_F(Nzassign, RefusedCallsWriteNothing) {
  const auto& p = testing::plugin("nzassign");
  mxArray* S = make_sparse(3, 3, 2, {1, 2});
  mxArray* v = make_column({5});
  expect_refused(standin::call(p, 1, {S, v}), usage);
  expect_refused(standin::call(p, 0, {S}), usage);
  expect_refused(standin::call(p, 0, {S, v, v}), usage);
  // A sparse S holds its stored values, not its M*N elements, nor the
  // room allocated beyond them, which no element shows.
  expect_refused(run(S, {7, 8, 9}), too_long);
  mxArray* roomy = make_sparse(3, 3, 5, {1, 2});
  expect_refused(run(roomy, {7, 8, 9}), too_long);
  EXPECT_TRUE(same_bits({1, 2, 0, 0, 0}, standin::values(roomy)));
  mxArray* full = make_double(1, 2, {1, 2});
  expect_refused(run(full, {7, 8, 9}), too_long);
  expect_refused(run(make_sparse(2, 2, 0, {}), {1}), too_long);
  EXPECT_TRUE(same_bits({1, 2}, standin::values(S)));
  EXPECT_TRUE(same_bits({1, 2}, standin::values(full)));
}

TEST_F(Nzassign, InputsOfOtherClassesAreNeverWrittenOrRead) {
  const auto& p = testing::plugin("nzassign");
  mxArray* v = make_column({1});
  for (mxClassID id : {mxINT32_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS, mxCELL_CLASS})
    expect_refused(standin::call(p, 0, {standin::make_of_class(id, 2, 2), v}),
                   "S must be a real double or single array.");
  expect_refused(standin::call(p, 0, {standin::make_of_class(mxDOUBLE_CLASS, 2, 2, true), v}),
                 "S must be a real double or single array.");
  mxArray* S = make_double(2, 2);
  expect_refused(standin::call(p, 0, {S, standin::make_of_class(mxINT32_CLASS, 1, 1)}),
                 "v must be a real, full double or single array.");
  expect_refused(standin::call(p, 0, {S, make_sparse(1, 1, 1, {1})}),
                 "v must be a real, full double or single array.");
}

TEST_F(Nzassign, MatchesTheLiteralCopyOnAnyShape) {
  std::mt19937_64 rng(20261208);
  std::normal_distribution<double> normal;
  for (int round = 0; round < 200; ++round) {
    const size_t m = rng() % 5, n = rng() % 5, capacity = m * n == 0 ? 0 : rng() % (m * n + 1);
    const size_t stored = rng() % (capacity + 1);
    const bool sparse = rng() % 2 == 0;
    std::vector<double> before(sparse ? capacity : m * n), v(rng() % (before.size() + 2));
    for (size_t i = 0; i < (sparse ? stored : before.size()); ++i) before[i] = normal(rng);
    for (double& x : v) x = normal(rng);
    mxArray* S = sparse ? make_sparse(m, n, capacity, {before.begin(), before.begin() + stored})
                        : make_double(m, n, before);
    std::vector<double> expected = before;
    const standin::Call c = run(S, v);
    if (v.size() > (sparse ? stored : before.size())) {
      expect_refused(c, too_long);
    } else {
      expect_written(c);
      literal::nzassign(expected.data(), v.data(), v.size());
      std::vector<double> direct = before;
      nzassign(direct.data(), v.data(), v.size());
      EXPECT_TRUE(same_bits(expected, direct));
    }
    EXPECT_TRUE(same_bits(expected, standin::values(S)));
  }
}

}  // namespace
}  // namespace proxkit
