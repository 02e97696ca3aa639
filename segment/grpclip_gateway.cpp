// grpclip: out = grpclip (vect, accIdx)
//
// Each segment of vect of norm above 1 divided by its norm, every other
// element copied, as an N-by-1 result of vect's class (double or single)
// whatever the shape of vect.  Refuses a wrong argument count
// ("Usage: out = grpclip (vect, accIdx)"), a vect that is not a real, full
// double or single array, an accIdx that is not a real, full double array,
// and a table whose last entry exceeds numel(vect).  Deliberate deviations from a bare table walk: an empty table
// has no segment (the result is a copy of vect), and segment ends beyond the
// vector are clipped to it, so nothing outside vect or the result is ever
// touched.
#include "gateway/gateway.h"
#include "segment/grpclip.h"

PROXKIT_GATEWAY(grpclip) {
  using namespace proxkit::gateway;
  enum { IN_VECT, IN_ACCIDX, N_IN };
  enum { OUT_CLIPPED, N_OUT };
  check_counts(nlhs, nrhs, N_IN, N_OUT, "Usage: out = grpclip (vect, accIdx)");
  with_values(value_class(prhs[IN_VECT], "vect"), [&](auto zero) {
    using T = decltype(zero);
    const ValueArray<T> vect = storage_of<T>(prhs[IN_VECT]);
    const proxkit::SegmentTable table = segment_table(prhs[IN_ACCIDX], vect.size);
    T* out = create_result<T>(plhs, OUT_CLIPPED, vect.size, 1, Contents::written_by_kernel);
    proxkit::grpclip(vect.data, vect.size, table, out);
  });
}
