#include "factor/nzassign.h"

namespace proxkit {

namespace {
template <class T>
void assign(T* dst, const T* src, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) dst[i] = src[i];
}
}  // namespace

void nzassign(double* dst, const double* src, std::size_t n) { assign(dst, src, n); }

void nzassign(float* dst, const float* src, std::size_t n) { assign(dst, src, n); }

}  // namespace proxkit
