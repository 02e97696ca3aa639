// The MEX binding of the host interface (gateway/host.h): mexFunction and the
// host's libmx and libmex, for MATLAB, GNU Octave's MEX layer and the
// stand-in host.  Every operation is one host call or two.
#ifndef PROXKIT_HOST_MEX_H
#define PROXKIT_HOST_MEX_H

#include <cstddef>
#include <cstdlib>

#include "gateway/host.h"
#include "mex.h"

namespace proxkit::host {

using Argument = const mxArray*;
using Arguments = const mxArray* const*;
using Results = mxArray**;
// The host's dimension type: 32-bit signed on MATLAB's 32-bit-dimension
// interface, so the gateway refuses larger results before creating one.
using Dimension = mwSize;

inline bool is_real_double(Argument a, bool sparse_allowed) {
  return mxIsDouble(a) && !mxIsComplex(a) && (sparse_allowed || !mxIsSparse(a));
}

inline DoubleArray storage_of(Argument a) {
  return {mxGetPr(a), static_cast<std::size_t>(mxGetNumberOfElements(a)), static_cast<std::size_t>(mxGetM(a)),
          static_cast<std::size_t>(mxGetN(a))};
}

// A MEX host hands out the storage of what it passes, which in Octave may be
// a copy of the caller's value: nothing here can tell.
inline double* writable_storage(Arguments prhs, int i, const char*) { return mxGetPr(prhs[i]); }

inline std::size_t stored_count(Argument a) {
  return mxIsSparse(a) ? static_cast<std::size_t>(mxGetJc(a)[mxGetN(a)])
                       : static_cast<std::size_t>(mxGetNumberOfElements(a));
}

// mxCreateDoubleMatrix zero-fills whatever the contents.  The host owns the
// array from the moment it is stored in its slot.
inline double* new_result(Results plhs, int slot, std::size_t m, std::size_t n, Contents) {
  plhs[slot] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), mxREAL);
  return mxGetPr(plhs[slot]);
}

// The host ends the call and never returns here.
[[noreturn]] inline void raise(const char* text) {
  mexErrMsgTxt(text);
  std::abort();
}

inline void print(const char* text) { mexPrintf("%s", text); }

}  // namespace proxkit::host

// The kernel's gateway, called by the host's entry point.  Its parameters
// keep the names of mexFunction's.
#define PROXKIT_GATEWAY(kernel)                                                                         \
  static void kernel##_gateway(int nlhs, proxkit::host::Results plhs, int nrhs, proxkit::host::Arguments prhs); \
  void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {                      \
    kernel##_gateway(nlhs, plhs, nrhs, prhs);                                                           \
  }                                                                                                     \
  static void kernel##_gateway([[maybe_unused]] int nlhs, [[maybe_unused]] proxkit::host::Results plhs, \
                               [[maybe_unused]] int nrhs, [[maybe_unused]] proxkit::host::Arguments prhs)

#endif
