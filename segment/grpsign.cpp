#include "segment/grpsign.h"

#include <algorithm>

#include "core/instruction_set.h"
#include "segment/segment_lanes.h"
#include "segment/segment_norm.h"

namespace proxkit {

namespace {
void divide(const double* from, double* to, std::size_t count, double divisor) {
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i] / divisor;
}

void zero(double* to, std::size_t count) { std::fill(to, to + count, 0.0); }

// Every path's visit, with the path's own passes over the segment.
template <void (*Divide)(const double*, double*, std::size_t, double), void (*Zero)(double*, std::size_t)>
struct Sign {
  const double* vect;
  double rho;
  double* out;
  void operator()(Segment segment, double norm) const {
    const bool counts_as_zero = 10.0 * rho > norm && norm > -10.0 * rho;
    if (counts_as_zero)
      Zero(out + segment.begin, segment.end - segment.begin);
    else
      Divide(vect + segment.begin, out + segment.begin, segment.end - segment.begin, norm);
  }
};
}  // namespace

void grpsign(const double* vect, std::size_t n, SegmentTable table, double rho, double* out) {
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512: {
      Sign<avx512::divide, avx512::zero> visit{vect, rho, out};
      return avx512::for_each_segment_norm(vect, n, table, visit);
    }
    case InstructionSet::avx2: {
      Sign<avx2::divide, avx2::zero> visit{vect, rho, out};
      return avx2::for_each_segment_norm(vect, n, table, visit);
    }
#endif
    default:
      return for_each_segment_norm(vect, n, table, Sign<divide, zero>{vect, rho, out});
  }
}

}  // namespace proxkit
