// The Euclidean norm of one segment, shared by every segment kernel so that
// they all agree on it bit for bit.
#ifndef PROXKIT_SEGMENT_NORM_H
#define PROXKIT_SEGMENT_NORM_H

#include <cmath>
#include <cstddef>

#include "gateway/segment_table.h"

namespace proxkit {

// The squares of vect over the segment, summed in ascending position from
// 0.0, then the square root.  Formed plainly, without scaling: an element of
// 1e200 gives +Inf, and the order of the sum is part of every result.
inline double segment_norm(const double* vect, Segment segment) {
  double squares = 0.0;
  for (std::size_t i = segment.begin; i < segment.end; ++i) squares = squares + vect[i] * vect[i];
  return std::sqrt(squares);
}

}  // namespace proxkit

#endif
