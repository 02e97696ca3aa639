// pairdot: out = pairdot (U', V, iR, iC)
//
// The values of the product U*V at the L positions (iR(k), iC(k)), 1-based,
// as a 1-by-L row; U is passed transposed, so both factors have r rows and
// each inner product walks two contiguous columns.  The factors are double or
// single, of one class, which is the result's; the positions are double.
// Refuses, in this order: a wrong argument count
// ("Usage: out = pairdot_native (U', V, iR, iC)"), inputs of a wrong class,
// factors of different classes ("U' and V must be of one class, double or
// single."), factors with different row counts, a rank above either dimension, and position lists of different
// lengths.  Deliberate deviation: positions are not trusted.  An entry whose
// inner product would read outside its factor (0, negative, NaN, infinite,
// beyond m or n, or a fractional entry that runs past the last column) is
// refused, before anything is created, with "iR must hold row numbers of U
// from 1 to m." or "iC must hold column numbers of V from 1 to n.".  Fractional
// entries that stay inside the factor are computed as stated (the offset
// (entry - 1)*r is truncated, not the entry), and with r = 0 nothing is read,
// so any finite entry passes.
//
// MATLAB builds of this plug-in need the large-array interface (64-bit sizes,
// mxCreateDoubleMatrix_730), so that L and the factors' sizes are not cut to
// 32 bits; Octave and the stand-in host have only that interface.
#include "factor/pairdot.h"
#include "gateway/gateway.h"

PROXKIT_GATEWAY(pairdot) {
  using namespace proxkit::gateway;
  enum { IN_UT, IN_V, IN_IR, IN_IC, N_IN };
  enum { OUT_VALUES, N_OUT };
  check_counts(nlhs, nrhs, N_IN, N_OUT, "Usage: out = pairdot_native (U', V, iR, iC)");
  const ValueClass values = value_class(prhs[IN_UT], "U'");
  require(value_class(prhs[IN_V], "V") == values, "U' and V must be of one class, double or single.");
  with_values(values, [&](auto zero) {
    using T = decltype(zero);
    const ValueArray<T> Ut = storage_of<T>(prhs[IN_UT]);
    const ValueArray<T> V = storage_of<T>(prhs[IN_V]);
    const DoubleArray iR = full_double(prhs[IN_IR], "iR");
    const DoubleArray iC = full_double(prhs[IN_IC], "iC");
    const std::size_t r = Ut.rows;
    require(r == V.rows, "the columns of U must the same as the rows of V");
    require(Ut.cols >= r && V.cols >= r, "r must be less or equal than min(m,n)");
    require(iR.size == iC.size, "iR and iC do not have the same length");
    require(proxkit::pairdot_entries_in_range(iR.data, iR.size, r, Ut.size),
            "iR must hold row numbers of U from 1 to m.");
    require(proxkit::pairdot_entries_in_range(iC.data, iC.size, r, V.size),
            "iC must hold column numbers of V from 1 to n.");
    T* out = create_result<T>(plhs, OUT_VALUES, 1, iR.size, Contents::written_by_kernel);
    proxkit::pairdot(Ut.data, V.data, r, iR.data, iC.data, iR.size, out);
  });
}
