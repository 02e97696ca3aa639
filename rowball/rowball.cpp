#include "rowball/rowball.h"

#include <cmath>
#include <cstddef>

namespace proxkit {
namespace {

constexpr double tolerance = 1e-8;

// X and P are column-major: the elements of one row lie m apart, so a row
// walked alone touches a new cache line, and often a new page, at every
// element, and its threshold loop walks it many times.  Rows are therefore
// projected in blocks of `block_rows`, and while the thresholds are searched
// the block's part of P is used as one scratch area laid out for the search:
// its columns are taken as chunks of block_rows contiguous doubles, and the n
// scratch slots of the block's row r are slots r*n ... r*n + n - 1 of that
// area, slot s lying at chunk s / block_rows, offset s % block_rows.  Each
// row's absolute values and active set thus lie in runs of contiguous
// doubles, inside the block's own part of P; the projection overwrites the
// whole block once every threshold is known.  Rows are independent, so the
// results are those of the row-by-row loop.
constexpr std::size_t block_rows = 32;

// A row's scratch slots in the block layout above.
class BlockSlots {
 public:
  BlockSlots(double* block, std::size_t m, std::size_t first_slot) : block_(block), m_(m), first_(first_slot) {}
  double& operator[](std::size_t j) const {
    const std::size_t s = first_ + j;
    return block_[s % block_rows + s / block_rows * m_];
  }

 private:
  double* block_;
  std::size_t m_;
  std::size_t first_;
};

// A row's scratch slots in its own row of P, for the rows of a last,
// partial block (the block layout needs block_rows rows to stay inside it).
class RowSlots {
 public:
  RowSlots(double* row, std::size_t m) : row_(row), m_(m) {}
  double& operator[](std::size_t j) const { return row_[j * m_]; }

 private:
  double* row_;
  std::size_t m_;
};

struct Threshold {
  double theta;
  double iterations;
};

// The threshold loop of one row whose n absolute values, summing to `sum`,
// stand in its slots; compacts the active set in place.
template <class Slots>
Threshold find_threshold(const Slots& p, std::size_t n, double t, double sum) {
  double rest = sum - t;
  std::size_t active = n;
  double theta = 0.0;
  double count = 0.0;
  while (std::fabs(rest - static_cast<double>(active) * theta) > tolerance) {
    count = count + 1.0;
    theta = rest / static_cast<double>(active);
    // Compaction without branches: every value is written at the next free
    // slot, which only advances past kept values.  That slot is never ahead
    // of the value being read, and slots past the kept ones are scratch.
    std::size_t kept = 0;
    for (std::size_t j = 0; j < active; ++j) {
      const double value = p[j];
      p[kept] = value;
      kept += value >= theta ? 1 : 0;
    }
    double kept_sum = 0.0;
    for (std::size_t j = 0; j < kept; ++j) kept_sum = kept_sum + p[j];
    const bool kept_every_value = kept == active;
    active = kept;
    rest = kept_sum - t;
    if (kept_every_value || active == 0) break;
  }
  return {theta, count};
}

inline double shrink(double value, double theta) {
  return value > theta ? value - theta : value < -theta ? value + theta : 0.0;
}

// Rows first ... first + rows - 1: absolute values and their sums, column by
// column, into each row's slots; then each row's threshold.  Writes the
// thresholds into found[] and whether the row lies inside the ball into
// inside[].
template <class SlotsOf>
void find_block_thresholds(const double* X, std::size_t first, std::size_t rows, std::size_t m, std::size_t n,
                           double t, SlotsOf slots_of, double* found, double* count, bool* inside) {
  double sum[block_rows] = {};
  for (std::size_t j = 0; j < n; ++j) {
    const double* x = X + first + j * m;
    for (std::size_t r = 0; r < rows; ++r) {
      const double a = std::fabs(x[r]);
      slots_of(r)[j] = a;
      sum[r] = sum[r] + a;
    }
  }
  for (std::size_t r = 0; r < rows; ++r) {
    inside[r] = t >= sum[r];
    const Threshold threshold = inside[r] ? Threshold{0.0, 0.0} : find_threshold(slots_of(r), n, t, sum[r]);
    found[r] = threshold.theta;
    count[r] = threshold.iterations;
  }
}

void project_block(double* P, double* theta, double* iterations, const double* X, std::size_t first,
                   std::size_t rows, std::size_t m, std::size_t n, double t) {
  double found[block_rows], count[block_rows];
  bool inside[block_rows];
  double* block = P + first;
  if (rows == block_rows)
    find_block_thresholds(X, first, rows, m, n, t, [=](std::size_t r) { return BlockSlots(block, m, r * n); },
                          found, count, inside);
  else
    find_block_thresholds(X, first, rows, m, n, t, [=](std::size_t r) { return RowSlots(block + r, m); }, found,
                          count, inside);

  for (std::size_t r = 0; r < rows; ++r) {
    if (theta != nullptr) theta[first + r] = found[r];
    if (iterations != nullptr) iterations[first + r] = count[r];
  }
  for (std::size_t j = 0; j < n; ++j) {
    const double* x = X + first + j * m;
    double* p = block + j * m;
    for (std::size_t r = 0; r < rows; ++r) p[r] = inside[r] ? x[r] : shrink(x[r], found[r]);
  }
}

}  // namespace

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
  for (std::size_t first = 0; first < rows; first += block_rows) {
    const std::size_t count = rows - first < block_rows ? rows - first : block_rows;
    project_block(P, theta, iterations, X, first, count, rows, cols, t);
  }
  return true;
}

}  // namespace proxkit
