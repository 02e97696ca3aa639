// nzassign: nzassign ( S, v )
//
// Writes the elements of v, in storage order, over the first numel(v) stored
// values of S, in place: the non-zero values of a sparse S (its pattern is
// kept, and a zero written there stays stored), or the elements of a full S.
// Returns nothing.  Refuses a wrong argument count or any requested result
// ("Usage: nzassign ( S, v )"), an S that is not a real double array (full or
// sparse), and a v that is not a real, full double array.  Deliberate
// deviation: a v longer than the stored values of S (its element count when
// full, its stored non-zeros when sparse, not their allocated capacity) is
// refused with "v must not have more elements than S has stored values."
// before anything is written, so a refused call leaves S unchanged.
//
// The write reaches every value that shares S's storage (its help lists
// them); the Octave-native build refuses an S whose write would land in a
// private copy only.
#include "factor/nzassign.h"
#include "gateway/gateway.h"

PROXKIT_GATEWAY(nzassign) {
  using namespace proxkit::gateway;
  enum { IN_S, IN_V, N_IN };
  check_counts(nlhs, nrhs, N_IN, 0, "Usage: nzassign ( S, v )");
  require_double(prhs[IN_S], "S", true);
  double* dst = proxkit::host::writable_storage(prhs, IN_S, "S");
  const DoubleArray v = full_double(prhs[IN_V], "v");
  require(v.size <= proxkit::host::stored_count(prhs[IN_S]), "v must not have more elements than S has stored values.");
  proxkit::nzassign(dst, v.data, v.size);
}
