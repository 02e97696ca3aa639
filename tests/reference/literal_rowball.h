// Literal reference of the row-wise l1-ball projection: the stated loop with
// nothing added, on vectors.  The stated loop can run forever or divide by
// an empty active set when rounding interferes; the reference detects both
// and reports them instead of producing a result.  Tests and benchmarks only.
#ifndef PROXKIT_TESTS_LITERAL_ROWBALL_H
#define PROXKIT_TESTS_LITERAL_ROWBALL_H

#include <cmath>
#include <cstddef>
#include <vector>

namespace proxkit::literal {

enum class RowEnd { by_test, never, divides_by_empty_set };

struct RowProjection {
  RowEnd end;
  std::vector<double> p;
  double theta;
  double iterations;
};

// The stated loop for one row: x(j) reads element j of the row, p(j) is the
// row's scratch and result.  Returns how the loop ended; theta and c are set
// when it ended by its test.
template <class Element, class Scratch>
RowEnd project_row(Element x, Scratch p, std::size_t n, double t, double& theta, double& c) {
  double S = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    p(j) = std::fabs(x(j));
    S = S + p(j);
  }
  theta = 0.0;
  c = 0.0;
  if (t >= S) {
    for (std::size_t j = 0; j < n; ++j) p(j) = x(j);
    return RowEnd::by_test;
  }
  double R = S - t;
  std::size_t h = n;
  while (std::fabs(R - static_cast<double>(h) * theta) > 1e-8) {
    // Each iteration either shrinks the active set or repeats itself
    // exactly; more iterations than elements means it repeats forever.
    if (c > static_cast<double>(n)) return RowEnd::never;
    if (h == 0) return RowEnd::divides_by_empty_set;
    c = c + 1;
    theta = R / static_cast<double>(h);
    std::size_t k = 0;
    double S2 = 0.0;
    for (std::size_t j = 0; j < h; ++j) {
      if (p(j) >= theta) {
        p(k) = p(j);
        k = k + 1;
        S2 = S2 + p(j);
      }
    }
    h = k;
    R = S2 - t;
  }
  for (std::size_t j = 0; j < n; ++j) {
    const double v = x(j);
    if (v > theta)
      p(j) = v - theta;
    else if (v < -theta)
      p(j) = v + theta;
    else
      p(j) = 0.0;
  }
  return RowEnd::by_test;
}

inline RowProjection rowball_row(const std::vector<double>& x, double t) {
  std::vector<double> p(x.size());
  double theta, c;
  const RowEnd end = project_row([&](std::size_t j) { return x[j]; }, [&](std::size_t j) -> double& { return p[j]; },
                                 x.size(), t, theta, c);
  if (end != RowEnd::by_test) return {end, {}, 0.0, 0.0};
  return {end, p, theta, c};
}

// The whole matrix in its column-major layout, one row after the other, each
// row walked with its stride of m.  Rows whose loop would not end by its
// test are left as they are.
inline void rowball(double* P, double* theta, double* iterations, const double* X, std::size_t m, std::size_t n,
                    double t) {
  for (std::size_t i = 0; i < m; ++i)
    project_row([=](std::size_t j) { return X[i + j * m]; }, [=](std::size_t j) -> double& { return P[i + j * m]; },
                n, t, theta[i], iterations[i]);
}

}  // namespace proxkit::literal

#endif
