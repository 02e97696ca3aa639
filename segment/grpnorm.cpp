#include "segment/grpnorm.h"

#include "segment/segment_norm.h"

namespace proxkit {

double grpnorm(const double* vect, std::size_t n, SegmentTable table) {
  double total = 0.0;
  for_each_segment_norm(vect, n, table, [&total](Segment, double norm) { total = norm + total; });
  return total;
}

}  // namespace proxkit
