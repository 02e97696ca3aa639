#include "segment/grpclip.h"

#include <algorithm>

#include "segment/segment_norm.h"

namespace proxkit {

void grpclip(const double* vect, std::size_t n, SegmentTable table, double* out) {
  std::copy(vect, vect + n, out);
  for_each_segment(table, n, [&](Segment segment) {
    const double norm = segment_norm(vect, segment);
    if (norm > 1.0)
      for (std::size_t i = segment.begin; i < segment.end; ++i) out[i] = out[i] / norm;
  });
}

}  // namespace proxkit
