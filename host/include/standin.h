// The stand-in host, seen from a test, fuzzer or benchmark.
//
// It loads a plug-in by path, the way MATLAB and Octave do, builds input
// arrays of any class, calls mexFunction and reports what the call did: the
// error it raised, the text it printed, the arrays it created.  Every array's
// storage is allocated to its exact size so that a sanitizer sees a read one
// element too far.
#ifndef PROXKIT_STANDIN_H
#define PROXKIT_STANDIN_H

#include <cstddef>
#include <string>
#include <vector>

#include "mex.h"

namespace standin {

// A plug-in loaded from its file, kept loaded while this object lives.
class Plugin {
 public:
  explicit Plugin(const std::string& path);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  using Entry = void (*)(int, mxArray**, int, const mxArray**);
  Entry entry() const { return entry_; }

 private:
  void* handle_;
  Entry entry_;
};

// What one call of mexFunction did.
struct Call {
  bool raised = false;         // the call ended with an error
  std::string error;           // its text
  bool out_of_memory = false;  // the host ended it: an array could not be allocated
  std::string printed;         // everything passed to mexPrintf
  int created = 0;             // arrays the host created during the call
  std::vector<mxArray*> out;   // the result slots after the call
};

// Calls the plug-in with `nlhs` requested results.  Like the real hosts, the
// plug-in gets room for max(nlhs, 1) results; `slots` overrides that count.
Call call(const Plugin& plugin, int nlhs, const std::vector<const mxArray*>& inputs,
          int slots = -1);

// Array construction.  Arrays live until release_all().
mxArray* make_double(size_t m, size_t n, const std::vector<double>& values = {});
mxArray* make_column(const std::vector<double>& values);
mxArray* make_row(const std::vector<double>& values);
mxArray* make_scalar(double value);
// A full single m-by-n array, its first values.size() elements given.
mxArray* make_single(size_t m, size_t n, const std::vector<float>& values = {});
// A sparse double m-by-n array with room for nzmax stored values, the first
// values.size() of which are given; row indices and column starts are filled
// with a valid pattern (the kernels never read them).  With mxSINGLE_CLASS,
// a sparse single one, which MATLAB has from R2025a on.
mxArray* make_sparse(size_t m, size_t n, size_t nzmax, const std::vector<double>& values,
                     mxClassID id = mxDOUBLE_CLASS);
// An m-by-n array of another class (or complex double), with storage of its
// own element size, zero-filled and then overwritten from its start by `raw`.
mxArray* make_of_class(mxClassID id, size_t m, size_t n, bool complex = false,
                       const std::vector<unsigned char>& raw = {});

// The values of a double array's storage (its stored values when sparse);
// any other class is refused, so that a result of the wrong class fails
// the test that reads it.
std::vector<double> values(const mxArray* a);
// The values of a full single array; any other class is refused.
std::vector<float> singles(const mxArray* a);
// Every byte of an array's storage (real part, then imaginary part), of any
// class: a snapshot to compare before and after a call.
std::vector<unsigned char> bytes(const mxArray* a);
size_t rows(const mxArray* a);
size_t cols(const mxArray* a);

// The largest array, in bytes, that mxCreateDoubleMatrix allocates; a larger
// one ends the call with the host's out-of-memory error, as a real host does
// when memory runs out.  Unlimited (up to overflow) by default.
void set_allocation_limit(size_t bytes);

// Frees one array made by the host (a result, say); null is ignored.
void release(mxArray* a);

// Frees every array made by the host so far.
void release_all();

}  // namespace standin

#endif
