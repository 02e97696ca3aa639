// The row-wise l1-ball projection on one instruction set, written once over
// a set of lane operations.  rowball.cpp includes this file once per
// instruction set, inside that set's namespace, after defining there:
//   Lanes            the lane operations of the set (see OneLane in rowball.cpp)
//   groups_in_flight how many vectors of rows run side by side
//   PROXKIT_PATH_TARGET  the target attribute of every function below
// It has no include guard on purpose.
//
// Each lane of a vector carries one row; one column of a group of rows is
// one vector, since X is column-major.  Every lane therefore adds its own
// row's values in ascending column order, alone: the bits of the plain
// row-by-row loop, by construction.
//
// The active set after iteration k is exactly the set of values that are >=
// every threshold so far: the compaction keeps, in order, the values >= the
// newest threshold among those that survived the earlier ones.  So a lane
// needs no list of its own: an iteration may read all of X's row and keep
// the values >= the highest threshold so far, or read a shorter list of
// columns in which a value no longer active is NaN (no threshold ever keeps
// a NaN), written by an earlier iteration that dropped the columns where no
// lane of the group was active any more.  The list of group g lies in the
// group's own rows of P: slot s at column s.  A column is only ever written
// at a slot the pass has already read.

// The group-g vector of column `column` in a column-major array of m rows
// whose rows `first` ... belong to the block.
template <class L>
PROXKIT_PATH_TARGET PROXKIT_LANE std::size_t group_offset(std::size_t first, std::size_t g, std::size_t column,
                                                          std::size_t m) {
  return first + g * L::width + column * m;
}

// One iteration for every row of the block whose search runs it
// (`iterating`): keeps, in each lane, the values of `count` columns of `from`
// that are >= the lane's floor, the highest of its thresholds so far, in
// order, counting and summing them (a lane that does not iterate keeps
// nothing).  Returns how many columns some lane keeps.  With `compact`, it
// also writes the group lists of those columns into `to` (which may be
// `from`), with NaN for the values no longer active, padded with NaN columns
// to a common length, that count.
template <class L, std::size_t groups, bool compact>
PROXKIT_PATH_TARGET std::size_t keep_at_least_floors(const double* from, double* to, std::size_t first, std::size_t m,
                                                      std::size_t count, const double* floor_of_row, Search* search,
                                                      const bool* iterating, double t) {
  using Values = typename L::Values;
  using Mask = typename L::Mask;
  using Counts = typename L::Counts;
  constexpr std::size_t rows = groups * L::width;
  const double nan = std::numeric_limits<double>::quiet_NaN();

  Values floor[groups], kept_sum[groups];
  Counts kept[groups];
  std::size_t length[groups];
  const Values dropped = L::splat(nan);
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    floor[g] = L::load(floor_of_row + g * L::width);
    kept_sum[g] = L::splat(0.0);
    kept[g] = L::no_counts();
    length[g] = 0;
  }
  for (std::size_t s = 0; s < count; ++s) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const Values value = L::abs(L::load(from + group_offset<L>(first, g, s, m)));
      const Mask keep = L::at_least(value, floor[g]);
      kept_sum[g] = L::add_kept(kept_sum[g], keep, value);
      kept[g] = L::count_kept(kept[g], keep);
      // Written at the list's next free slot whatever it holds; the slot
      // only advances past a column that some lane keeps.
      if (compact) L::store(to + group_offset<L>(first, g, length[g], m), L::select(keep, value, dropped));
      length[g] += L::any(keep) ? 1 : 0;
    }
  }

  std::size_t longest = 0;
  for (std::size_t g = 0; g < groups; ++g) longest = length[g] > longest ? length[g] : longest;
  if (compact)
    for (std::size_t g = 0; g < groups; ++g)
      for (std::size_t s = length[g]; s < longest; ++s) L::store(to + group_offset<L>(first, g, s, m), dropped);

  double sum_of_row[rows];
  std::uint64_t count_of_row[rows];
  for (std::size_t g = 0; g < groups; ++g) {
    L::store(sum_of_row + g * L::width, kept_sum[g]);
    L::store_counts(count_of_row + g * L::width, kept[g]);
  }
  for (std::size_t r = 0; r < rows; ++r)
    if (iterating[r]) finish_iteration(search[r], static_cast<std::size_t>(count_of_row[r]), sum_of_row[r], t);
  return longest;
}

// The first pass reads the block's part of X from memory, one short run per
// column, too far apart for the processor to foresee; it asks for the next
// block's runs of X and P (`next`, when that block exists), so that they
// arrive while this block iterates in cache.
template <class L, std::size_t groups>
PROXKIT_PATH_TARGET void project_rows(double* P, double* theta, double* iterations, const double* X, std::size_t first,
                                      std::size_t m, std::size_t n, double t, bool prefetch_next) {
  using Values = typename L::Values;
  using Mask = typename L::Mask;
  constexpr std::size_t rows = groups * L::width;
  constexpr std::size_t doubles_per_line = 8;

  Values sum[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) sum[g] = L::splat(0.0);
  for (std::size_t j = 0; j < n; ++j) {
    if (prefetch_next) {
      const std::size_t next = first + rows + j * m;
      PROXKIT_UNROLL
      for (std::size_t r = 0; r < rows; r += doubles_per_line) {
        L::prefetch(X + next + r);
        L::prefetch(P + next + r);
      }
      L::prefetch(X + next + rows - 1);
      L::prefetch(P + next + rows - 1);
    }
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g)
      sum[g] = L::add(sum[g], L::abs(L::load(X + group_offset<L>(first, g, j, m))));
  }
  double sum_of_row[rows];
  for (std::size_t g = 0; g < groups; ++g) L::store(sum_of_row + g * L::width, sum[g]);

  Search search[rows];
  bool iterating[rows];
  bool any_iterating = false;
  for (std::size_t r = 0; r < rows; ++r) {
    // A row inside the ball (t >= its sum) runs no iteration; a NaN sum
    // fails that test and then the loop's.
    const bool outside = !(t >= sum_of_row[r]);
    search[r] = {sum_of_row[r] - t, n, 0.0, 0.0, outside, outside};
    iterating[r] = start_iteration(search[r]);
    any_iterating = any_iterating || iterating[r];
  }
  // The iterations read X until one would drop enough columns to be worth
  // writing the shorter lists into P (writing costs more than reading);
  // from then on they read and shorten those lists.  Which ones write
  // changes the work only: each reads exactly the values still active.
  constexpr double worth_writing = 0.9;
  const double* from = X;
  std::size_t length = n;
  bool compact = false;
  double floor_of_row[rows];
  for (std::size_t r = 0; r < rows; ++r) floor_of_row[r] = -std::numeric_limits<double>::infinity();
  while (any_iterating) {
    // The lanes that do not iterate keep nothing: no value is >= NaN.
    double floor_now[rows];
    for (std::size_t r = 0; r < rows; ++r) {
      if (iterating[r] && search[r].theta > floor_of_row[r]) floor_of_row[r] = search[r].theta;
      floor_now[r] = iterating[r] ? floor_of_row[r] : std::numeric_limits<double>::quiet_NaN();
    }
    std::size_t kept_columns;
    if (compact) {
      kept_columns = keep_at_least_floors<L, groups, true>(from, P, first, m, length, floor_now, search, iterating, t);
      from = P;
      length = kept_columns;
    } else {
      kept_columns = keep_at_least_floors<L, groups, false>(from, P, first, m, length, floor_now, search, iterating, t);
    }
    compact = static_cast<double>(kept_columns) < worth_writing * static_cast<double>(length);
    any_iterating = false;
    for (std::size_t r = 0; r < rows; ++r) {
      iterating[r] = start_iteration(search[r]);
      any_iterating = any_iterating || iterating[r];
    }
  }

  double threshold[rows], below[rows], projected[rows];
  for (std::size_t r = 0; r < rows; ++r) {
    threshold[r] = search[r].theta;
    below[r] = -search[r].theta;
    projected[r] = search[r].outside ? 1.0 : 0.0;
    if (theta != nullptr) theta[first + r] = search[r].theta;
    if (iterations != nullptr) iterations[first + r] = search[r].count;
  }
  Values up[groups], down[groups];
  Mask outside[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    up[g] = L::load(threshold + g * L::width);
    down[g] = L::load(below + g * L::width);
    outside[g] = L::greater(L::load(projected + g * L::width), L::splat(0.0));
  }
  const Values zero = L::splat(0.0);
  for (std::size_t j = 0; j < n; ++j) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const std::size_t at = group_offset<L>(first, g, j, m);
      const Values x = L::load(X + at);
      // x - theta above theta, x + theta below -theta, else 0.0; a row
      // inside the ball is copied as it is.
      const Values shrunk = L::select(L::greater(x, up[g]), L::sub(x, up[g]),
                                      L::select(L::less(x, down[g]), L::add(x, up[g]), zero));
      L::store(P + at, L::select(outside[g], shrunk, x));
    }
  }
}

// Every row of X.  Rows go in blocks of groups_in_flight vectors; the rows
// left over after the last full block are projected again as a block that
// ends at the last row: rows are independent, so a row projected twice gets
// the same bits twice, and its row of P is only its own scratch meanwhile.
// A matrix with fewer rows than a block goes by single vectors the same way,
// and one with fewer rows than a vector row by row.
PROXKIT_PATH_TARGET void project_all_rows(double* P, double* theta, double* iterations, const double* X,
                                          std::size_t m, std::size_t n, double t) {
  constexpr std::size_t block = groups_in_flight * Lanes::width;
  if (m >= block) {
    for (std::size_t first = 0; first < m; first += block)
      project_rows<Lanes, groups_in_flight>(P, theta, iterations, X, first + block <= m ? first : m - block, m, n, t,
                                            first + 2 * block <= m);
  } else if (m >= Lanes::width) {
    for (std::size_t first = 0; first < m; first += Lanes::width)
      project_rows<Lanes, 1>(P, theta, iterations, X, first + Lanes::width <= m ? first : m - Lanes::width, m, n,
                             t, false);
  } else {
    for (std::size_t first = 0; first < m; ++first)
      project_rows<OneLane, 1>(P, theta, iterations, X, first, m, n, t, false);
  }
}
