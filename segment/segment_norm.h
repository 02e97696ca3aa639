// The Euclidean norms of the segments, shared by every segment kernel so
// that they all agree on them bit for bit.
//
// Each norm is the square root of the segment's squares summed in ascending
// position from 0 in the values' class (double or float), formed plainly,
// without scaling (an element of 1e200 gives +Inf in double).  That sum is a chain of dependent additions; the walk
// (segment/segment_walk.h, compiled once per instruction set) takes the
// segments in batches and runs the chains of a batch side by side, one lane
// per segment, each in its own order, so every norm is the one the plain
// loop gives.  This header holds what every set's walk shares.
#ifndef PROXKIT_SEGMENT_NORM_H
#define PROXKIT_SEGMENT_NORM_H

#include <cmath>
#include <cstddef>

#include "core/nan_rule.h"
#include "core/segment_table.h"

namespace proxkit::detail {

// The segments a walk takes at once: eight chains in flight, or with lanes L
// wider than that (floats), one vector's width.  batch_ranges forms the
// ranges of eight.
constexpr std::size_t norm_batch = 8;
template <class L>
constexpr std::size_t batch_of = L::width > norm_batch ? L::width : norm_batch;

// Past this many positions where the lengths of a batch differ, the lanes
// that still run finish as plain chains: a transposed load with one live
// lane costs more than a scalar load.
constexpr std::size_t rest_limit = 48;

template <class T>
inline T squares_from(const T* vect, std::size_t begin, std::size_t end, T squares) {
  for (std::size_t i = begin; i < end; ++i) squares = squares + vect[i] * vect[i];
  return squares;
}

// The NaN norm of a segment as the plain loop forms it: each addition keeps
// the running sum's NaN (core/nan_rule.h), and squares are never negative,
// so the sum turns NaN only at a NaN value and from then on it is that
// value's NaN.  The walks' chains may have added in the other order, so
// every NaN norm is named here again (norm itself where no value is NaN,
// which does not happen).
template <class T>
inline T nan_norm(const T* vect, Segment segment, T norm) {
  for (std::size_t i = segment.begin; i < segment.end; ++i)
    if (vect[i] != vect[i]) return quieted(vect[i]);
  return norm;
}

// The segments from k on, fewer than a batch, one by one.
template <class T, class Visit>
void visit_rest(const T* vect, std::size_t n, SegmentTable table, std::size_t k, Visit& visit) {
  for (; k + 1 < table.count; ++k) {
    const Segment segment = segment_range(table.bounds[k], table.bounds[k + 1], n);
    const T norm = std::sqrt(squares_from(vect, segment.begin, segment.end, T{0}));
    visit(segment, norm == norm ? norm : nan_norm(vect, segment, norm));
  }
}

}  // namespace proxkit::detail

#endif
