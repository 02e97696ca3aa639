#include "segment/grpsign.h"

#include "segment/segment_norm.h"

namespace proxkit {

void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  for_each_segment(table, n, [&](Segment segment) {
    const double norm = segment_norm(vect, segment);
    const bool counts_as_zero = 10.0 * rho > norm && norm > -10.0 * rho;
    for (std::size_t i = segment.begin; i < segment.end; ++i) out[i] = counts_as_zero ? 0.0 : vect[i] / norm;
  });
}

}  // namespace proxkit
