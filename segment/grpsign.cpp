#include "segment/grpsign.h"

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The zero test, then the set's pass over the segment.
template <class Set, class T>
struct Sign {
  const T* vect;
  T rho;
  T* out;
  void operator()(Segment segment, T norm) const {
    const bool counts_as_zero = T{10} * rho > norm && norm > T{-10} * rho;
    const std::size_t count = segment.end - segment.begin;
    if (counts_as_zero)
      fill(Set{}, out + segment.begin, count, T{0});
    else
      divide(Set{}, vect + segment.begin, out + segment.begin, count, norm);
  }
};

template <class T>
void sign(const T* vect, std::size_t n, SegmentTable table, T rho, T* out) {
  on_chosen_set([&](auto set) {
    Sign<decltype(set), T> visit{vect, rho, out};
    for_each_segment_norm(set, vect, n, table, visit);
  });
}
}  // namespace

void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  sign(vect, n, table, rho, out);
}

void grpsign(const float* vect, std::size_t n, SegmentTable table, float rho, float* out) {
  sign(vect, n, table, rho, out);
}

}  // namespace proxkit
