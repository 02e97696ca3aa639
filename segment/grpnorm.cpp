#include "segment/grpnorm.h"

#include "segment/segment_norm.h"

#define PROXKIT_PER_SET "segment/segment_walk.h"
#include "core/for_each_set.h"

namespace proxkit {

namespace {
// The running total, once per segment in table order: one chain, whichever
// set formed the norms.
template <class T>
struct Total {
  T total = 0;
  void operator()(Segment, T norm) { total = norm + total; }
};

// A NaN total as the plain loop forms it: norm + total keeps the norm's NaN
// where both are NaN (core/nan_rule.h), and norms are never negative, so the
// total is the NaN norm of the last segment that has one.  The chain above
// adds in whichever operand order the compiler picks; a NaN total, rare, is
// named again here.
template <class T>
T nan_total(const T* vect, std::size_t n, SegmentTable table, T total) {
  for (std::size_t k = table.count; k > 1; --k) {
    const Segment segment = segment_range(table.bounds[k - 2], table.bounds[k - 1], n);
    const T norm = detail::nan_norm(vect, segment, T{0});
    if (norm != norm) return norm;
  }
  return total;
}

template <class T>
T total_of_norms(const T* vect, std::size_t n, SegmentTable table) {
  Total<T> sum;
  on_chosen_set([&](auto set) { for_each_segment_norm(set, vect, n, table, sum); });
  return sum.total == sum.total ? sum.total : nan_total(vect, n, table, sum.total);
}
}  // namespace

double grpnorm(const double* vect, std::size_t n, SegmentTable table) { return total_of_norms(vect, n, table); }

float grpnorm(const float* vect, std::size_t n, SegmentTable table) { return total_of_norms(vect, n, table); }

}  // namespace proxkit
