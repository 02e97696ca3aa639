// The row-wise l1-ball projection, written once over the lanes of an
// instruction set and the value type T (double, or float for single), and
// compiled once per set (core/for_each_set.h).
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
static PROXKIT_TARGET PROXKIT_LANE std::size_t group_offset(std::size_t first, std::size_t g, std::size_t column,
                                                          std::size_t m) {
  return first + g * L::width + column * m;
}

// One iteration for every lane of the block: keeps, in each lane, the values
// of `count` columns of `from` that are >= the lane's floor, in order,
// counting and summing them (a lane whose floor is NaN keeps nothing).
// Returns how many columns some lane keeps.  With `compact`, it also writes
// the group lists of those columns into `to` (which may be `from`), with NaN
// for the values no longer active, padded with NaN columns to a common
// length, that count.
template <class L, std::size_t groups, bool compact, class T>
static PROXKIT_TARGET std::size_t keep_at_least_floors(const T* from, T* to, std::size_t first, std::size_t m,
                                                      std::size_t count, const typename L::Values* floor,
                                                      typename L::Values* kept_sum, typename L::Values* kept) {
  using Values = typename L::Values;
  using Mask = typename L::Mask;
  std::size_t length[groups];
  const Values dropped = L::splat(std::numeric_limits<T>::quiet_NaN());
  const Values one = L::splat(T(1));
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    kept_sum[g] = L::splat(T(0));
    kept[g] = L::splat(T(0));
    length[g] = 0;
  }
  for (std::size_t s = 0; s < count; ++s) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const Values value = L::abs(L::load(from + group_offset<L>(first, g, s, m)));
      const Mask keep = L::at_least(value, floor[g]);
      kept_sum[g] = L::add_kept(kept_sum[g], keep, value);
      kept[g] = L::add_kept(kept[g], keep, one);
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
  return longest;
}

// The first pass reads the block's part of X from memory, one short run per
// column, too far apart for the processor to foresee; it asks for the next
// block's runs of X and P (`prefetch_next`, when that block exists), so that
// they arrive while this block iterates in cache.
//
// Each lane's threshold search runs the loop
//   while |R - h*theta| > tolerance: theta = R/h; keep the active values >= theta,
//   in order; h = their count; R = their sum - t,
// which also ends after an iteration that keeps every active value (the next
// one would repeat it exactly, forever) or none (the next one would divide
// by an empty count); on every row where the plain loop ends by its test,
// both give the same bits.  Counts (h and c) are values of T, which count
// exactly up to 2^53 in double, beyond any n, and up to 2^24 in float:
// rowball.cpp sends longer rows of floats to a loop with integer counts.
template <class L, std::size_t groups, class T>
static PROXKIT_TARGET void project_rows(T* P, T* theta, T* iterations, const T* X, std::size_t first, std::size_t m,
                                      std::size_t n, T t, T tolerance, bool prefetch_next) {
  using Values = typename L::Values;
  using Mask = typename L::Mask;
  constexpr std::size_t rows = groups * L::width;
  constexpr std::size_t values_per_line = 64 / sizeof(T);
  const Values zero = L::splat(T(0)), radius = L::splat(t), tolerated = L::splat(tolerance);

  Values rest[groups], active[groups], threshold[groups], count[groups], floor[groups];
  Mask outside[groups], running[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) rest[g] = zero;
  for (std::size_t j = 0; j < n; ++j) {
    if (prefetch_next) {
      const std::size_t next = first + rows + j * m;
      PROXKIT_UNROLL
      for (std::size_t r = 0; r < rows; r += values_per_line) {
        L::prefetch(X + next + r);
        L::prefetch(P + next + r);
      }
      L::prefetch(X + next + rows - 1);
      L::prefetch(P + next + rows - 1);
    }
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g)
      rest[g] = L::add(rest[g], L::abs(L::load(X + group_offset<L>(first, g, j, m))));
  }
  bool any_running = false;
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    // A row inside the ball (t >= its sum) runs no iteration; a NaN sum
    // fails that test and then the loop's.
    outside[g] = L::mask_not(L::at_least(radius, rest[g]));
    running[g] = outside[g];
    rest[g] = L::sub(rest[g], radius);
    active[g] = L::splat(static_cast<T>(n));
    threshold[g] = zero;
    count[g] = zero;
    floor[g] = L::splat(-std::numeric_limits<T>::infinity());
    any_running = any_running || L::any(running[g]);
  }

  // The iterations read X until one would drop enough columns to be worth
  // writing the shorter lists into P (writing costs more than reading);
  // from then on they read and shorten those lists.  Which ones write
  // changes the work only: each reads exactly the values still active.
  constexpr double worth_writing = 0.9;
  const T* from = X;
  std::size_t length = n;
  bool compact = false;
  const Values nan = L::splat(std::numeric_limits<T>::quiet_NaN());
  while (any_running) {
    // Start an iteration in every lane whose loop test lets it; the others
    // keep nothing: no value is >= NaN.
    Values floor_now[groups], kept_sum[groups], kept[groups];
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const Values residue = L::abs(L::sub(rest[g], L::mul(active[g], threshold[g])));
      running[g] = L::mask_and(running[g], L::greater(residue, tolerated));
      count[g] = L::select(running[g], L::add(count[g], L::splat(T(1))), count[g]);
      threshold[g] = L::select(running[g], L::div(rest[g], active[g]), threshold[g]);
      floor[g] = L::select(L::mask_and(running[g], L::greater(threshold[g], floor[g])), threshold[g], floor[g]);
      floor_now[g] = L::select(running[g], floor[g], nan);
    }
    std::size_t kept_columns;
    if (compact) {
      kept_columns = keep_at_least_floors<L, groups, true>(from, P, first, m, length, floor_now, kept_sum, kept);
      from = P;
      length = kept_columns;
    } else {
      kept_columns = keep_at_least_floors<L, groups, false>(from, P, first, m, length, floor_now, kept_sum, kept);
    }
    compact = static_cast<double>(kept_columns) < worth_writing * static_cast<double>(length);
    any_running = false;
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const Mask every_or_none = L::mask_or(L::equal(kept[g], active[g]), L::equal(kept[g], zero));
      active[g] = L::select(running[g], kept[g], active[g]);
      rest[g] = L::select(running[g], L::sub(kept_sum[g], radius), rest[g]);
      running[g] = L::mask_and_not(running[g], every_or_none);
      any_running = any_running || L::any(running[g]);
    }
  }

  T row_values[rows];
  if (theta != nullptr) {
    for (std::size_t g = 0; g < groups; ++g) L::store(row_values + g * L::width, threshold[g]);
    for (std::size_t r = 0; r < rows; ++r) theta[first + r] = row_values[r];
  }
  if (iterations != nullptr) {
    for (std::size_t g = 0; g < groups; ++g) L::store(row_values + g * L::width, count[g]);
    for (std::size_t r = 0; r < rows; ++r) iterations[first + r] = row_values[r];
  }
  Values below[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) below[g] = L::sub(zero, threshold[g]);
  for (std::size_t j = 0; j < n; ++j) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      const std::size_t at = group_offset<L>(first, g, j, m);
      const Values x = L::load(X + at);
      // x - theta above theta, x + theta below -theta, else 0.0; a row
      // inside the ball is copied as it is.
      const Values shrunk = L::select(L::greater(x, threshold[g]), L::sub(x, threshold[g]),
                                      L::select(L::less(x, below[g]), L::add(x, threshold[g]), zero));
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
template <class T>
static PROXKIT_TARGET void project_all_rows(Set, T* P, T* theta, T* iterations, const T* X, std::size_t m,
                                            std::size_t n, T t, T tolerance) {
  using Lanes = ValueLanes<T>;
  constexpr std::size_t groups = detail::groups_in_flight, block = groups * Lanes::width;
  if (m >= block) {
    for (std::size_t first = 0; first < m; first += block)
      project_rows<Lanes, groups>(P, theta, iterations, X, first + block <= m ? first : m - block, m, n, t,
                                  tolerance, first + 2 * block <= m);
  } else if (m >= Lanes::width) {
    for (std::size_t first = 0; first < m; first += Lanes::width)
      project_rows<Lanes, 1>(P, theta, iterations, X, first + Lanes::width <= m ? first : m - Lanes::width, m, n,
                             t, tolerance, false);
  } else {
    for (std::size_t first = 0; first < m; ++first)
      project_rows<lanes::Scalar<T>, 1>(P, theta, iterations, X, first, m, n, t, tolerance, false);
  }
}
