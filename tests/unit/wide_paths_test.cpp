// Every instruction set the machine has, forced in turn: the segment kernels
// and pairdot bit for bit against their literal loops, in double and in
// float, on tables whose batches of segments have unequal lengths and cross
// the lane and batch sizes, and on pairdot positions of every kind; and the
// lanes' operations one by one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "factor/pairdot.h"
#include "instruction_sets.h"
#include "plugin_test.h"
#include "random_segments.h"
#include "reference/literal_factor.h"
#include "reference/literal_segments.h"
#include "segment/grpclip.h"
#include "segment/grpnorm.h"
#include "segment/grpshrink.h"
#include "segment/grpsign.h"
#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"
namespace proxkit {
constexpr std::size_t lane_op_count = 18;
}
#define PROXKIT_PER_SET "unit/lane_ops.h"
#include "core/for_each_set.h"

namespace proxkit {
namespace {

using testing::same_bits;

class WidePath : public testing::OnInstructionSet<::testing::Test> {};

// The segment kernels on values of type T against the literal loops on T.
template <class T>
void check_segment_kernels() {
  testing::RandomSegments random(20261213);
  for (int round = 0; round < 300; ++round) {
    const std::vector<double> table = round % 4 == 0 ? random.table(40) : random.long_table();
    const double last = table.empty() ? 0.0 : table.back();
    const std::vector<T> v = random.vect<T>(last > 0 && last < 1e6 ? static_cast<size_t>(last) + round % 3 : 40);
    const T rho = static_cast<T>(random.rho());
    const size_t n = v.size(), K = table.size();
    const SegmentTable t{table.data(), K};
    const std::string where = "round " + std::to_string(round);

    EXPECT_TRUE(same_bits(std::vector<T>{literal::grpnorm(v.data(), n, table.data(), K)},
                          std::vector<T>{grpnorm(v.data(), n, t)}))
        << where;
    std::vector<T> expected(n, 0), actual(n, 0);
    literal::grpclip(v.data(), n, table.data(), K, expected.data());
    grpclip(v.data(), n, t, actual.data());
    EXPECT_TRUE(same_bits(expected, actual)) << "grpclip " << where;
    expected.assign(n, 0), actual.assign(n, 0);
    literal::grpshrink(v.data(), n, table.data(), K, rho, expected.data());
    grpshrink(v.data(), n, t, rho, actual.data());
    EXPECT_TRUE(same_bits(expected, actual)) << "grpshrink " << where;
    expected.assign(n, 0), actual.assign(n, 0);
    literal::grpsign(v.data(), n, table.data(), K, rho, expected.data());
    grpsign(v.data(), n, t, rho, actual.data());
    EXPECT_TRUE(same_bits(expected, actual)) << "grpsign " << where;
  }
}

TEST_P(WidePath, SegmentKernelsMatchTheLiteralLoops) {
  check_segment_kernels<double>();
  check_segment_kernels<float>();
}

template <class T>
void check_pairdot() {
  std::mt19937_64 rng(20261213);
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> unit;
  for (int round = 0; round < 100; ++round) {
    // Ranks across the lane widths, groups of positions across the group of
    // eight (or sixteen) and the prefetch distance; every fourth round full
    // of NaNs, so that two meet in one product or one sum.
    const size_t r = rng() % 40, m = r + 1 + rng() % 9, n = r + 1 + rng() % 9, L = rng() % 70;
    const unsigned nan_share = round % 4 == 0 ? 3 : 96;
    std::vector<T> Ut(r * m), V(r * n);
    std::vector<double> iR(L), iC(L);
    for (auto* f : {&Ut, &V})
      for (T& x : *f)
        x = rng() % nan_share == 0 ? testing::random_nan<T>(rng)
            : rng() % 12 == 0      ? testing::random_extreme<T>(rng)
                                   : static_cast<T>(normal(rng));
    for (size_t k = 0; k < L; ++k) {
      const bool whole = rng() % 3 != 0;
      iR[k] = whole ? 1.0 + rng() % m : 1.0 + unit(rng) * (m - 1);
      iC[k] = whole ? 1.0 + rng() % n : 1.0 + unit(rng) * (n - 1);
    }
    std::vector<T> expected(L), actual(L);
    literal::pairdot(Ut.data(), V.data(), r, iR.data(), iC.data(), L, expected.data());
    pairdot(Ut.data(), V.data(), r, iR.data(), iC.data(), L, actual.data());
    EXPECT_TRUE(same_bits(expected, actual)) << "round " << round;
  }
}

TEST_P(WidePath, PairdotMatchesTheLiteralLoop) {
  check_pairdot<double>();
  check_pairdot<float>();
}

// Each lane of every operation of the chosen set's lanes on T against the
// scalar operation, bit for bit, on values that include every kind of
// special (at most one NaN operand per operation: with two, the scalar code
// itself may keep either; add_kept's sums never -0, which it may keep as
// they are; square roots of magnitudes only, as the kernels take them: the
// NaN of a negative one is the processor's own, and the Arm build's scalar
// root under emulation gives another one than its vector instruction); transposes of width rows; partial loads and
// stores reading and writing no value past their count.
template <class T>
void check_lane_ops() {
  const size_t w = on_chosen_set([](auto set) { return lane_width(set, T{}); });
  const T inf = std::numeric_limits<T>::infinity();
  const T specials[] = {T{0}, -T{0}, T{1}, T{-1}, T{2}, inf, -inf, std::numeric_limits<T>::max(),
                        std::numeric_limits<T>::denorm_min(), std::numeric_limits<T>::min(), T{3} / T{7}};
  std::mt19937_64 rng(20261209);
  std::normal_distribution<T> normal;
  const auto random_value = [&](bool nan) {
    const unsigned kind = rng() % 4;
    return nan && kind == 0 ? static_cast<T>(testing::random_nan(rng)) : kind == 1 ? specials[rng() % 11] : normal(rng);
  };
  for (size_t round = 0; round < 200; ++round) {
    const size_t count = round % (w + 1);
    std::vector<T> a(w), b(w), out(lane_op_count * w), rows(w * w), first(w + 2);
    for (size_t j = 0; j < w; ++j) a[j] = random_value(true), b[j] = random_value(false);
    for (T& x : rows) x = random_value(true);
    for (T& x : first) x = random_value(false);
    const std::vector<T> exact(a.begin(), a.begin() + count), before_rows = rows, before_first = first;
    bool some = false;
    on_chosen_set([&](auto set) {
      lane_ops(set, a.data(), b.data(), exact.data(), count, out.data(), rows.data(), first.data(), &some);
    });
    bool any_greater = false;
    for (size_t j = 0; j < w; ++j) {
      const T x = a[j], y = b[j];
      any_greater = any_greater || x > y;
      const T expected[lane_op_count] = {x + y, x - y, x * y, x / y, std::sqrt(std::fabs(x)), std::fabs(x), T(x >= y), T(x > y),
                                         T(x < y), T(x == y), T(!(x < y)), T(x >= y && y >= 0), T(x > y || y < 0),
                                         T(x >= y && !(y < 0)), x > y ? x : y, std::fabs(x) + (x < y ? y : T{0}),
                                         j < count ? x : T{0}, x * b[0]};
      for (size_t op = 0; op < lane_op_count; ++op)
        EXPECT_TRUE(testing::same_bits(std::vector<T>{expected[op]}, std::vector<T>{out[op * w + j]}))
            << "operation " << op << " lane " << j << " of " << w << ": " << x << ", " << y;
      for (size_t t = 0; t < w; ++t)
        EXPECT_TRUE(testing::same_bits(std::vector<T>{before_rows[j * w + t]}, std::vector<T>{rows[t * w + j]}))
            << "transpose: value " << t << " of row " << j << " of " << w;
    }
    EXPECT_EQ(some, any_greater);
    for (size_t j = 0; j < w + 2; ++j)
      EXPECT_TRUE(testing::same_bits(std::vector<T>{j >= 1 && j <= count ? a[j - 1] : before_first[j]},
                                     std::vector<T>{first[j]}))
          << "store_first of " << count << ", position " << j;
  }
}

TEST_P(WidePath, LanesComputeTheScalarOperations) {
  check_lane_ops<double>();
  check_lane_ops<float>();
}

INSTANTIATE_TEST_SUITE_P(Sets, WidePath, testing::every_instruction_set(), testing::instruction_set_test_name);

TEST(InstructionSetChoice, RefusesWhatNamesNoPathAndKeepsTheChoice) {
  const InstructionSet before = chosen_instruction_set();
  for (int value : {-3, -1, 4, 1000}) EXPECT_FALSE(choose_instruction_set(static_cast<InstructionSet>(value))) << value;
  EXPECT_EQ(chosen_instruction_set(), before);
}

// The lane-wise ranges give segment_range's positions for every kind of pair
// of doubles, against lengths that make each comparison tight.
TEST_P(WidePath, LaneRangesAgreeWithTheScalarRules) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> doubles = {std::nan(""), -inf, inf, -1.0, -0.999, -0.5, -0.0, 0.0, 0.5, 1.0, 2.5, 2.9, 3.5, 4.0,
                                 4.5, 5.0, 5.5, 4294967297.0, 9007199254740993.0, 9223372036854775808.0,
                                 1.8446744073709552e19, 1e300, 4.9e-324, -1e300, 4503599627370495.5};
  doubles.push_back(std::nextafter(5.0, 0.0));
  doubles.push_back(std::nextafter(5.0, 6.0));
  doubles.push_back(std::nextafter(1.0, 0.0));
  for (size_t n : {size_t{0}, size_t{1}, size_t{5}, size_t{1} << 40, (size_t{1} << 52) - 1}) {
    for (double a : doubles)
      for (double b : doubles) {
        // Eight segments, a..b and b..a in turn.
        const double bounds[9] = {a, b, a, b, a, b, a, b, a};
        size_t begin[8], end[8];
        on_chosen_set([&](auto set) { batch_ranges(set, bounds, n, begin, end); });
        for (int j = 0; j < 8; ++j) {
          const Segment s = segment_range(bounds[j], bounds[j + 1], n);
          EXPECT_TRUE(s.begin == begin[j] && s.end == end[j]) << bounds[j] << ".." << bounds[j + 1] << " n " << n;
        }
      }
  }
}

}  // namespace
}  // namespace proxkit
