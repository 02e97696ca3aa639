// grpshrink: out = grpshrink (vect, accIdx, rho)
//
// Block soft-thresholding: each segment of vect scaled by
// max(0, 1 - 1/(rho * norm)), as an N-by-1 result whatever the shape of vect;
// positions in no segment are 0.  Refuses a wrong argument count
// ("Usage: out = grpshrink (vect, accIdx, rho)"), inputs that are not real
// full double arrays, and a table whose last entry exceeds numel(vect).
// Deliberate deviations from a bare table walk: an empty table has no
// segment, segment ends beyond the vector are clipped to it, and an empty rho
// is refused with "rho must have at least one element." whenever the table
// has a segment; with no segment rho is not needed and an empty one is
// accepted (the result is all zeros).  The checks run in the order vect,
// accIdx (class, then its last entry), rho (class, then its element).
#include "gateway/gateway.h"
#include "segment/grpshrink.h"

PROXKIT_GATEWAY(grpshrink) {
  using namespace proxkit::gateway;
  enum { IN_VECT, IN_ACCIDX, IN_RHO, N_IN };
  enum { OUT_SHRUNK, N_OUT };
  check_counts(nlhs, nrhs, N_IN, N_OUT, "Usage: out = grpshrink (vect, accIdx, rho)");
  const DoubleArray vect = full_double(prhs[IN_VECT], "vect");
  const proxkit::SegmentTable table = segment_table(prhs[IN_ACCIDX], vect.size);
  const double rho = rho_parameter(prhs[IN_RHO], table);
  double* out = create_result(plhs, OUT_SHRUNK, vect.size, 1, segment_result_contents(table, vect.size));
  proxkit::grpshrink(vect.data, vect.size, table, rho, out);
}
