#include "core/segment_table.h"
#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace proxkit {
namespace {

void expect_range(double first, double last, size_t n, size_t begin, size_t end) {
  const Segment s = segment_range(first, last, n);
  EXPECT_EQ(s.end - s.begin, end - begin) << first << ".." << last;
  if (end > begin) {
    EXPECT_EQ(s.begin, begin) << first << ".." << last;
  }
}

TEST(SegmentTable, StartsTruncateAndEndsCompareInDouble) {
  expect_range(0, 2, 5, 0, 2);
  expect_range(2, 5, 5, 2, 5);
  expect_range(2.9, 5, 5, 2, 5);
  expect_range(-0.5, 2, 5, 0, 2);
  expect_range(0, 2.5, 5, 0, 3);   // a fractional end includes every position below it
  expect_range(2.5, 5, 5, 2, 5);
  expect_range(0, 4.5, 5, 0, 5);   // N - 0.5 ends at position N - 1
  expect_range(3, 3, 5, 3, 3);     // equal entries: empty
  expect_range(4, 2, 5, 4, 4);     // decreasing entries: empty
}

TEST(SegmentTable, StartsThatNameNoPositionGiveEmptySegments) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double first : {-1.0, -2.5, -inf, inf, std::nan(""), 9223372036854775808.0, 1e300})
    expect_range(first, 5, 5, 0, 0);
  expect_range(-0.999, 5, 5, 0, 5);
}

// Kernels form pointers from a segment's start, so even an empty segment
// must start inside the vector (a fuzzing finding).
TEST(SegmentTable, StartsPastTheVectorGiveEmptySegmentsInsideIt) {
  // 2^32 + 1 too: it is compared with the length before any conversion, so
  // a 32-bit size type never has to hold it.
  for (double first : {6.0, 4294967297.0, 1e18, 2305843009213693952.0, 9223372036854774784.0}) {
    const Segment s = segment_range(first, 3, 5);
    EXPECT_EQ(s.begin, s.end);
    EXPECT_LE(s.begin, 5u);
  }
}

TEST(SegmentTable, EndsNeverReachPastTheVector) {
  const double inf = std::numeric_limits<double>::infinity();
  expect_range(0, 7, 5, 0, 5);
  expect_range(3, inf, 5, 3, 5);
  expect_range(6, 9, 5, 6, 6);
  expect_range(0, std::nan(""), 5, 0, 0);
  expect_range(0, -inf, 5, 0, 0);
}

TEST(SegmentTable, OnlyTheLastEntryIsValidated) {
  const double table[] = {0, 9, 4.5, 5};
  EXPECT_TRUE(last_entry_in_bounds({table, 4}, 5));
  EXPECT_FALSE(last_entry_in_bounds({table, 4}, 4));
  const double half_over[] = {0, 5.5};
  EXPECT_FALSE(last_entry_in_bounds({half_over, 2}, 5));
  const double nan_last[] = {0, std::nan("")};
  EXPECT_TRUE(last_entry_in_bounds({nan_last, 2}, 5));
  EXPECT_TRUE(last_entry_in_bounds({nullptr, 0}, 5));
}

// Nine segments: a batch of eight norms and one more, visited in table order.
TEST(SegmentTable, WalkVisitsSegmentsInTableOrder) {
  const double table[] = {0, 2.5, 5, 5, 1, 0, 2.5, 5, 5, 1};
  const double ones[] = {1, 1, 1, 1, 1};
  std::vector<std::pair<size_t, size_t>> seen;
  std::vector<double> norms;
  auto visit = [&](Segment s, double norm) {
    seen.emplace_back(s.begin, s.end);
    norms.push_back(norm);
  };
  for_each_segment_norm(baseline::Set{}, ones, 5, SegmentTable{table, 10}, visit);
  ASSERT_EQ(seen.size(), 9u);
  for (size_t k : {0u, 5u}) {
    EXPECT_EQ(seen[k], std::make_pair(size_t{0}, size_t{3}));
    EXPECT_EQ(seen[k + 1], std::make_pair(size_t{2}, size_t{5}));
    EXPECT_EQ(norms[k], std::sqrt(3.0));
  }
  for (size_t k : {2u, 3u, 4u, 7u, 8u}) {
    EXPECT_EQ(seen[k].second - seen[k].first, 0u);
    EXPECT_EQ(norms[k], 0.0);
  }
}

}  // namespace
}  // namespace proxkit
