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

// A sparse single array exists in MATLAB from R2025a on; with sparse allowed
// this passes it too, so that a gateway can tell it from other classes.
inline bool is_real_single(Argument a, bool sparse_allowed) {
  return mxIsSingle(a) && !mxIsComplex(a) && (sparse_allowed || !mxIsSparse(a));
}

// mxGetPr is the documented reader of double storage; single storage has
// only the untyped one.
inline void data_of(Argument a, double** data) { *data = mxGetPr(a); }
inline void data_of(Argument a, float** data) { *data = static_cast<float*>(mxGetData(a)); }

template <class T>
ValueArray<T> storage_of(Argument a) {
  T* data;
  data_of(a, &data);
  return {data, static_cast<std::size_t>(mxGetNumberOfElements(a)), static_cast<std::size_t>(mxGetM(a)),
          static_cast<std::size_t>(mxGetN(a))};
}

// A MEX host hands out the storage of what it passes, which in Octave may be
// a copy of the caller's value: nothing here can tell.
template <class T>
T* writable_storage(Arguments prhs, int i, const char*) {
  T* data;
  data_of(prhs[i], &data);
  return data;
}

inline std::size_t stored_count(Argument a) {
  return mxIsSparse(a) ? static_cast<std::size_t>(mxGetJc(a)[mxGetN(a)])
                       : static_cast<std::size_t>(mxGetNumberOfElements(a));
}

inline mxArray* create_array(std::size_t m, std::size_t n, double*) {
  return mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), mxREAL);
}
inline mxArray* create_array(std::size_t m, std::size_t n, float*) {
  return mxCreateNumericMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), mxSINGLE_CLASS, mxREAL);
}

// Both creation calls zero-fill whatever the contents.  The host owns the
// array from the moment it is stored in its slot.
template <class T>
T* new_result(Results plhs, int slot, std::size_t m, std::size_t n, Contents) {
  plhs[slot] = create_array(m, n, static_cast<T*>(nullptr));
  T* data;
  data_of(plhs[slot], &data);
  return data;
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
