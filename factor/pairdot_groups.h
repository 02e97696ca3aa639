// pairdot's groups of positions, written once over the lanes of an
// instruction set, for values of either class (T, double or float:
// ValueLanes<T>), and compiled once per set (core/for_each_set.h; needs the
// helpers of factor/pairdot.cpp before it).
//
// One lane per position: lane j sums the products of position j of the
// group in ascending t from 0.  Each position's products are formed from
// its two columns a vector of t at a time and transposed, so that one vector
// holds product t of every position of its lanes (gathers, which would read
// the columns lane by lane, run slower than plain loads on processors such
// as this project's AMD test machines).  Past the last t a column's values
// are +0, read from nowhere.

// sums[j] = the inner product of the columns u[j] and v[j] of r values;
// false when some sum is NaN.
template <class T>
static PROXKIT_TARGET PROXKIT_LANE bool group_sums(Set, const T* const* u, const T* const* v, std::size_t r, T* sums) {
  using L = ValueLanes<T>;
  constexpr std::size_t w = L::width, groups = detail::group_of<L> / L::width;
  typename L::Values sum[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) sum[g] = L::splat(T{0});
  std::size_t t0 = 0;
  for (; t0 + w <= r; t0 += w) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      typename L::Values product[w];
      for (std::size_t j = 0; j < w; ++j) product[j] = L::mul(L::load(v[g * w + j] + t0), L::load(u[g * w + j] + t0));
      L::transpose(product);
      for (std::size_t t = 0; t < w; ++t) sum[g] = L::add(sum[g], product[t]);
    }
  }
  if (t0 < r) {
    const std::size_t steps = r - t0;
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      typename L::Values product[w];
      for (std::size_t j = 0; j < w; ++j)
        product[j] = L::mul(L::load_first(v[g * w + j] + t0, steps), L::load_first(u[g * w + j] + t0, steps));
      L::transpose(product);
      // The products past the last t are +0 and change nothing; leaving
      // them out shortens the chain of additions.
      for (std::size_t t = 0; t < w && t < steps; ++t) sum[g] = L::add(sum[g], product[t]);
    }
  }
  typename L::Mask numbers = L::equal(sum[0], sum[0]);
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    L::store(sums + g * w, sum[g]);
    numbers = L::mask_and(numbers, L::equal(sum[g], sum[g]));
  }
  return !L::any(L::mask_not(numbers));
}

// Every position, a group at a time; the last, partial group is summed as a
// full one whose extra lanes repeat its first position, and only its live
// sums are written.  A NaN sum is formed again by detail::nan_sum.
template <class T>
static PROXKIT_TARGET void pairdot_groups(Set set, const T* Ut, const T* V, std::size_t r, const double* iR,
                                          const double* iC, std::size_t L, T* out) {
  constexpr std::size_t group = detail::group_of<ValueLanes<T>>;
  const double rank = static_cast<double>(r);
  const T* u[group];
  const T* v[group];
  std::size_t k = 0;
  for (; k + group <= L; k += group) {
    if (k + 2 * group <= L) detail::prefetch_group<group>(Ut, V, iR + k + group, iC + k + group, rank);
    detail::group_columns<group>(Ut, V, iR + k, iC + k, rank, group, u, v);
    if (!group_sums(set, u, v, r, out + k))
      for (std::size_t j = 0; j < group; ++j)
        if (out[k + j] != out[k + j]) out[k + j] = detail::nan_sum(v[j], u[j], r);
  }
  if (k < L) {
    const std::size_t live = L - k;
    detail::group_columns<group>(Ut, V, iR + k, iC + k, rank, live, u, v);
    T sums[group];
    group_sums(set, u, v, r, sums);
    for (std::size_t j = 0; j < live; ++j) out[k + j] = sums[j] == sums[j] ? sums[j] : detail::nan_sum(v[j], u[j], r);
  }
}

