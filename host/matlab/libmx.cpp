// The stand-in libmx: host arrays and the array operations of MATLAB's MEX
// API, under MATLAB's entry-point names for both array interfaces.
#include <cstdint>
#include <memory>
#include <vector>

#include "standin_abi.h"

struct mxArray_tag {
  standin_kind kind;
  size_t m;
  size_t n;
  std::vector<double> doubles;  // values of a double array (stored ones when sparse)
  std::vector<float> singles;   // values of a single array
  std::vector<size_t> jc;       // a sparse array's column pointers
};

namespace {

std::vector<std::unique_ptr<mxArray>> arrays;
int created = 0;

mxArray* new_array(standin_kind kind, size_t m, size_t n, size_t stored) {
  arrays.push_back(std::make_unique<mxArray>());
  mxArray* a = arrays.back().get();
  a->kind = kind;
  a->m = m;
  a->n = n;
  if (kind == STANDIN_SINGLE)
    a->singles.assign(stored, 0.0f);
  else
    a->doubles.assign(stored, 0.0);
  // A sparse array stores the first `stored` positions in column-major order.
  if (kind == STANDIN_SPARSE)
    for (size_t j = 0; j <= n; ++j) a->jc.push_back(j * m < stored ? j * m : stored);
  return a;
}

mxArray* create_double(size_t m, size_t n) {
  ++created;
  return new_array(STANDIN_DOUBLE, m, n, m * n);
}

// The classes of MATLAB's mxClassID that the plug-ins create.
enum { double_class = 6, single_class = 7 };

// Any other class is the plug-in's fault: it gets no array.
mxArray* create_numeric(size_t m, size_t n, int id) {
  if (id == double_class) return create_double(m, n);
  if (id != single_class) return nullptr;
  ++created;
  return new_array(STANDIN_SINGLE, m, n, m * n);
}

}  // namespace

extern "C" {

// The host operations.
STANDIN_API double* mxGetPr(const mxArray* a) {
  return a->kind == STANDIN_SINGLE ? reinterpret_cast<double*>(const_cast<float*>(a->singles.data()))
                                   : const_cast<double*>(a->doubles.data());
}
STANDIN_API size_t mxGetNumberOfElements(const mxArray* a) { return a->m * a->n; }
STANDIN_API size_t mxGetM(const mxArray* a) { return a->m; }
STANDIN_API size_t mxGetN(const mxArray* a) { return a->n; }
STANDIN_API void* mxGetData(const mxArray* a) {
  return a->kind == STANDIN_SINGLE ? static_cast<void*>(const_cast<float*>(a->singles.data()))
                                   : static_cast<void*>(const_cast<double*>(a->doubles.data()));
}
STANDIN_API bool mxIsDouble(const mxArray* a) { return a->kind != STANDIN_SINGLE; }
STANDIN_API bool mxIsSingle(const mxArray* a) { return a->kind == STANDIN_SINGLE; }
STANDIN_API bool mxIsComplex(const mxArray*) { return false; }
STANDIN_API bool mxIsSparse(const mxArray* a) { return a->kind == STANDIN_SPARSE; }

// The large-array interface, the one the plug-ins are built on: its
// operations under the suffix _730, unversioned, as today's libmx exports
// them; on 32-bit Linux also under their plain names, bound to the version
// v7.3 (libmx.map), as that platform's MATLAB exported them.  A plug-in that
// calls the 32-bit-dimension interface (_700) finds no such operation here
// and fails to load.
STANDIN_API mxArray* mxCreateDoubleMatrix_730(size_t m, size_t n, int) { return create_double(m, n); }
STANDIN_API mxArray* mxCreateNumericMatrix_730(size_t m, size_t n, int id, int) { return create_numeric(m, n, id); }
STANDIN_API size_t* mxGetJc_730(const mxArray* a) { return const_cast<size_t*>(a->jc.data()); }
#if defined(__linux__) && defined(__i386__)
STANDIN_API mxArray* mxCreateDoubleMatrix(size_t m, size_t n, int) { return create_double(m, n); }
STANDIN_API mxArray* mxCreateNumericMatrix(size_t m, size_t n, int id, int) { return create_numeric(m, n, id); }
STANDIN_API size_t* mxGetJc(const mxArray* a) { return const_cast<size_t*>(a->jc.data()); }
#endif

// The driver's side.
STANDIN_API unsigned int standin_array_api(void) { return 0x07300000; }
STANDIN_API mxArray* standin_array(standin_kind kind, size_t m, size_t n, const double* values, size_t count) {
  mxArray* a = new_array(kind, m, n, kind == STANDIN_SPARSE || kind == STANDIN_CLAIMED ? count : m * n);
  for (size_t i = 0; i < count && i < a->doubles.size() + a->singles.size(); ++i) {
    if (kind == STANDIN_SINGLE)
      a->singles[i] = static_cast<float>(values[i]);
    else
      a->doubles[i] = values[i];
  }
  return a;
}
STANDIN_API size_t standin_rows(const mxArray* a) { return a->m; }
STANDIN_API size_t standin_cols(const mxArray* a) { return a->n; }
STANDIN_API enum standin_kind standin_kind_of(const mxArray* a) { return a->kind; }
STANDIN_API const double* standin_values(const mxArray* a, size_t* count) {
  *count = a->doubles.size();
  return a->doubles.data();
}
STANDIN_API const float* standin_singles(const mxArray* a, size_t* count) {
  *count = a->singles.size();
  return a->singles.data();
}
STANDIN_API int standin_created(void) { return created; }
STANDIN_API void standin_release_all(void) {
  arrays.clear();
  created = 0;
}

}  // extern "C"
