// The Euclidean norms of the segments, shared by every segment kernel so
// that they all agree on them bit for bit.
//
// Each norm is the square root of the segment's squares summed in ascending
// position from 0.0, formed plainly, without scaling (an element of 1e200
// gives +Inf).  That sum is a chain of dependent additions; to keep the
// machine busy, the walk takes the segments in batches and runs the chains of
// a batch side by side, each in its own accumulator and in its own order, so
// every norm is the one the plain loop gives.
#ifndef PROXKIT_SEGMENT_NORM_H
#define PROXKIT_SEGMENT_NORM_H

#include <cmath>
#include <cstddef>

#include "core/nan_rule.h"
#include "core/segment_table.h"

namespace proxkit {

namespace detail {

inline double squares_from(const double* vect, std::size_t begin, std::size_t end, double squares) {
  for (std::size_t i = begin; i < end; ++i) squares = squares + vect[i] * vect[i];
  return squares;
}

constexpr std::size_t norm_batch = 8;

// The sums of squares of a full batch: the first `common` positions of every
// segment in lockstep (eight independent chains), then each segment's rest.
inline void batch_squares(const double* vect, const Segment* segments, double* squares) {
  std::size_t common = segments[0].end - segments[0].begin;
  for (std::size_t j = 1; j < norm_batch; ++j) {
    const std::size_t length = segments[j].end - segments[j].begin;
    if (length < common) common = length;
  }
  const double* p[norm_batch];
  double s[norm_batch];
  for (std::size_t j = 0; j < norm_batch; ++j) {
    p[j] = vect + segments[j].begin;
    s[j] = 0.0;
  }
  for (std::size_t i = 0; i < common; ++i)
    for (std::size_t j = 0; j < norm_batch; ++j) s[j] = s[j] + p[j][i] * p[j][i];
  for (std::size_t j = 0; j < norm_batch; ++j)
    squares[j] = squares_from(vect, segments[j].begin + common, segments[j].end, s[j]);
}

}  // namespace detail

// The norm of one segment.
inline double segment_norm(const double* vect, Segment segment) {
  return std::sqrt(detail::squares_from(vect, segment.begin, segment.end, 0.0));
}

namespace detail {
// Visits a segment with its norm.  A NaN norm is the plain loop's only when
// each addition keeps the running sum's NaN (core/nan_rule.h): squares are
// never negative, so the sum turns NaN only at a NaN value, and from then
// on it is that value's NaN.  Every path's chains may have added in the
// other order, so a NaN norm is named here again.
template <class Visit>
void visit_with_norm(Visit& visit, const double* vect, Segment segment, double norm) {
  if (norm != norm)
    for (std::size_t i = segment.begin; i < segment.end; ++i)
      if (vect[i] != vect[i]) {
        norm = quieted(vect[i]);
        break;
      }
  visit(segment, norm);
}

// The segments from k on, fewer than a batch, one by one.
template <class Visit>
void visit_rest(const double* vect, std::size_t n, SegmentTable table, std::size_t k, Visit& visit) {
  for (; k + 1 < table.count; ++k) {
    const Segment segment = segment_range(table.bounds[k], table.bounds[k + 1], n);
    visit_with_norm(visit, vect, segment, segment_norm(vect, segment));
  }
}
}  // namespace detail

// Calls visit(Segment, norm) for every segment in table order; the norms are
// taken from vect before the batch's segments are visited, so a visit may
// write results but must not change vect.
template <class Visit>
void for_each_segment_norm(const double* vect, std::size_t n, SegmentTable table, Visit&& visit) {
  using detail::norm_batch;
  const std::size_t segments = table.count > 1 ? table.count - 1 : 0;
  Segment batch[norm_batch];
  double squares[norm_batch];
  std::size_t k = 0;
  for (; k + norm_batch <= segments; k += norm_batch) {
    for (std::size_t j = 0; j < norm_batch; ++j)
      batch[j] = segment_range(table.bounds[k + j], table.bounds[k + j + 1], n);
    detail::batch_squares(vect, batch, squares);
    for (std::size_t j = 0; j < norm_batch; ++j) detail::visit_with_norm(visit, vect, batch[j], std::sqrt(squares[j]));
  }
  detail::visit_rest(vect, n, table, k, visit);
}

}  // namespace proxkit

#endif
