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

// The threshold loops of up to rows_in_flight rows, each of whose n absolute
// values, summing to sum[r], stand in its slots.  Each row outside the ball
// (t < sum[r], or a NaN sum) runs the loop
//   while |R - h*theta| > 1e-8: theta = R/h; keep the active values >= theta,
//   in order, compacted in place; h = their count; R = their sum - t,
// which also ends after an iteration that keeps every active value or none.
// The rows advance in rounds, one iteration each, so that the sums of their
// kept values (each a chain of dependent additions, in slot order) run side
// by side; every row sees exactly the arithmetic of its own loop.
constexpr std::size_t rows_in_flight = 8;

template <class SlotsOf>
void find_thresholds(SlotsOf slots_of, std::size_t group, std::size_t n, double t, const double* sum,
                     double* theta, double* count) {
  double rest[rows_in_flight];
  std::size_t active[rows_in_flight], kept[rows_in_flight];
  bool running[rows_in_flight];
  for (std::size_t r = 0; r < group; ++r) {
    rest[r] = sum[r] - t;
    active[r] = n;
    theta[r] = 0.0;
    count[r] = 0.0;
    running[r] = !(t >= sum[r]);  // a row inside the ball runs no iteration
  }
  for (;;) {
    std::size_t live[rows_in_flight];
    std::size_t lives = 0;
    for (std::size_t r = 0; r < group; ++r) {
      if (!running[r]) continue;
      if (!(std::fabs(rest[r] - static_cast<double>(active[r]) * theta[r]) > tolerance)) {
        running[r] = false;
        continue;
      }
      count[r] = count[r] + 1.0;
      theta[r] = rest[r] / static_cast<double>(active[r]);
      // Compaction without branches: every value is written at the next
      // free slot, which only advances past kept values.  That slot is never
      // ahead of the value being read, and slots past the kept ones are
      // scratch.
      const auto p = slots_of(r);
      std::size_t k = 0;
      for (std::size_t j = 0; j < active[r]; ++j) {
        const double value = p[j];
        p[k] = value;
        k += value >= theta[r] ? 1 : 0;
      }
      kept[r] = k;
      live[lives++] = r;
    }
    if (lives == 0) return;

    double kept_sum[rows_in_flight] = {};
    std::size_t common = kept[live[0]];
    for (std::size_t l = 1; l < lives; ++l) common = kept[live[l]] < common ? kept[live[l]] : common;
    for (std::size_t j = 0; j < common; ++j)
      for (std::size_t l = 0; l < lives; ++l) kept_sum[l] = kept_sum[l] + slots_of(live[l])[j];
    for (std::size_t l = 0; l < lives; ++l) {
      const std::size_t r = live[l];
      const auto p = slots_of(r);
      for (std::size_t j = common; j < kept[r]; ++j) kept_sum[l] = kept_sum[l] + p[j];
      const bool kept_every_value = kept[r] == active[r];
      active[r] = kept[r];
      rest[r] = kept_sum[l] - t;
      if (kept_every_value || active[r] == 0) running[r] = false;
    }
  }
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
  // Column tiles: a tile's part of X stays in cache while the rows of the
  // block read their runs of it, eight rows at a time so that their sums,
  // each a chain of additions in ascending column order, run side by side.
  constexpr std::size_t tile_columns = 32;
  double sum[block_rows] = {};
  for (std::size_t first_column = 0; first_column < n; first_column += tile_columns) {
    const std::size_t last_column = n - first_column < tile_columns ? n : first_column + tile_columns;
    for (std::size_t r0 = 0; r0 < rows; r0 += rows_in_flight) {
      const std::size_t group = rows - r0 < rows_in_flight ? rows - r0 : rows_in_flight;
      for (std::size_t j = first_column; j < last_column; ++j) {
        const double* x = X + first + r0 + j * m;
        for (std::size_t r = 0; r < group; ++r) {
          const double a = std::fabs(x[r]);
          slots_of(r0 + r)[j] = a;
          sum[r0 + r] = sum[r0 + r] + a;
        }
      }
    }
  }
  for (std::size_t r0 = 0; r0 < rows; r0 += rows_in_flight) {
    const std::size_t group = rows - r0 < rows_in_flight ? rows - r0 : rows_in_flight;
    find_thresholds([=](std::size_t r) { return slots_of(r0 + r); }, group, n, t, sum + r0, found + r0, count + r0);
  }
  for (std::size_t r = 0; r < rows; ++r) inside[r] = t >= sum[r];
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
