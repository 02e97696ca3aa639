#include "segment/grpclip.h"

#include <algorithm>

#include "segment/segment_norm.h"

namespace proxkit {

namespace {
void divide(double* values, std::size_t count, double divisor) {
  for (std::size_t i = 0; i < count; ++i) values[i] = values[i] / divisor;
}
}  // namespace

void grpclip(const double* vect, std::size_t n, SegmentTable table, double* out) {
  std::copy(vect, vect + n, out);
  for_each_segment_norm(vect, n, table, [=](Segment segment, double norm) {
    if (norm > 1.0) divide(out + segment.begin, segment.end - segment.begin, norm);
  });
}

}  // namespace proxkit
