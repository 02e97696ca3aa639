// Literal reference of the row-wise l1-ball projection: the stated loop with
// nothing added, on vectors, in the arithmetic of its value type (double, or
// float for single: sums from 0, the count h rounded to the type where the
// loop divides and multiplies by it).  The stated loop can run forever or
// divide by an empty active set when rounding interferes; the reference
// detects both where they become certain, reports them, and returns the
// state in which the loop was at that point.  Tests and benchmarks only.
#ifndef PROXKIT_TESTS_LITERAL_ROWBALL_H
#define PROXKIT_TESTS_LITERAL_ROWBALL_H

#include <cmath>
#include <cstddef>
#include <vector>

namespace proxkit::literal {

enum class RowEnd { by_test, never, divides_by_empty_set };

template <class T>
struct RowProjection {
  RowEnd end;
  std::vector<T> p;
  T theta;
  T iterations;
};

// The stated loop for one row: x(j) reads element j of the row, p(j) is the
// row's scratch and result.  Returns how the loop ended; the projection,
// theta and c are those of the iteration at which it ended or became
// certain never to end.
template <class T, class Element, class Scratch>
RowEnd project_row(Element x, Scratch p, std::size_t n, T t, T tolerance, T& theta, T& c) {
  T S = 0;
  for (std::size_t j = 0; j < n; ++j) {
    p(j) = std::fabs(x(j));
    S = S + p(j);
  }
  theta = 0;
  c = 0;
  if (t >= S) {
    for (std::size_t j = 0; j < n; ++j) p(j) = x(j);
    return RowEnd::by_test;
  }
  RowEnd end = RowEnd::by_test;
  T R = S - t;
  std::size_t h = n;
  bool repeats = false;
  while (std::fabs(R - static_cast<T>(h) * theta) > tolerance) {
    // An iteration that kept every active value leaves R and h as they
    // were: the next one would repeat it exactly, forever.
    if (repeats) {
      end = RowEnd::never;
      break;
    }
    if (h == 0) {
      end = RowEnd::divides_by_empty_set;
      break;
    }
    c = c + 1;
    theta = R / static_cast<T>(h);
    std::size_t k = 0;
    T S2 = 0;
    for (std::size_t j = 0; j < h; ++j) {
      if (p(j) >= theta) {
        p(k) = p(j);
        k = k + 1;
        S2 = S2 + p(j);
      }
    }
    repeats = k == h;
    h = k;
    R = S2 - t;
  }
  for (std::size_t j = 0; j < n; ++j) {
    const T v = x(j);
    if (v > theta)
      p(j) = v - theta;
    else if (v < -theta)
      p(j) = v + theta;
    else
      p(j) = 0;
  }
  return end;
}

template <class T>
RowProjection<T> rowball_row(const std::vector<T>& x, T t, T tolerance) {
  RowProjection<T> r{RowEnd::by_test, std::vector<T>(x.size()), 0, 0};
  r.end = project_row(
      [&](std::size_t j) { return x[j]; }, [&](std::size_t j) -> T& { return r.p[j]; }, x.size(), t, tolerance,
      r.theta, r.iterations);
  return r;
}

// The whole matrix in its column-major layout, one row after the other, each
// row walked with its stride of m.
template <class T>
void rowball(T* P, T* theta, T* iterations, const T* X, std::size_t m, std::size_t n, T t, T tolerance) {
  for (std::size_t i = 0; i < m; ++i)
    project_row(
        [=](std::size_t j) { return X[i + j * m]; }, [=](std::size_t j) -> T& { return P[i + j * m]; }, n, t,
        tolerance, theta[i], iterations[i]);
}

}  // namespace proxkit::literal

#endif
