#include "rowball/rowball.h"

#include <cstddef>
#include <cstdint>
#include <limits>

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

bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t) {
  if (0 > t) return false;
  const std::size_t rows = m > 0 ? static_cast<std::size_t>(m) : 0;
  const std::size_t cols = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (cols == 0) {
    // Every row is empty, its sum 0: threshold and count 0 whatever t is.
    // P and X may have no storage at all, so nothing points into them.
    for (std::size_t i = 0; i < rows; ++i) {
      if (theta != nullptr) theta[i] = 0.0;
      if (iterations != nullptr) iterations[i] = 0.0;
    }
    return true;
  }
  on_chosen_set([&](auto set) { project_all_rows(set, P, theta, iterations, X, rows, cols, t); });
  return true;
}

}  // namespace proxkit
