// The segment table: K accumulated boundaries b0 ... b(K-1) that cut a vector
// of n elements into K - 1 contiguous segments.
//
// Segment k covers the positions i with start(k) <= i and i < b(k+1), where
// start(k) is b(k) truncated toward zero and the end is compared in double.
// Only the last entry is validated (see last_entry_in_bounds), so the walk
// makes every other entry safe by itself:
//  - a start that names no position (-1 or below, NaN, infinite, 2^63 or
//    above) gives an empty segment, and so does a start at or past n;
//  - an end beyond n is clipped to n, so no position at or beyond n is ever
//    visited, whatever the interior entries hold;
//  - a table of fewer than two entries (including an empty one) has no
//    segment.
// Plain code on raw arrays: no host is involved.
#ifndef PROXKIT_SEGMENT_TABLE_H
#define PROXKIT_SEGMENT_TABLE_H

#include <cstddef>

namespace proxkit {

struct SegmentTable {
  const double* bounds;  // the K entries, in storage order
  std::size_t count;     // K
};

// The half-open range of positions [begin, end) of one segment.
struct Segment {
  std::size_t begin;
  std::size_t end;
};

// False when the last entry exceeds n (both compared as doubles).  A NaN last
// entry and an empty table pass.
inline bool last_entry_in_bounds(SegmentTable table, std::size_t n) {
  return table.count == 0 || !(table.bounds[table.count - 1] > static_cast<double>(n));
}

// Positions of the segment that starts at entry `first` and ends before
// entry `last`, clipped to a vector of n elements.
inline Segment segment_range(double first, double last, std::size_t n) {
  if (!(first > -1.0)) return {0, 0};
  // Position i (exact in double for any real vector length) is in the
  // segment while i < last, that is while i < ceil(last).
  std::size_t end;
  if (!(last > 0.0))
    end = 0;
  else if (last >= static_cast<double>(n))
    end = n;
  else {
    // ceil(last), by truncation and one comparison: std::ceil is a library
    // call on the baseline instruction set, and this runs once a segment.
    end = static_cast<std::size_t>(last);
    if (static_cast<double>(end) < last) ++end;
  }
  // An empty segment (a start at or past n among them) is placed at its end,
  // inside the vector: kernels form pointers from a segment's start, and one
  // far past the array would be undefined even when nothing is read through
  // it.  The start is compared with n in double before it is converted, so
  // that no start (+Inf, 2^63 and above among them) is converted to a size
  // type too narrow for it: with a 32-bit size type a start of 2^32 + 1
  // would otherwise become position 0 or 1, not an empty segment.
  if (!(first < static_cast<double>(n))) return {end, end};
  const std::size_t begin = first < 1.0 ? 0 : static_cast<std::size_t>(first);
  return {end > begin ? begin : end, end};
}

}  // namespace proxkit

#endif
