// grpsign's arithmetic, bit for bit through the plug-in.
#include <cmath>
#include <limits>

#include "plugin_test.h"

namespace proxkit {
namespace {

using testing::same_bits;

class Grpsign : public testing::PluginTest {
 protected:
  static std::vector<double> sign(const std::vector<double>& vect, const std::vector<double>& table, double rho) {
    return testing::column_result(
        "grpsign", {standin::make_column(vect), standin::make_row(table), standin::make_scalar(rho)});
  }
};

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

TEST_F(Grpsign, SegmentsAreDividedByTheirNormUnlessItIsBelowTenRho) {
  EXPECT_TRUE(same_bits({3.0 / 5, -4.0 / 5}, sign({3, -4}, {0, 2}, 0.01)));
  // Counting as zero writes +0.0, whatever the signs in vect.
  EXPECT_TRUE(same_bits({0.0, 0.0}, sign({-3, -4}, {0, 2}, 1)));
  // Norm exactly 10 * rho is not below it.
  EXPECT_TRUE(same_bits({3.0 / 5, 4.0 / 5}, sign({3, 4}, {0, 2}, 0.5)));
  // rho < 0: the test never holds, whatever the norm.
  EXPECT_TRUE(same_bits({3.0 / 5, 4.0 / 5}, sign({3, 4}, {0, 2}, -1)));
}

TEST_F(Grpsign, AnAllZeroSegmentIsZeroOnlyForPositiveRho) {
  EXPECT_TRUE(same_bits({0.0, 0.0}, sign({0.0, -0.0}, {0, 2}, 1e-300)));
  for (double rho : {0.0, -0.0, -1.0, nan})
    for (double x : sign({0.0, -0.0}, {0, 2}, rho)) EXPECT_TRUE(std::isnan(x)) << rho;  // 0 / 0
}

TEST_F(Grpsign, NanAndInfinityPropagate) {
  const std::vector<double> out = sign({1, nan, 3, 4}, {0, 2, 4}, 1e9);
  EXPECT_TRUE(std::isnan(out[0]) && std::isnan(out[1]));  // NaN norm: both comparisons fail
  EXPECT_TRUE(same_bits({0.0, 0.0}, {out[2], out[3]}));
  EXPECT_TRUE(same_bits({3.0 / 5, 4.0 / 5}, sign({3, 4}, {0, 2}, nan)));
  // An infinite norm divides the finite elements to zeros of their sign.
  const std::vector<double> big = sign({1e200, -2, inf}, {0, 2, 3}, 1);
  EXPECT_TRUE(same_bits({0.0, -0.0}, {big[0], big[1]}));
  EXPECT_TRUE(std::isnan(big[2]));
  // rho = +Inf: every finite norm counts as zero.
  EXPECT_TRUE(same_bits({0.0, 0.0}, sign({3e300, 4e300}, {0, 2}, inf)));
}

TEST_F(Grpsign, PositionsOutsideEverySegmentAreZero) {
  EXPECT_TRUE(same_bits({0, 0.6, 0.8, 0}, sign({nan, 3, 4, -inf}, {1, 3}, 0.01)));
  EXPECT_TRUE(same_bits({0, 0}, sign({3, 4}, {2}, 0.01)));
}

TEST_F(Grpsign, OverlappingSegmentsAreProcessedInTableOrder) {
  // Positions 0-2 and 2-4; position 2 takes the later segment's result,
  // including zeros written over a direction.
  const double first = std::sqrt(916.0);
  EXPECT_TRUE(same_bits({30 / first, 0 / first, 0, 0, 0}, sign({30, 0, 4, 0, 0}, {0, 2.5, 5}, 1)));
  EXPECT_TRUE(same_bits({30 / first, 0 / first, 1, 0, 0}, sign({30, 0, 4, 0, 0}, {0, 2.5, 5}, 0.01)));
}

}  // namespace
}  // namespace proxkit
