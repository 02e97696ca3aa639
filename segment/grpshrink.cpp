#include "segment/grpshrink.h"

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The factor from the norm, then the set's pass over the segment.  A NaN
// factor fills the segment with the NaN of the plain loop, where the first
// of two NaNs is kept (core/nan_rule.h): the norm's in norm * rho, and the
// factor's in factor * vect[i].
template <class Set>
struct Shrink {
  const double* vect;
  double rho;
  double* out;
  void operator()(Segment segment, double norm) const {
    const double g = 1.0 - 1.0 / (norm * rho);
    // Written as a test rather than std::max so that a NaN g stays NaN.
    const double factor = g < 0.0 ? 0.0 : g;
    const std::size_t count = segment.end - segment.begin;
    if (factor == factor)
      scale(Set{}, vect + segment.begin, out + segment.begin, count, factor);
    else
      fill(Set{}, out + segment.begin, count, norm != norm ? norm : factor);
  }
};
}  // namespace

void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  on_chosen_set([&](auto set) {
    Shrink<decltype(set)> visit{vect, rho, out};
    for_each_segment_norm(set, vect, n, table, visit);
  });
}

}  // namespace proxkit
