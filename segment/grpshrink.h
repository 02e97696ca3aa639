#ifndef PROXKIT_GRPSHRINK_H
#define PROXKIT_GRPSHRINK_H

#include <cstddef>

#include "core/segment_table.h"

namespace proxkit {

// Block soft-thresholding of the segments of vect (n elements) into out (n
// elements, zero-filled by the caller, not overlapping vect).  In table
// order, each segment is scaled by factor = max(0, g) with
// g = 1 - 1/(norm * rho), evaluated as the product, its reciprocal, then
// 1 minus it; a NaN g gives a NaN factor.  out[i] = factor * vect[i], so a
// later overlapping segment overwrites an earlier one, and positions outside
// every segment keep the caller's zeros.  rho is not used when the table has
// no segment.
// The float form does the same in IEEE single.
void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out);
void grpshrink(const float* vect, std::size_t n, SegmentTable table, float rho, float* out);

}  // namespace proxkit

#endif
