#include "segment/grpclip.h"

#include <algorithm>

#include "core/instruction_set.h"
#include "segment/segment_lanes.h"
#include "segment/segment_norm.h"

namespace proxkit {

namespace {
void divide(const double* from, double* to, std::size_t count, double divisor) {
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i] / divisor;
}

// The result is a copy of vect in which every segment of norm above 1 has been
// divided by its norm, segment after segment in table order.  Rather than
// copying the whole vector first and dividing in a second pass, each position
// is written once when it is first reached: `filled` is the end of the prefix
// of out already written.  A segment divides the values already in that
// prefix (which overlapping segments reach again) and writes the rest of its
// positions as vect[i] / norm, which is what copying and then dividing gives;
// the gaps between segments are copied.  Divide is the path's own pass.
template <void (*Divide)(const double*, double*, std::size_t, double)>
struct Clip {
  const double* vect;
  double* out;
  std::size_t filled = 0;
  void operator()(Segment segment, double norm) {
    // An empty segment changes nothing; its begin may even lie past n.
    if (segment.begin >= segment.end) return;
    if (segment.begin > filled) {
      std::copy(vect + filled, vect + segment.begin, out + filled);
      filled = segment.begin;
    }
    const std::size_t seen = std::min(segment.end, filled);
    if (norm > 1.0) {
      if (segment.begin < seen) Divide(out + segment.begin, out + segment.begin, seen - segment.begin, norm);
      if (seen < segment.end) Divide(vect + seen, out + seen, segment.end - seen, norm);
    } else if (seen < segment.end) {
      std::copy(vect + seen, vect + segment.end, out + seen);
    }
    filled = std::max(filled, segment.end);
  }
  void finish(std::size_t n) { std::copy(vect + filled, vect + n, out + filled); }
};
}  // namespace

void grpclip(const double* vect, std::size_t n, SegmentTable table, double* out) {
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512: {
      Clip<avx512::divide> visit{vect, out};
      avx512::for_each_segment_norm(vect, n, table, visit);
      return visit.finish(n);
    }
    case InstructionSet::avx2: {
      Clip<avx2::divide> visit{vect, out};
      avx2::for_each_segment_norm(vect, n, table, visit);
      return visit.finish(n);
    }
#endif
    default: {
      Clip<divide> visit{vect, out};
      for_each_segment_norm(vect, n, table, visit);
      return visit.finish(n);
    }
  }
}

}  // namespace proxkit
