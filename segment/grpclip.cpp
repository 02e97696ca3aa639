#include "segment/grpclip.h"

#include <algorithm>

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The result is a copy of vect in which every segment of norm above 1 has been
// divided by its norm, segment after segment in table order.  Rather than
// copying the whole vector first and dividing in a second pass, each position
// is written once when it is first reached: `filled` is the end of the prefix
// of out already written.  A segment divides the values already in that
// prefix (which overlapping segments reach again) and writes the rest of its
// positions as vect[i] / norm, which is what copying and then dividing gives;
// the gaps between segments are copied.
template <class Set, class T>
struct Clip {
  const T* vect;
  T* out;
  std::size_t filled = 0;
  void operator()(Segment segment, T norm) {
    // An empty segment changes nothing; its begin may even lie past n.
    if (segment.begin >= segment.end) return;
    if (segment.begin > filled) {
      std::copy(vect + filled, vect + segment.begin, out + filled);
      filled = segment.begin;
    }
    const std::size_t seen = std::min(segment.end, filled);
    if (norm > T{1}) {
      if (segment.begin < seen) divide(Set{}, out + segment.begin, out + segment.begin, seen - segment.begin, norm);
      if (seen < segment.end) divide(Set{}, vect + seen, out + seen, segment.end - seen, norm);
    } else if (seen < segment.end) {
      std::copy(vect + seen, vect + segment.end, out + seen);
    }
    filled = std::max(filled, segment.end);
  }
  void finish(std::size_t n) { std::copy(vect + filled, vect + n, out + filled); }
};


template <class T>
void clip(const T* vect, std::size_t n, SegmentTable table, T* out) {
  on_chosen_set([&](auto set) {
    Clip<decltype(set), T> visit{vect, out};
    for_each_segment_norm(set, vect, n, table, visit);
    visit.finish(n);
  });
}
}  // namespace

void grpclip(const double* vect, std::size_t n, SegmentTable table, double* out) { clip(vect, n, table, out); }

void grpclip(const float* vect, std::size_t n, SegmentTable table, float* out) { clip(vect, n, table, out); }

}  // namespace proxkit
