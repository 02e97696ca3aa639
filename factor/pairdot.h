#ifndef PROXKIT_PAIRDOT_H
#define PROXKIT_PAIRDOT_H

#include <cstddef>

namespace proxkit {

// Returned by pairdot_offset for an entry that names no storage offset.
inline constexpr std::size_t no_offset = static_cast<std::size_t>(-1);

// The storage offset at which the inner product for the 1-based entry starts
// in a factor of `rank` rows: (entry - 1)*rank computed in double and
// truncated toward zero, so a fractional entry starts inside a column.
// no_offset when that value truncates to no offset (at or below -1, NaN,
// infinite, or beyond the size type).
inline std::size_t pairdot_offset(double entry, double rank) {
  const double offset = (entry - 1.0) * rank;
  if (!(offset > -1.0 && offset < static_cast<double>(no_offset))) return no_offset;
  return offset < 1.0 ? 0 : static_cast<std::size_t>(offset);
}

// True when every one of the `count` entries starts an inner product of r
// values that lies inside a factor of `size` stored values, offsets being
// computed exactly as pairdot computes them.
bool pairdot_entries_in_range(const double* entries, std::size_t count, std::size_t r, std::size_t size);

// out[k] = (U*V)(iR[k], iC[k]) for k = 0 ... L-1, U' and V having r rows:
// the products V[b + t]*Ut[a + t] added in ascending t from 0.0, with a and b
// the offsets of iR[k] and iC[k].  Every entry must be in range for its
// factor (pairdot_entries_in_range).
// The float form sums the products in IEEE single from 0.0f; the entries and
// their offsets stay double.
void pairdot(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             double* out);
void pairdot(const float* Ut, const float* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             float* out);

}  // namespace proxkit

#endif
