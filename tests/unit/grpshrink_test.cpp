// grpshrink's arithmetic, bit for bit through the plug-in.
#include <cmath>
#include <limits>

#include "plugin_test.h"

namespace proxkit {
namespace {

using testing::same_bits;

class Grpshrink : public testing::PluginTest {
 protected:
  static std::vector<double> shrink(const std::vector<double>& vect, const std::vector<double>& table, double rho) {
    return testing::column_result(
        "grpshrink", {standin::make_column(vect), standin::make_row(table), standin::make_scalar(rho)});
  }
};

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

TEST_F(Grpshrink, ScalesEachSegmentByOneMinusTheReciprocalOfRhoTimesItsNorm) {
  // 1 - 1/5 = 0.8; 0.8 * 3 rounds up in double.
  EXPECT_TRUE(same_bits({2.4000000000000004, 3.2, 0, 0}, shrink({3, 4, 0.3, 0.4}, {0, 2, 4}, 1)));
  // rho < 0 lengthens the segment by |1/rho|: 1 - 1/(5 * -1) = 1.2.
  EXPECT_TRUE(same_bits({1.2 * 3, 1.2 * -4}, shrink({3, -4}, {0, 2}, -1)));
}

TEST_F(Grpshrink, AFactorOfZeroKeepsTheSignOfEachElement) {
  // Norm exactly 1/rho: g = 0.
  EXPECT_TRUE(same_bits({-0.0, 0.0, -0.0}, shrink({-2, 0, -0.0}, {0, 3}, 0.5)));
  // All-zero segment, rho > 0: reciprocal +Inf, g -Inf, factor 0.
  EXPECT_TRUE(same_bits({0.0, -0.0}, shrink({0.0, -0.0}, {0, 2}, 2)));
  // rho = 0 on a finite non-zero segment: the product is 0, the reciprocal +Inf.
  EXPECT_TRUE(same_bits({0.0, -0.0}, shrink({3, -4}, {0, 2}, 0)));
}

TEST_F(Grpshrink, SignedZerosOfRhoAndTheNormReachTheReciprocal) {
  // All-zero segment, rho < 0: the product is -0, g = +Inf, +Inf * 0 is NaN.
  for (double x : shrink({0.0, -0.0}, {0, 2}, -1)) EXPECT_TRUE(std::isnan(x));
  // rho = -0 on a non-zero segment: reciprocal -Inf, g = +Inf.
  EXPECT_TRUE(same_bits({inf, -inf}, shrink({3, -4}, {0, 2}, -0.0)));
}

TEST_F(Grpshrink, NanAndInfinityPropagate) {
  // A NaN anywhere in a segment makes the whole segment NaN, and only it.
  const std::vector<double> out = shrink({1, nan, -1, 3, 4}, {0, 3, 5}, 1);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(std::isnan(out[i])) << i;
  EXPECT_TRUE(same_bits({2.4000000000000004, 3.2}, {out[3], out[4]}));
  for (double x : shrink({3, 4}, {0, 2}, nan)) EXPECT_TRUE(std::isnan(x));
  // An infinite norm (an infinite element, or squares that overflow) gives
  // g = 1: the segment is kept as it is.
  EXPECT_TRUE(same_bits({inf, -2}, shrink({inf, -2}, {0, 2}, 1)));
  EXPECT_TRUE(same_bits({1e200, -1}, shrink({1e200, -1}, {0, 2}, 1)));
  // rho = +Inf: reciprocal 0, g = 1.
  EXPECT_TRUE(same_bits({3, -4}, shrink({3, -4}, {0, 2}, inf)));
}

TEST_F(Grpshrink, PositionsOutsideEverySegmentAreZero) {
  EXPECT_TRUE(same_bits({0, 2.4000000000000004, 3.2, 0, 0}, shrink({nan, 3, 4, -inf, -7}, {1, 3}, 1)));
  EXPECT_TRUE(same_bits({0, 0, 0}, shrink({1, 2, 3}, {2}, 1)));
}

TEST_F(Grpshrink, OverlappingSegmentsAreProcessedInTableOrder) {
  // Positions 0-2 (norm 5) and 2-4 (norm 13); position 2 keeps the second
  // segment's value, computed from vect.
  const double first = 1.0 - 1.0 / 5.0, second = 1.0 - 1.0 / 13.0;
  EXPECT_TRUE(same_bits({first * 3, first * 0, second * 4, second * 12, second * -3},
                        shrink({3, 0, 4, 12, -3}, {0, 2.5, 5}, 1)));
}

}  // namespace
}  // namespace proxkit
