// Every operation of a set's lanes on values of type T, applied to width
// values a[j], b[j] and written out lane by lane, so that a test compares
// each lane with the scalar operation (a per-set header, compiled by
// core/for_each_set.h as the kernels' are; needs lane_op_count before it).
// Masks come out as 1 or 0.
// out holds lane_op_count rows of width values; exact holds count values
// and nothing more, for load_first; rows holds width * width values,
// transposed in place; first is a row of width values plus one guard on each
// side, which store_first must not touch.

template <class L>
static PROXKIT_TARGET PROXKIT_LANE typename L::Values truth(typename L::Mask m) {
  return L::select(m, L::splat(1), L::splat(0));
}

template <class T>
static PROXKIT_TARGET void lane_ops(Set, const T* a, const T* b, const T* exact, std::size_t count, T* out,
                                    T* rows, T* first, bool* some) {
  using L = ValueLanes<T>;
  constexpr std::size_t w = L::width;
  const typename L::Values x = L::load(a), y = L::load(b), zero = L::splat(T{0});
  const typename L::Values results[lane_op_count] = {
      L::add(x, y),     L::sub(x, y),          L::mul(x, y),
      L::div(x, y),     L::sqrt(L::abs(x)),    L::abs(x),
      truth<L>(L::at_least(x, y)), truth<L>(L::greater(x, y)), truth<L>(L::less(x, y)),
      truth<L>(L::equal(x, y)),    truth<L>(L::mask_not(L::less(x, y))),
      truth<L>(L::mask_and(L::at_least(x, y), L::at_least(y, zero))),
      truth<L>(L::mask_or(L::greater(x, y), L::less(y, zero))),
      truth<L>(L::mask_and_not(L::at_least(x, y), L::less(y, zero))),
      L::select(L::greater(x, y), x, y), L::add_kept(L::abs(x), L::less(x, y), y),
      L::load_first(exact, count), L::mul(x, L::splat(b[0]))};
  for (std::size_t op = 0; op < lane_op_count; ++op) L::store(out + op * w, results[op]);
  *some = L::any(L::greater(x, y));
  typename L::Values r[w];
  for (std::size_t j = 0; j < w; ++j) r[j] = L::load(rows + j * w);
  L::transpose(r);
  for (std::size_t j = 0; j < w; ++j) L::store(rows + j * w, r[j]);
  L::store_first(first + 1, count, x);
}

template <class T>
static PROXKIT_TARGET std::size_t lane_width(Set, T) {
  return ValueLanes<T>::width;
}
