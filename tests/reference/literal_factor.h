// Literal references of the factor kernels: the stated loops, written as
// plainly as possible and independent of the production code; kept for tests
// and benchmarks only, on values of type T (double or float; the entries are
// double either way).  pairdot's reference takes only positions inside the
// factors.
#ifndef PROXKIT_TESTS_LITERAL_FACTOR_H
#define PROXKIT_TESTS_LITERAL_FACTOR_H

#include <cstddef>

#include "reference/nan_order.h"

namespace proxkit::literal {

template <class A = InOrder, class T>
void pairdot(const T* Ut, const T* V, std::size_t r, const double* iR, const double* iC, std::size_t L, T* out) {
  const double rank = static_cast<double>(r);
  for (std::size_t k = 0; k < L; ++k) {
    const long long a = static_cast<long long>((iR[k] - 1.0) * rank);
    const long long b = static_cast<long long>((iC[k] - 1.0) * rank);
    out[k] = 0;
    for (long long t = 0; t < static_cast<long long>(r); ++t) out[k] = A::add(out[k], A::mul(V[b + t], Ut[a + t]));
  }
}

template <class T>
void nzassign(T* dst, const T* src, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) dst[i] = src[i];
}

}  // namespace proxkit::literal

#endif
