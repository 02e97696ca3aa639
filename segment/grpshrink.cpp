#include "segment/grpshrink.h"

#include "segment/segment_norm.h"

namespace proxkit {

void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  for_each_segment(table, n, [&](Segment segment) {
    const double g = 1.0 - 1.0 / (segment_norm(vect, segment) * rho);
    // Written as a test rather than std::max so that a NaN g stays NaN.
    const double factor = g < 0.0 ? 0.0 : g;
    for (std::size_t i = segment.begin; i < segment.end; ++i) out[i] = factor * vect[i];
  });
}

}  // namespace proxkit
