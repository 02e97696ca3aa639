// grpsign: out = grpsign (vect, accIdx, rho)
//
// The unit direction of each segment of vect, or zeros where its norm lies
// strictly between -10*rho and 10*rho, as an N-by-1 result whatever the
// shape of vect; positions in no segment are 0.  Refuses a wrong argument
// count ("Usage: out = grpsign (vect, accIdx, rho)"), inputs of a wrong
// class (vect and rho real, full double or single, accIdx real, full
// double), and a table whose last entry exceeds numel(vect).
// The result is of vect's class (double or single); rho may be of either
// class, and a double rho with single values is rounded to single first.
// Deliberate deviations from a bare table walk: an empty table has no
// segment, segment ends beyond the vector are clipped to it, and an empty rho
// is refused with "rho must have at least one element." whenever the table
// has a segment; with no segment rho is not needed and an empty one is
// accepted (the result is all zeros).  The checks run in the order vect,
// accIdx (class, then its last entry), rho (class, then its element).
#include "gateway/gateway.h"
#include "segment/grpsign.h"

PROXKIT_GATEWAY(grpsign) {
  using namespace proxkit::gateway;
  enum { IN_VECT, IN_ACCIDX, IN_RHO, N_IN };
  enum { OUT_DIRECTIONS, N_OUT };
  check_counts(nlhs, nrhs, N_IN, N_OUT, "Usage: out = grpsign (vect, accIdx, rho)");
  with_values(value_class(prhs[IN_VECT], "vect"), [&](auto zero) {
    using T = decltype(zero);
    const ValueArray<T> vect = storage_of<T>(prhs[IN_VECT]);
    const proxkit::SegmentTable table = segment_table(prhs[IN_ACCIDX], vect.size);
    const T rho = rho_parameter<T>(prhs[IN_RHO], table);
    T* out = create_result<T>(plhs, OUT_DIRECTIONS, vect.size, 1, segment_result_contents(table, vect.size));
    proxkit::grpsign(vect.data, vect.size, table, rho, out);
  });
}
