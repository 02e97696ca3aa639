#include "segment/grpshrink.h"

#include "segment/segment_norm.h"

namespace proxkit {

namespace {
// A plain function on its own pointers, so that the compiler can vectorise
// the independent products.
void scale(const double* from, double* to, std::size_t count, double factor) {
  for (std::size_t i = 0; i < count; ++i) to[i] = factor * from[i];
}
}  // namespace

void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  for_each_segment_norm(vect, n, table, [=](Segment segment, double norm) {
    const double g = 1.0 - 1.0 / (norm * rho);
    // Written as a test rather than std::max so that a NaN g stays NaN.
    const double factor = g < 0.0 ? 0.0 : g;
    scale(vect + segment.begin, out + segment.begin, segment.end - segment.begin, factor);
  });
}

}  // namespace proxkit
