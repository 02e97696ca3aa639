#ifndef PROXKIT_GRPCLIP_H
#define PROXKIT_GRPCLIP_H

#include <cstddef>

#include "core/segment_table.h"

namespace proxkit {

// Projects each segment of vect (n elements) onto the unit Euclidean ball,
// into out (n elements, not overlapping vect).  out starts as an exact copy
// of vect, positions outside every segment included; then, in table order,
// each segment whose norm (always taken from vect) exceeds 1 has the values
// already in out divided by that norm, so a position shared by overlapping
// segments is divided once by each of them.
// The float form does the same in IEEE single.
void grpclip(const double* vect, std::size_t n, SegmentTable table, double* out);
void grpclip(const float* vect, std::size_t n, SegmentTable table, float* out);

}  // namespace proxkit

#endif
