// Literal references of the segment kernels: the simplest loops that do
// what the stated algorithms say, position by position, with the end of each
// segment compared in double, on the arithmetic A (reference/nan_order.h), on
// values of type T (double or float; the table is double either way).  Independent of the production segment walk;
// kept for tests and benchmarks only.
#ifndef PROXKIT_TESTS_LITERAL_SEGMENTS_H
#define PROXKIT_TESTS_LITERAL_SEGMENTS_H

#include <cmath>
#include <cstddef>
#include <vector>

#include "reference/nan_order.h"

namespace proxkit::literal {

// Calls visit(k, i) for each position i of each segment k, in order.  Starts
// that name no position give empty segments and positions stop at n, the
// toolbox's documented safe reading of any table.
template <class Visit>
void walk(const double* b, std::size_t K, std::size_t n, Visit&& visit) {
  for (std::size_t k = 0; k + 1 < K; ++k) {
    if (!(b[k] > -1.0 && b[k] < 9223372036854775808.0)) continue;
    const std::size_t start = b[k] <= 0.0 ? 0 : static_cast<std::size_t>(b[k]);
    for (std::size_t i = start; static_cast<double>(i) < b[k + 1] && i < n; ++i) visit(k, i);
  }
}

// The sum of squares of every segment, in table order (one entry per
// segment, empty segments included).
template <class A, class T>
void segment_squares(const T* vect, const double* b, std::size_t K, std::size_t n, T* squares) {
  for (std::size_t k = 0; k + 1 < K; ++k) squares[k] = 0;
  walk(b, K, n, [&](std::size_t k, std::size_t i) { squares[k] = A::add(squares[k], vect[i] * vect[i]); });
}

template <class A = InOrder, class T>
T grpnorm(const T* vect, std::size_t n, const double* b, std::size_t K) {
  T out = 0;
  for (std::size_t k = 0; k + 1 < K; ++k) {
    T s = 0;
    walk(b + k, 2, n, [&](std::size_t, std::size_t i) { s = A::add(s, vect[i] * vect[i]); });
    out = A::add(std::sqrt(s), out);
  }
  return out;
}

// The next three write into out (n elements), which the caller zero-fills as
// the host does.  Every norm is taken first, from vect, before anything is
// written: the kernels must never take one from a result.
template <class A, class T>
std::vector<T> segment_norms(const T* vect, std::size_t n, const double* b, std::size_t K) {
  std::vector<T> norms(K > 1 ? K - 1 : 0);
  segment_squares<A>(vect, b, K, n, norms.data());
  for (T& norm : norms) norm = std::sqrt(norm);
  return norms;
}

template <class A = InOrder, class T>
void grpshrink(const T* vect, std::size_t n, const double* b, std::size_t K, T rho, T* out) {
  const std::vector<T> norms = segment_norms<A>(vect, n, b, K);
  walk(b, K, n, [&](std::size_t k, std::size_t i) {
    const T product = A::mul(norms[k], rho);
    const T reciprocal = T{1} / product;
    const T g = T{1} - reciprocal;
    const T factor = g < 0 ? T{0} : g;
    out[i] = A::mul(factor, vect[i]);
  });
}

template <class A = InOrder, class T>
void grpclip(const T* vect, std::size_t n, const double* b, std::size_t K, T* out) {
  const std::vector<T> norms = segment_norms<A>(vect, n, b, K);
  for (std::size_t i = 0; i < n; ++i) out[i] = vect[i];
  walk(b, K, n, [&](std::size_t k, std::size_t i) {
    if (norms[k] > T{1}) out[i] = out[i] / norms[k];
  });
}

template <class A = InOrder, class T>
void grpsign(const T* vect, std::size_t n, const double* b, std::size_t K, T rho, T* out) {
  const std::vector<T> norms = segment_norms<A>(vect, n, b, K);
  walk(b, K, n, [&](std::size_t k, std::size_t i) {
    if (T{10} * rho > norms[k] && norms[k] > T{-10} * rho)
      out[i] = 0;
    else
      out[i] = vect[i] / norms[k];
  });
}

}  // namespace proxkit::literal

#endif
