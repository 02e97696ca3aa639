#include "segment/grpnorm.h"

#include <cmath>

namespace proxkit {

double grpnorm(const double* vect, std::size_t n, SegmentTable table) {
  double total = 0.0;
  for_each_segment(table, n, [&](Segment segment) {
    double squares = 0.0;
    for (std::size_t i = segment.begin; i < segment.end; ++i) squares = squares + vect[i] * vect[i];
    total = std::sqrt(squares) + total;
  });
  return total;
}

}  // namespace proxkit
