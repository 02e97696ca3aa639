#include <cmath>
#include <limits>

#include "plugin_test.h"
#include "random_segments.h"
#include "reference/literal_segments.h"
#include "segment/grpnorm.h"

namespace proxkit {
namespace {

using standin::make_column;
using standin::make_row;
using testing::same_bits;

class Grpnorm : public testing::PluginTest {
 protected:
  static standin::Call run(const std::vector<double>& vect, const std::vector<double>& table, int nlhs = 1) {
    return standin::call(testing::plugin("grpnorm"), nlhs, {make_column(vect), make_row(table)});
  }
  static double value(const std::vector<double>& vect, const std::vector<double>& table) {
    const standin::Call c = run(vect, table);
    EXPECT_FALSE(c.raised) << c.error;
    EXPECT_EQ(standin::rows(c.out[0]), 1u);
    EXPECT_EQ(standin::cols(c.out[0]), 1u);
    return standin::values(c.out[0])[0];
  }
};

const char* const usage = "Usage: out = grpnorm (vect, accIdx)";
const double inf = std::numeric_limits<double>::infinity();

TEST_F(Grpnorm, WrongCountsRaiseTheUsageMessageAndCreateNothing) {
  const auto& p = testing::plugin("grpnorm");
  mxArray* v = make_column({1, 2});
  mxArray* t = make_row({0, 2});
  expect_refused(standin::call(p, 1, {v}), usage);
  expect_refused(standin::call(p, 1, {v, t, t}), usage);
  expect_refused(standin::call(p, 2, {v, t}), usage);
  expect_refused(standin::call(p, 0, {}), usage);
}

TEST_F(Grpnorm, NoRequestedResultStillFillsTheFirstSlot) {
  const standin::Call c = run({3, 4}, {0, 2}, 0);
  ASSERT_FALSE(c.raised);
  ASSERT_NE(c.out[0], nullptr);
  EXPECT_EQ(standin::values(c.out[0])[0], 5.0);
}

TEST_F(Grpnorm, InputsOfOtherClassesAreNeverReadAsDoubles) {
  const auto& p = testing::plugin("grpnorm");
  mxArray* v = make_column({1, 2});
  mxArray* t = make_row({0, 2});
  for (mxClassID id : {mxINT32_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS, mxCELL_CLASS, mxSTRUCT_CLASS, mxUINT8_CLASS}) {
    expect_refused(standin::call(p, 1, {standin::make_of_class(id, 2, 1), t}),
                   "vect must be a real, full double or single array.");
    expect_refused(standin::call(p, 1, {v, standin::make_of_class(id, 1, 2)}),
                   "accIdx must be a real, full double array.");
  }
  expect_refused(standin::call(p, 1, {standin::make_of_class(mxDOUBLE_CLASS, 2, 1, true), t}),
                 "vect must be a real, full double or single array.");
  expect_refused(standin::call(p, 1, {standin::make_sparse(2, 1, 2, {1, 2}), t}),
                 "vect must be a real, full double or single array.");
  expect_refused(standin::call(p, 1, {v, standin::make_sparse(1, 2, 1, {2})}),
                 "accIdx must be a real, full double array.");
}

TEST_F(Grpnorm, OnlyALastEntryAboveTheLengthIsRefused) {
  const std::vector<double> v = {3, 4, 0, 5, 12};
  expect_refused(run(v, {0, 2, 5.5}), "INDEX OUT OF BOUND: the last index is out of bound.");
  expect_refused(run(v, {0, 6}), "INDEX OUT OF BOUND: the last index is out of bound.");
  expect_refused(run(v, {inf}), "INDEX OUT OF BOUND: the last index is out of bound.");
  EXPECT_EQ(value(v, {0, 2, 5}), 18.0);
  EXPECT_EQ(value(v, {0, 2, 4.5}), 5.0 + 13.0);
  EXPECT_EQ(value(v, {0, 2, std::nan("")}), 5.0);  // a NaN last entry passes and ends nothing
}

TEST_F(Grpnorm, StatedEdgeCases) {
  const std::vector<double> v = {3, 4, 0, 5, 12};
  EXPECT_EQ(value(v, {0, 2, 5}), 18.0);
  EXPECT_EQ(value(v, {3}), 0.0);                       // one entry: no segment
  EXPECT_EQ(value(v, {}), 0.0);                        // empty table: no segment
  EXPECT_EQ(value({3, 4}, {0, 0, 2}), 5.0);            // empty first segment
  EXPECT_EQ(value({100, 3, 4, 100}, {1, 3}), 5.0);     // outside positions ignored
  EXPECT_EQ(value({-3, -4}, {0, 2}), 5.0);             // squares of negatives
  EXPECT_EQ(value({1e200, 1}, {0, 2}), inf);           // no scaling: overflow
  EXPECT_TRUE(std::isnan(value({1, std::nan(""), 1}, {0, 1, 3})));
  EXPECT_EQ(value({1, -inf}, {0, 2}), inf);
  // Overlapping segments: position 2 counts in both.
  EXPECT_EQ(value({0, 0, 3, 4, 0}, {0, 2.5, 5}), 3.0 + 5.0);
}

TEST_F(Grpnorm, UnsafeTablesStayInsideTheVector) {
  const std::vector<double> v = {3, 4, 0, 5, 12};
  // Interior ends beyond the vector are clipped; impossible starts are empty.
  EXPECT_EQ(value(v, {3, 1e9, 2, 5}), 13.0 + 13.0);
  EXPECT_EQ(value(v, {std::nan(""), 5, -7, 5, inf, 5, 1e300, 5}), 0.0);
  EXPECT_EQ(value(v, {-0.5, 2}), 5.0);
  EXPECT_EQ(value({}, {0, 0}), 0.0);
  EXPECT_EQ(value({}, {}), 0.0);
}

TEST_F(Grpnorm, ShapeOfVectDoesNotMatter) {
  const standin::Call c =
      standin::call(testing::plugin("grpnorm"), 1, {standin::make_double(2, 2, {3, 4, 6, 8}), make_row({0, 2, 4})});
  ASSERT_FALSE(c.raised);
  EXPECT_EQ(standin::values(c.out[0])[0], 15.0);
}

// Found by fuzzing: see SegmentColumn.StartsFarPastTheVectorFormNoPointerOutsideIt.
TEST_F(Grpnorm, StartsFarPastTheVectorFormNoPointerOutsideIt) {
  const std::vector<double> v = {3, 4, 0, 5, 12};
  const double far = 2305843009213693952.0;  // 2^61
  for (const std::vector<double>& table : std::vector<std::vector<double>>{
           {far, 5}, {9.2e18, 1, far, 2, 2 * far, 3, 1e18, 4, 6, 5}, {6, 2, 5}})
    EXPECT_TRUE(same_bits({literal::grpnorm(v.data(), v.size(), table.data(), table.size())}, {value(v, table)}));
}

TEST_F(Grpnorm, MatchesTheLiteralReferenceBitForBit) {
  testing::RandomSegments random(20261208);
  for (int round = 0; round < 300; ++round) {
    const std::vector<double> v = random.vect();
    const std::vector<double> table = random.table(v.size());
    const double expected = literal::grpnorm(v.data(), v.size(), table.data(), table.size());
    EXPECT_TRUE(same_bits({expected}, {grpnorm(v.data(), v.size(), {table.data(), table.size()})}));
    EXPECT_TRUE(same_bits({expected}, {value(v, table)}));
  }
}

}  // namespace
}  // namespace proxkit
