// grpnorm: out = grpnorm (vect, accIdx)
//
// The sum of the Euclidean norms of the segments of vect, as a 1-by-1 result
// of vect's class (double or single).  Refuses a wrong argument count
// ("Usage: out = grpnorm (vect, accIdx)"), a vect that is not a real, full
// double or single array, an accIdx that is not a real, full double array,
// and a table whose last entry exceeds numel(vect).  Deliberate deviations from a bare table walk: an
// empty table has no segment (result 0), and segment ends beyond the vector
// are clipped to it, so no element outside vect is ever read.
#include "gateway/gateway.h"
#include "segment/grpnorm.h"

PROXKIT_GATEWAY(grpnorm) {
  using namespace proxkit::gateway;
  enum { IN_VECT, IN_ACCIDX, N_IN };
  enum { OUT_NORM, N_OUT };
  check_counts(nlhs, nrhs, N_IN, N_OUT, "Usage: out = grpnorm (vect, accIdx)");
  with_values(value_class(prhs[IN_VECT], "vect"), [&](auto zero) {
    using T = decltype(zero);
    const ValueArray<T> vect = storage_of<T>(prhs[IN_VECT]);
    const proxkit::SegmentTable table = segment_table(prhs[IN_ACCIDX], vect.size);
    T* out = create_result<T>(plhs, OUT_NORM, 1, 1, Contents::written_by_kernel);
    *out = proxkit::grpnorm(vect.data, vect.size, table);
  });
}
