#include "segment/grpshrink.h"

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The factor from the norm, then the set's pass over the segment.  Where two
// NaNs meet, the first one's is kept (core/nan_rule.h): in norm * rho and in
// factor * vect[i].  A segment holding a NaN has a NaN norm, which is then
// the factor, and fills the segment; in any other segment at most one
// operand of each operation is NaN, and the order does not matter.
template <class Set, class T>
struct Shrink {
  const T* vect;
  T rho;
  T* out;
  void operator()(Segment segment, T norm) const {
    const T g = T{1} - T{1} / (norm * rho);
    // Written as a test rather than std::max so that a NaN g stays NaN.
    const T factor = g < T{0} ? T{0} : g;
    const std::size_t count = segment.end - segment.begin;
    if (norm == norm)
      scale(Set{}, vect + segment.begin, out + segment.begin, count, factor);
    else
      fill(Set{}, out + segment.begin, count, norm);
  }
};

template <class T>
void shrink(const T* vect, std::size_t n, SegmentTable table, T rho, T* out) {
  on_chosen_set([&](auto set) {
    Shrink<decltype(set), T> visit{vect, rho, out};
    for_each_segment_norm(set, vect, n, table, visit);
  });
}
}  // namespace

void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  shrink(vect, n, table, rho, out);
}

void grpshrink(const float* vect, std::size_t n, SegmentTable table, float rho, float* out) {
  shrink(vect, n, table, rho, out);
}

}  // namespace proxkit
