// The segment walk and the element-wise passes of the segment kernels,
// written once over the lanes of an instruction set, for values of either
// class (T, double or float: ValueLanes<T>), and compiled once per set
// (core/for_each_set.h; needs segment/segment_norm.h before it).
//
// A batch of segments (detail::batch_of: eight, or a vector's width of
// floats where that is more) is summed in batch / width vectors, each
// segment in its own lane, each lane adding its own squares in ascending
// position from 0, so every norm is the one the plain loop gives; square
// roots are taken lane-wise.  A vector's width of consecutive values is
// loaded from each segment of a vector's lanes, and the rows are transposed
// in registers so that one vector holds the same position of each of them.  Where a segment has fewer values
// left than a vector holds, the rest of its row is +0, read from nowhere:
// a square sum is never -0, so adding +0 leaves its bits as they are, and
// the finished lanes need no mask.  A lane far longer than the others
// finishes alone, as a plain chain.
//
// The norms are taken from vect before any segment of the batch is visited
// (a visit may write results but must not change vect), and the visits run
// in table order, so overlapping and decreasing tables keep their meaning.

// segment_range of the segments that start at bounds[0] ... bounds[7], for
// a vector shorter than 2^52 (lanes::whole_shift), formed lane-wise: each
// comparison is the one segment_range makes, in double; a start from 1 up
// is rounded down and an end below n up, both exact there; and only whole
// numbers from 0 to n are converted.
static PROXKIT_TARGET inline void batch_ranges(Set, const double* bounds, std::size_t n, std::size_t* begin,
                                               std::size_t* end) {
  using L = Lanes;
  const L::Values zero = L::splat(0.0), one = L::splat(1.0), length = L::splat(static_cast<double>(n));
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < detail::norm_batch; g += L::width) {
    const L::Values first = L::load(bounds + g), last = L::load(bounds + g + 1);
    const L::Values e =
        L::select(L::greater(last, zero), L::select(L::at_least(last, length), length, L::round_up(last)), zero);
    L::Values b = L::select(L::at_least(first, one), L::round_down(first), zero);
    b = L::select(L::less(first, length), L::select(L::less(b, e), b, e), e);
    const L::Mask named = L::greater(first, L::splat(-1.0));
    L::store_indices(begin + g, L::select(named, b, zero));
    L::store_indices(end + g, L::select(named, e, zero));
  }
}

// The norms of a full batch, norms[j] for the segment [begin[j], end[j]);
// false when some norm is NaN.
template <class T>
static PROXKIT_TARGET PROXKIT_LANE bool batch_norms(Set, const T* vect, const std::size_t* begin,
                                                    const std::size_t* end, T* norms) {
  using L = ValueLanes<T>;
  constexpr std::size_t w = L::width, batch = detail::batch_of<L>, groups = batch / L::width;
  std::size_t shortest = end[0] - begin[0], longest = shortest;
  for (std::size_t j = 1; j < batch; ++j) {
    const std::size_t length = end[j] - begin[j];
    shortest = length < shortest ? length : shortest;
    longest = length > longest ? length : longest;
  }
  typename L::Values squares[groups];
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) squares[g] = L::splat(T{0});
  std::size_t i = 0;
  for (; i + w <= shortest; i += w) {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) {
      typename L::Values r[w];
      for (std::size_t j = 0; j < w; ++j) r[j] = L::load(vect + begin[g * w + j] + i);
      L::transpose(r);
      for (std::size_t t = 0; t < w; ++t) squares[g] = L::add(squares[g], L::mul(r[t], r[t]));
    }
  }
  if (longest - i <= detail::rest_limit) {
    for (; i < longest; i += w) {
      PROXKIT_UNROLL
      for (std::size_t g = 0; g < groups; ++g) {
        typename L::Values r[w];
        for (std::size_t j = 0; j < w; ++j) {
          // A segment with nothing left reads nothing and forms no pointer
          // past its end.
          const std::size_t length = end[g * w + j] - begin[g * w + j], left = length > i ? length - i : 0;
          r[j] = L::load_first(vect + begin[g * w + j] + (left > 0 ? i : 0), left < w ? left : w);
        }
        L::transpose(r);
        // The rows past the longest segment's end are +0 and change nothing;
        // leaving them out shortens the chain of additions.
        for (std::size_t t = 0; t < w && i + t < longest; ++t) squares[g] = L::add(squares[g], L::mul(r[t], r[t]));
      }
    }
  } else {
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) L::store(norms + g * w, squares[g]);
    for (std::size_t j = 0; j < batch; ++j) norms[j] = detail::squares_from(vect, begin[j] + i, end[j], norms[j]);
    PROXKIT_UNROLL
    for (std::size_t g = 0; g < groups; ++g) squares[g] = L::load(norms + g * w);
  }
  typename L::Mask numbers = L::equal(squares[0], squares[0]);
  PROXKIT_UNROLL
  for (std::size_t g = 0; g < groups; ++g) {
    L::store(norms + g * w, L::sqrt(squares[g]));
    numbers = L::mask_and(numbers, L::equal(squares[g], squares[g]));
  }
  return !L::any(L::mask_not(numbers));
}

// Calls visit(Segment, norm) for every segment in table order.  A batch is
// visited once the norms of the next one are formed, so that its visits
// (grpnorm's chain of additions, the scaling passes) overlap the next
// batch's sums and square roots.
template <class T, class Visit>
static PROXKIT_TARGET void for_each_segment_norm(Set set, const T* vect, std::size_t n, SegmentTable table,
                                                 Visit& visit) {
  constexpr std::size_t batch = detail::batch_of<ValueLanes<T>>;
  // Vectors of 2^52 elements or more, which no memory holds today, go one
  // segment at a time (batch_ranges is exact below that).
  const std::size_t segments =
      table.count > 1 && static_cast<double>(n) < lanes::whole_shift ? table.count - 1 : 0;
  alignas(64) std::size_t begin[2][batch], end[2][batch];
  alignas(64) T norms[2][batch];
  std::size_t k = 0;
  for (; k + batch <= segments; k += batch) {
    const std::size_t current = k / batch % 2, previous = 1 - current;
    for (std::size_t g = 0; g < batch; g += detail::norm_batch)
      batch_ranges(set, table.bounds + k + g, n, begin[current] + g, end[current] + g);
    if (!batch_norms(set, vect, begin[current], end[current], norms[current]))
      for (std::size_t j = 0; j < batch; ++j)
        if (norms[current][j] != norms[current][j])
          norms[current][j] = detail::nan_norm(vect, Segment{begin[current][j], end[current][j]}, norms[current][j]);
    if (k > 0)
      for (std::size_t j = 0; j < batch; ++j) visit(Segment{begin[previous][j], end[previous][j]}, norms[previous][j]);
  }
  if (k > 0) {
    const std::size_t last = (k / batch - 1) % 2;
    for (std::size_t j = 0; j < batch; ++j) visit(Segment{begin[last][j], end[last][j]}, norms[last][j]);
  }
  detail::visit_rest(vect, n, table, k, visit);
}

// The element-wise passes over one segment, a vector at a time, the last
// few elements in the low lanes of one more.
template <class T>
static PROXKIT_TARGET inline void scale(Set, const T* from, T* to, std::size_t count, T factor) {
  using L = ValueLanes<T>;
  const typename L::Values f = L::splat(factor);
  std::size_t i = 0;
  for (; i + L::width <= count; i += L::width) L::store(to + i, L::mul(f, L::load(from + i)));
  if (i < count) L::store_first(to + i, count - i, L::mul(f, L::load_first(from + i, count - i)));
}

// The lanes past the last element divide 0 by the divisor and are not
// stored.
template <class T>
static PROXKIT_TARGET inline void divide(Set, const T* from, T* to, std::size_t count, T divisor) {
  using L = ValueLanes<T>;
  const typename L::Values d = L::splat(divisor);
  std::size_t i = 0;
  for (; i + L::width <= count; i += L::width) L::store(to + i, L::div(L::load(from + i), d));
  if (i < count) L::store_first(to + i, count - i, L::div(L::load_first(from + i, count - i), d));
}

template <class T>
static PROXKIT_TARGET inline void fill(Set, T* to, std::size_t count, T value) {
  using L = ValueLanes<T>;
  const typename L::Values v = L::splat(value);
  std::size_t i = 0;
  for (; i + L::width <= count; i += L::width) L::store(to + i, v);
  if (i < count) L::store_first(to + i, count - i, v);
}

