#ifndef PROXKIT_GRPNORM_H
#define PROXKIT_GRPNORM_H

#include <cstddef>

#include "core/segment_table.h"

namespace proxkit {

// The sum of the Euclidean norms of the segments of vect (n elements), in
// table order: each segment's squares are summed in ascending position from
// 0.0, its square root is taken, and the total is updated as norm + total.
// The float form does the same in IEEE single, from 0.0f.
double grpnorm(const double* vect, std::size_t n, SegmentTable table);
float grpnorm(const float* vect, std::size_t n, SegmentTable table);

}  // namespace proxkit

#endif
