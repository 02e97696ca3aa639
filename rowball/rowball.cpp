#include "rowball/rowball.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "core/lanes.h"

namespace proxkit::detail {
// How many vectors of rows run side by side in a block: the threshold
// iterations of their rows overlap, each vector's chain of additions
// waiting on its own.
constexpr std::size_t groups_in_flight = 4;
}  // namespace proxkit::detail

#define PROXKIT_PER_SET "rowball/rowball_blocks.h"
#include "core/for_each_set.h"

namespace proxkit {
namespace {

// A float lane counts active values by adding 1.0f, exact up to 2^24.
constexpr std::size_t float_lanes_count_to = std::size_t{1} << 24;

// Row i by the plain loop, with the endings of the vector path, counting in
// integers: h and c are exact for every n, and rounded to T only where the
// loop divides and multiplies by h, as the plain loop does.  Rows of floats
// take it where they are longer than float lanes count exactly; such a row
// reads and writes tens of megabytes with stride m, so a vector across rows
// would gain little.
template <class T>
void project_row_plainly(T* P, T* theta, T* iterations, const T* X, std::size_t i, std::size_t m, std::size_t n,
                         T t, T tolerance) {
  T* row = P + i;
  const T* x = X + i;
  T sum = 0;
  for (std::size_t j = 0; j < n; ++j) {
    row[j * m] = std::fabs(x[j * m]);
    sum = sum + row[j * m];
  }
  T threshold = 0;
  std::size_t count = 0;
  if (t >= sum) {
    for (std::size_t j = 0; j < n; ++j) row[j * m] = x[j * m];
  } else {
    T rest = sum - t;
    std::size_t active = n;
    while (std::fabs(rest - static_cast<T>(active) * threshold) > tolerance) {
      ++count;
      threshold = rest / static_cast<T>(active);
      std::size_t kept = 0;
      T kept_sum = 0;
      for (std::size_t j = 0; j < active; ++j) {
        if (row[j * m] >= threshold) {
          row[kept * m] = row[j * m];
          ++kept;
          kept_sum = kept_sum + row[j * m];
        }
      }
      const bool every_or_none = kept == active || kept == 0;
      active = kept;
      rest = kept_sum - t;
      if (every_or_none) break;
    }
    for (std::size_t j = 0; j < n; ++j) {
      const T v = x[j * m];
      row[j * m] = v > threshold ? v - threshold : v < -threshold ? v + threshold : T(0);
    }
  }
  if (theta != nullptr) theta[i] = threshold;
  if (iterations != nullptr) iterations[i] = static_cast<T>(count);
}

template <class T>
bool project_every_row(T* P, T* theta, T* iterations, const T* X, std::int32_t m, std::int32_t n, T t, T tolerance) {
  if (0 > t) return false;
  const std::size_t rows = m > 0 ? static_cast<std::size_t>(m) : 0;
  const std::size_t cols = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (cols == 0) {
    // Every row is empty, its sum 0: threshold and count 0 whatever t is.
    // P and X may have no storage at all, so nothing points into them.
    for (std::size_t i = 0; i < rows; ++i) {
      if (theta != nullptr) theta[i] = 0;
      if (iterations != nullptr) iterations[i] = 0;
    }
    return true;
  }
  if constexpr (std::is_same_v<T, float>) {
    if (cols > float_lanes_count_to) {
      for (std::size_t i = 0; i < rows; ++i) project_row_plainly(P, theta, iterations, X, i, rows, cols, t, tolerance);
      return true;
    }
  }
  on_chosen_set([&](auto set) { project_all_rows(set, P, theta, iterations, X, rows, cols, t, tolerance); });
  return true;
}

}  // namespace

bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t, double tolerance) {
  return project_every_row(P, theta, iterations, X, m, n, t, tolerance);
}

bool rowball(float* P, float* theta, float* iterations, const float* X, std::int32_t m, std::int32_t n, float t,
             float tolerance) {
  return project_every_row(P, theta, iterations, X, m, n, t, tolerance);
}

}  // namespace proxkit
