#include "rowball/rowball.h"

#include <cmath>
#include <cstddef>

namespace proxkit {
namespace {

constexpr double tolerance = 1e-8;

struct Threshold {
  double theta;
  double iterations;
};

// Projects row i of the m-by-n matrices X and P (column-major, so the row's
// elements lie m apart) and returns its threshold.
Threshold project_row(double* P, const double* X, std::size_t i, std::size_t m, std::size_t n, double t) {
  // Offsets from the bases, never from a pointer into the row: an empty
  // matrix may have no storage at all.
  const auto at = [i, m](std::size_t j) { return i + j * m; };
  double sum = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    P[at(j)] = std::fabs(X[at(j)]);
    sum = sum + P[at(j)];
  }
  if (t >= sum) {
    for (std::size_t j = 0; j < n; ++j) P[at(j)] = X[at(j)];
    return {0.0, 0.0};
  }

  double rest = sum - t;
  std::size_t active = n;
  double theta = 0.0;
  double count = 0.0;
  while (std::fabs(rest - static_cast<double>(active) * theta) > tolerance) {
    count = count + 1.0;
    theta = rest / static_cast<double>(active);
    std::size_t kept = 0;
    double kept_sum = 0.0;
    for (std::size_t j = 0; j < active; ++j) {
      if (P[at(j)] >= theta) {
        P[at(kept)] = P[at(j)];
        ++kept;
        kept_sum = kept_sum + P[at(j)];
      }
    }
    const bool kept_every_value = kept == active;
    active = kept;
    rest = kept_sum - t;
    if (kept_every_value || active == 0) break;
  }

  for (std::size_t j = 0; j < n; ++j) {
    const double value = X[at(j)];
    P[at(j)] = value > theta ? value - theta : value < -theta ? value + theta : 0.0;
  }
  return {theta, count};
}

}  // namespace

bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t) {
  if (0 > t) return false;
  const std::size_t rows = m > 0 ? static_cast<std::size_t>(m) : 0;
  const std::size_t cols = n > 0 ? static_cast<std::size_t>(n) : 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const Threshold found = project_row(P, X, i, rows, cols, t);
    if (theta != nullptr) theta[i] = found.theta;
    if (iterations != nullptr) iterations[i] = found.iterations;
  }
  return true;
}

}  // namespace proxkit
