#include "segment/grpnorm.h"

#include "core/instruction_set.h"
#include "core/nan_rule.h"
#include "segment/segment_lanes.h"
#include "segment/segment_norm.h"

namespace proxkit {

namespace {
// The running total, once per segment in table order: one chain, whichever
// path formed the norms.  norm + total: a NaN norm replaces a NaN total.
struct Total {
  double total = 0.0;
  void operator()(Segment, double norm) { total = sum_in_order(norm, total); }
};
}  // namespace

double grpnorm(const double* vect, std::size_t n, SegmentTable table) {
  Total sum;
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512:
      avx512::for_each_segment_norm(vect, n, table, sum);
      return sum.total;
    case InstructionSet::avx2:
      avx2::for_each_segment_norm(vect, n, table, sum);
      return sum.total;
#endif
    default:
      for_each_segment_norm(vect, n, table, sum);
      return sum.total;
  }
}

}  // namespace proxkit
