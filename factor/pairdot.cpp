#include "factor/pairdot.h"

#include "core/lanes.h"
#include "core/nan_rule.h"

namespace proxkit {

bool pairdot_entries_in_range(const double* entries, std::size_t count, std::size_t r, std::size_t size) {
  if (r > size) return false;
  const double rank = static_cast<double>(r);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t offset = pairdot_offset(entries[k], rank);
    if (offset == no_offset || offset > size - r) return false;
  }
  return true;
}

namespace detail {

// Inner products run in groups of eight positions (or, with lanes L wider
// than that, of one vector's width): each product is a chain of r dependent
// additions, and the chains of a group, being independent, run side by side,
// each in its own lane and order.  The columns of the next group are fetched
// while the current one is summed.
constexpr std::size_t pairdot_group = 8;
template <class L>
constexpr std::size_t group_of = L::width > pairdot_group ? L::width : pairdot_group;

// The columns of the group of positions at iR, iC: the first `live` ones,
// then the first position's again, so that every lane of a last, partial
// group reads inside the factors.
template <std::size_t group, class T>
inline void group_columns(const T* Ut, const T* V, const double* iR, const double* iC, double rank,
                          std::size_t live, const T** u, const T** v) {
  for (std::size_t j = 0; j < group; ++j) {
    u[j] = Ut + pairdot_offset(iR[j < live ? j : 0], rank);
    v[j] = V + pairdot_offset(iC[j < live ? j : 0], rank);
  }
}

// Asks for the first cache line of each column of the group of positions
// at iR, iC, one group ahead of its use.  (Asking for every line of them, or
// two groups ahead, measured slower: the hints cost more than they save.)
template <std::size_t group, class T>
inline void prefetch_group(const T* Ut, const T* V, const double* iR, const double* iC, double rank) {
  for (std::size_t j = 0; j < group; ++j) {
    lanes::Scalar<T>::prefetch(Ut + pairdot_offset(iR[j], rank));
    lanes::Scalar<T>::prefetch(V + pairdot_offset(iC[j], rank));
  }
}

// The inner product of a position whose sum is NaN, formed again with the
// NaNs of the stated loop, sum = sum + V[b + t]*U'[a + t] (core/nan_rule.h):
// once the sum is NaN it keeps its NaN, and a product of two NaNs is V's.
// Until then at most one operand of each addition is NaN, so the order of
// the other additions does not matter.  Every set forms its sums in
// whichever operand order the compiler picks, so each NaN sum, rare, is
// named again here.
template <class T>
inline T nan_sum(const T* v, const T* u, std::size_t r) {
  T sum = 0;
  for (std::size_t t = 0; t < r && sum == sum; ++t) sum = sum + product_in_order(v[t], u[t]);
  return sum;
}

}  // namespace detail

}  // namespace proxkit

#define PROXKIT_PER_SET "factor/pairdot_groups.h"
#include "core/for_each_set.h"

namespace proxkit {

void pairdot(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             double* out) {
  on_chosen_set([&](auto set) { pairdot_groups(set, Ut, V, r, iR, iC, L, out); });
}

void pairdot(const float* Ut, const float* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             float* out) {
  on_chosen_set([&](auto set) { pairdot_groups(set, Ut, V, r, iR, iC, L, out); });
}

}  // namespace proxkit
