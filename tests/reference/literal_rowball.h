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

inline RowProjection rowball_row(const std::vector<double>& x, double t) {
  const std::size_t n = x.size();
  std::vector<double> p(n);
  double S = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    p[j] = std::fabs(x[j]);
    S = S + p[j];
  }
  if (t >= S) return {RowEnd::by_test, x, 0.0, 0.0};
  double R = S - t;
  std::size_t h = n;
  double theta = 0.0;
  int c = 0;
  while (std::fabs(R - static_cast<double>(h) * theta) > 1e-8) {
    // Each iteration either shrinks the active set or repeats itself
    // exactly; more iterations than elements means it repeats forever.
    if (static_cast<std::size_t>(c) > n) return {RowEnd::never, {}, 0.0, 0.0};
    if (h == 0) return {RowEnd::divides_by_empty_set, {}, 0.0, 0.0};
    c = c + 1;
    theta = R / static_cast<double>(h);
    std::size_t k = 0;
    double S2 = 0.0;
    for (std::size_t j = 0; j < h; ++j) {
      if (p[j] >= theta) {
        p[k] = p[j];
        k = k + 1;
        S2 = S2 + p[j];
      }
    }
    h = k;
    R = S2 - t;
  }
  for (std::size_t j = 0; j < n; ++j) {
    const double v = x[j];
    if (v > theta)
      p[j] = v - theta;
    else if (v < -theta)
      p[j] = v + theta;
    else
      p[j] = 0.0;
  }
  return {RowEnd::by_test, p, theta, static_cast<double>(c)};
}

}  // namespace proxkit::literal

#endif
