#include "segment/grpsign.h"

#include <algorithm>

#include "segment/segment_norm.h"

namespace proxkit {

namespace {
void divide(const double* from, double* to, std::size_t count, double divisor) {
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i] / divisor;
}
}  // namespace

void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  for_each_segment_norm(vect, n, table, [=](Segment segment, double norm) {
    const bool counts_as_zero = 10.0 * rho > norm && norm > -10.0 * rho;
    if (counts_as_zero)
      std::fill(out + segment.begin, out + segment.end, 0.0);
    else
      divide(vect + segment.begin, out + segment.begin, segment.end - segment.begin, norm);
  });
}

}  // namespace proxkit
