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

// A row's threshold search: the loop
//   while |R - h*theta| > 1e-8: theta = R/h; keep the active values >= theta,
//   in order, compacted in place; h = their count; R = their sum - t,
// which also ends after an iteration that keeps every active value or none.
struct Search {
  double rest;         // R
  std::size_t active;  // h
  double theta;
  double count;        // iterations so far
  bool running;
  bool outside;        // t < the row's sum (or a NaN sum): projected, not copied
};

// Starts an iteration if the loop's test lets it; returns whether it did.
inline bool start_iteration(Search& row) {
  if (!row.running || !(std::fabs(row.rest - static_cast<double>(row.active) * row.theta) > tolerance)) {
    row.running = false;
    return false;
  }
  row.count = row.count + 1.0;
  row.theta = row.rest / static_cast<double>(row.active);
  return true;
}

// Ends the iteration that kept `kept` of the row's active values, their sum
// being `kept_sum`.
inline void finish_iteration(Search& row, std::size_t kept, double kept_sum, double t) {
  const bool kept_every_value = kept == row.active;
  row.active = kept;
  row.rest = kept_sum - t;
  if (kept_every_value || kept == 0) row.running = false;
}

// Rows are processed in groups of rows_in_flight, whose sums (each a chain
// of dependent additions in its own order) run side by side.
constexpr std::size_t rows_in_flight = 8;

// Iterations two and on of a group of rows whose active values stand in their
// slots: the rows advance in rounds, one iteration each.
template <class SlotsOf>
void continue_searches(SlotsOf slots_of, std::size_t group, Search* rows, double t) {
  for (;;) {
    std::size_t live[rows_in_flight], kept[rows_in_flight];
    std::size_t lives = 0;
    for (std::size_t r = 0; r < group; ++r) {
      if (!start_iteration(rows[r])) continue;
      // Compaction without branches: every value is written at the next
      // free slot, which only advances past kept values.  That slot is never
      // ahead of the value being read, and slots past the kept ones are
      // scratch.
      const auto p = slots_of(r);
      const double theta = rows[r].theta;
      std::size_t k = 0;
      for (std::size_t j = 0; j < rows[r].active; ++j) {
        const double value = p[j];
        p[k] = value;
        k += value >= theta ? 1 : 0;
      }
      kept[lives] = k;
      live[lives++] = r;
    }
    if (lives == 0) return;

    double kept_sum[rows_in_flight] = {};
    std::size_t common = kept[0];
    for (std::size_t l = 1; l < lives; ++l) common = kept[l] < common ? kept[l] : common;
    for (std::size_t j = 0; j < common; ++j)
      for (std::size_t l = 0; l < lives; ++l) kept_sum[l] = kept_sum[l] + slots_of(live[l])[j];
    for (std::size_t l = 0; l < lives; ++l) {
      const auto p = slots_of(live[l]);
      for (std::size_t j = common; j < kept[l]; ++j) kept_sum[l] = kept_sum[l] + p[j];
      finish_iteration(rows[live[l]], kept[l], kept_sum[l], t);
    }
  }
}

// The threshold searches of rows first ... first + rows - 1, whose slots
// slots_of(r) gives.  Two passes over the block's part of X, in column tiles
// that stay in cache while the rows read their runs of them: the first sums
// each row's absolute values; the second runs each row's first iteration
// straight from X, writing only into its slots, so the absolute values are
// never stored and read back.  Adding 0.0 for a value that is not kept
// leaves the kept sum's bits as they are (that sum is never -0.0), so it runs
// without branches.
template <class SlotsOf>
void search_block(const double* X, std::size_t first, std::size_t rows, std::size_t m, std::size_t n, double t,
                  SlotsOf slots_of, Search* search) {
  constexpr std::size_t tile_columns = 32;
  const auto for_each_tile = [&](auto&& visit_group) {
    for (std::size_t first_column = 0; first_column < n; first_column += tile_columns) {
      const std::size_t last_column = n - first_column < tile_columns ? n : first_column + tile_columns;
      for (std::size_t r0 = 0; r0 < rows; r0 += rows_in_flight)
        visit_group(r0, rows - r0 < rows_in_flight ? rows - r0 : rows_in_flight, first_column, last_column);
    }
  };

  double sum[block_rows] = {};
  for_each_tile([&](std::size_t r0, std::size_t group, std::size_t from, std::size_t to) {
    double s[rows_in_flight];
    for (std::size_t r = 0; r < group; ++r) s[r] = sum[r0 + r];
    for (std::size_t j = from; j < to; ++j) {
      const double* x = X + first + r0 + j * m;
      for (std::size_t r = 0; r < group; ++r) s[r] = s[r] + std::fabs(x[r]);
    }
    for (std::size_t r = 0; r < group; ++r) sum[r0 + r] = s[r];
  });

  bool first_iteration[block_rows];
  for (std::size_t r = 0; r < rows; ++r) {
    // A row inside the ball (t >= its sum) runs no iteration; a NaN sum
    // fails that test and then the loop's.
    const bool outside = !(t >= sum[r]);
    search[r] = {sum[r] - t, n, 0.0, 0.0, outside, outside};
    first_iteration[r] = start_iteration(search[r]);
  }

  std::size_t kept[block_rows] = {};
  double kept_sum[block_rows] = {};
  for_each_tile([&](std::size_t r0, std::size_t group, std::size_t from, std::size_t to) {
    for (std::size_t r = r0; r < r0 + group; ++r) {
      if (!first_iteration[r]) continue;
      const auto p = slots_of(r);
      const double* x = X + first + r;
      const double theta = search[r].theta;
      std::size_t k = kept[r];
      double s = kept_sum[r];
      for (std::size_t j = from; j < to; ++j) {
        const double value = std::fabs(x[j * m]);
        p[k] = value;
        const bool keep = value >= theta;
        k += keep ? 1 : 0;
        s = s + (keep ? value : 0.0);
      }
      kept[r] = k;
      kept_sum[r] = s;
    }
  });
  for (std::size_t r = 0; r < rows; ++r)
    if (first_iteration[r]) finish_iteration(search[r], kept[r], kept_sum[r], t);

  for (std::size_t r0 = 0; r0 < rows; r0 += rows_in_flight)
    continue_searches([=](std::size_t r) { return slots_of(r0 + r); },
                      rows - r0 < rows_in_flight ? rows - r0 : rows_in_flight, search + r0, t);
}

void project_block(double* P, double* theta, double* iterations, const double* X, std::size_t first,
                   std::size_t rows, std::size_t m, std::size_t n, double t) {
  Search search[block_rows];
  double* block = P + first;
  if (rows == block_rows)
    search_block(X, first, rows, m, n, t, [=](std::size_t r) { return BlockSlots(block, m, r * n); }, search);
  else
    search_block(X, first, rows, m, n, t, [=](std::size_t r) { return RowSlots(block + r, m); }, search);

  for (std::size_t r = 0; r < rows; ++r) {
    if (theta != nullptr) theta[first + r] = search[r].theta;
    if (iterations != nullptr) iterations[first + r] = search[r].count;
  }
  // The projection, column by column.  Both candidates are computed and then
  // selected, from plain per-row arrays, so that the compiler may run the
  // rows of a column side by side.
  double threshold[block_rows];
  bool outside[block_rows];
  for (std::size_t r = 0; r < rows; ++r) {
    threshold[r] = search[r].theta;
    outside[r] = search[r].outside;
  }
  for (std::size_t j = 0; j < n; ++j) {
    const double* x = X + first + j * m;
    double* p = block + j * m;
    for (std::size_t r = 0; r < rows; ++r) {
      const double value = x[r], theta = threshold[r];
      const double down = value - theta, up = value + theta;
      const double shrunk = value > theta ? down : value < -theta ? up : 0.0;
      p[r] = outside[r] ? shrunk : value;
    }
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
