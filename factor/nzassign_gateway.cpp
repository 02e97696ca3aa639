// nzassign: nzassign ( S, v )
//
// Writes the elements of v, in storage order, over the first numel(v) stored
// values of S, in place: the non-zero values of a sparse S (its pattern is
// kept, and a zero written there stays stored), or the elements of a full S.
// Returns nothing.  S is double (full or sparse) or full single, and v of
// S's class.  Refuses, in this order, a wrong argument count or any
// requested result ("Usage: nzassign ( S, v )"), an S of another class ("S
// must be a real double or single array."; a sparse single S, which MATLAB
// has from R2025a on, "S must be a real double or single array, and double
// when sparse."), a v that is not a real, full double or single array, and
// a v of the other class ("v must be of the class of S.").  Deliberate
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
  with_values(value_class(prhs[IN_S], "S", true), [&](auto zero) {
    using T = decltype(zero);
    T* dst = proxkit::host::writable_storage<T>(prhs, IN_S, "S");
    require(value_class(prhs[IN_V], "v") == class_of<T>, "v must be of the class of S.");
    const ValueArray<T> v = storage_of<T>(prhs[IN_V]);
    require(v.size <= proxkit::host::stored_count(prhs[IN_S]),
            "v must not have more elements than S has stored values.");
    proxkit::nzassign(dst, v.data, v.size);
  });
}
