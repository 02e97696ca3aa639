#include "segment/grpsign.h"

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The zero test, then the set's pass over the segment.
template <class Set>
struct Sign {
  const double* vect;
  double rho;
  double* out;
  void operator()(Segment segment, double norm) const {
    const bool counts_as_zero = 10.0 * rho > norm && norm > -10.0 * rho;
    const std::size_t count = segment.end - segment.begin;
    if (counts_as_zero)
      fill(Set{}, out + segment.begin, count, 0.0);
    else
      divide(Set{}, vect + segment.begin, out + segment.begin, count, norm);
  }
};
}  // namespace

void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  on_chosen_set([&](auto set) {
    Sign<decltype(set)> visit{vect, rho, out};
    for_each_segment_norm(set, vect, n, table, visit);
  });
}

}  // namespace proxkit
