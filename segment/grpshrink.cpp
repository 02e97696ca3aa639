#include "segment/grpshrink.h"

#include <algorithm>

#include "core/instruction_set.h"
#include "core/nan_rule.h"
#include "segment/segment_lanes.h"
#include "segment/segment_norm.h"

namespace proxkit {

namespace {
// A plain function on its own pointers, so that the compiler can vectorise
// the independent products.
void scale(const double* from, double* to, std::size_t count, double factor) {
  for (std::size_t i = 0; i < count; ++i) to[i] = factor * from[i];
}

// Every path's visit: the factor from the norm, then Scale, the path's own
// pass over the segment.  Where two NaNs meet (norm * rho, factor * vect[i])
// the first one's is the result: a NaN factor fills the segment.
template <void (*Scale)(const double*, double*, std::size_t, double)>
struct Shrink {
  const double* vect;
  double rho;
  double* out;
  void operator()(Segment segment, double norm) const {
    const double g = 1.0 - 1.0 / product_in_order(norm, rho);
    // Written as a test rather than std::max so that a NaN g stays NaN.
    const double factor = g < 0.0 ? 0.0 : g;
    if (factor != factor)
      std::fill(out + segment.begin, out + segment.end, factor);
    else
      Scale(vect + segment.begin, out + segment.begin, segment.end - segment.begin, factor);
  }
};
}  // namespace

void grpshrink(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512: {
      Shrink<avx512::scale> visit{vect, rho, out};
      return avx512::for_each_segment_norm(vect, n, table, visit);
    }
    case InstructionSet::avx2: {
      Shrink<avx2::scale> visit{vect, rho, out};
      return avx2::for_each_segment_norm(vect, n, table, visit);
    }
#endif
    default:
      return for_each_segment_norm(vect, n, table, Shrink<scale>{vect, rho, out});
  }
}

}  // namespace proxkit
