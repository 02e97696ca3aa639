// grpclip's arithmetic, bit for bit through the plug-in.
#include <cmath>
#include <limits>

#include "plugin_test.h"

namespace proxkit {
namespace {

using testing::same_bits;

class Grpclip : public testing::PluginTest {
 protected:
  static std::vector<double> clip(const std::vector<double>& vect, const std::vector<double>& table) {
    return testing::column_result("grpclip", {standin::make_column(vect), standin::make_row(table)});
  }
};

const double inf = std::numeric_limits<double>::infinity();

TEST_F(Grpclip, SegmentsLongerThanOneAreDividedByTheirNorm) {
  EXPECT_TRUE(same_bits({3.0 / 5.0, -4.0 / 5.0, 0.3, 0.4}, clip({3, -4, 0.3, 0.4}, {0, 2, 4})));
  // Norm exactly 1 is not above 1: copied, signed zeros included.
  EXPECT_TRUE(same_bits({-0.0, -1, 0.0}, clip({-0.0, -1, 0.0}, {0, 3})));
}

TEST_F(Grpclip, EverythingOutsideASegmentIsCopiedBitForBit) {
  const double quiet_with_payload = std::nan("0x5");
  const std::vector<double> v = {quiet_with_payload, -0.0, 4.9e-324, 3, 4, -inf};
  EXPECT_TRUE(same_bits({quiet_with_payload, -0.0, 4.9e-324, 0.6, 0.8, -inf}, clip(v, {3, 5})));
  EXPECT_TRUE(same_bits(v, clip(v, {2})));
  EXPECT_TRUE(same_bits(v, clip(v, {})));
}

TEST_F(Grpclip, NanAndInfinityPropagate) {
  // A NaN norm fails the test: the segment is copied.
  const double quiet_with_payload = std::nan("0x7");
  EXPECT_TRUE(same_bits({5, quiet_with_payload}, clip({5, quiet_with_payload}, {0, 2})));
  // An infinite norm: finite elements become zeros of their sign, infinite
  // ones NaN.
  std::vector<double> out = clip({2, inf, -3}, {0, 3});
  EXPECT_TRUE(same_bits({0.0, -0.0}, {out[0], out[2]}));
  EXPECT_TRUE(std::isnan(out[1]));
  // Squares that overflow: the element of 1e200 itself becomes 0.
  EXPECT_TRUE(same_bits({0.0, -0.0}, clip({1e200, -1}, {0, 2})));
}

TEST_F(Grpclip, ASharedPositionIsDividedOnceByEachOverlappingSegment) {
  // Positions 0-2 (norm 5) and 2-4 (norm 13), both norms from vect.
  EXPECT_TRUE(same_bits({3.0 / 5, 0.0 / 5, 4.0 / 5 / 13, 12.0 / 13, -3.0 / 13},
                        clip({3, 0, 4, 12, -3}, {0, 2.5, 5})));
  // A second segment of norm at most 1 leaves the shared position alone.
  const double first = std::sqrt(4.0 * 4.0 + 0.3 * 0.3);
  EXPECT_TRUE(same_bits({4 / first, 0.3 / first, 0.4}, clip({4, 0.3, 0.4}, {0, 2, 1, 3})));
}

}  // namespace
}  // namespace proxkit
