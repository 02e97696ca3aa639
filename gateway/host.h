// The host interface: everything a plug-in's gateway asks of its host,
// with two bindings.  The MEX binding (gateway/host_mex.h, the default) makes
// a plug-in that MATLAB, GNU Octave and the stand-in host load through
// mexFunction; the Octave-native binding (gateway/host_octave.h, chosen with
// PROXKIT_HOST_OCTAVE) makes an .oct function.  Each kernel's gateway is
// written once, between PROXKIT_GATEWAY(<kernel>) and its closing brace, and
// compiled against either binding.
//
// Each binding includes this header for the types below and provides, in
// namespace proxkit::host (gateway/gateway.h includes the one chosen and
// checks at compile time that it provides all of it):
//  - Argument (one input), Arguments (prhs[i] is the i-th Argument),
//    Results (the slots that new_result fills) and Dimension (the host's
//    dimension type);
//  - is_real_double(a, sparse_allowed) and is_real_single(a,
//    sparse_allowed): the class checks, one of which must pass before any
//    storage of a is touched;
//  - storage_of<T>(a): the storage and shape of an input that passed the
//    check of T (double or float), read without copying or unsharing
//    anything;
//  - writable_storage<T>(prhs, i, name): the storage of input i (named name
//    in messages), written in place, with nothing the host keeps about its
//    old values left to outlive the write where the binding can drop it;
//    refused where the binding sees that the write could not reach the
//    caller's value;
//  - stored_count(a): how many values a holds (a sparse array's stored
//    ones, the last of its column pointers; a full one's element count);
//  - new_result<T>(results, slot, m, n, contents): a new m-by-n double
//    (T = double) or single (T = float) result, owned by the host at once;
//  - raise(text): refuses the call with text; never returns;
//  - print(text): prints text as it is;
//  - the macro PROXKIT_GATEWAY(kernel), which opens the kernel's gateway
//    with the parameters of mexFunction (nlhs, plhs, nrhs, prhs).
//
// The rule both bindings keep: no object with a non-trivial destructor is
// alive in a gateway where the host can raise.  A MATLAB host may end a
// refused call by unwinding the plug-in's frames as a C++ exception, another
// MEX host by a longjmp that runs no destructor at all; Octave's error
// throws.  Gateways therefore hold plain pointers and sizes only.
#ifndef PROXKIT_HOST_H
#define PROXKIT_HOST_H

#include <cstddef>

namespace proxkit::host {

// A real double (T = double) or single (T = float) array's storage and
// shape, as the host holds it.
template <class T>
struct ValueArray {
  T* data;
  std::size_t size;  // element count (M*N)
  std::size_t rows;  // M
  std::size_t cols;  // N: the product of every dimension after the first
};
using DoubleArray = ValueArray<double>;

// What a new result holds before its kernel runs.  A MEX host zero-fills
// every result anyway; the Octave-native binding writes zeros only where a
// kernel relies on them, and leaves the first touch of the other results'
// storage to the kernel.
enum class Contents { zeros, written_by_kernel };

}  // namespace proxkit::host

#endif
