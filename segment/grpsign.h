#ifndef PROXKIT_GRPSIGN_H
#define PROXKIT_GRPSIGN_H

#include <cstddef>

#include "core/segment_table.h"

namespace proxkit {

// The unit direction of each segment of vect (n elements), into out (n
// elements, zero-filled by the caller).  In table order, a segment counts as
// zero when 10.0 * rho > norm and norm > -10.0 * rho (both strict) and gets
// 0.0 in every position; any other segment gets vect[i] / norm.  A later
// overlapping segment overwrites an earlier one, and positions outside every
// segment keep the caller's zeros.  rho is not used when the table has no
// segment.
// The float form does the same in IEEE single (10.0f * rho).
void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out);
void grpsign(const float* vect, std::size_t n, SegmentTable table, float rho, float* out);

}  // namespace proxkit

#endif
