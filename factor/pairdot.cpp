#include "factor/pairdot.h"

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

namespace {

// Asks for the cache line at p ahead of its use; a hint only.
inline void prefetch(const double* p) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// Inner products run in groups of `lanes` positions: each product is a chain
// of r dependent additions, and the chains of a group, being independent, run
// side by side, each in its own order.  The columns of the next group are
// fetched while the current one is summed.
constexpr std::size_t lanes = 8;

}  // namespace

void pairdot(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             double* out) {
  const double rank = static_cast<double>(r);
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    const double* u[lanes];
    const double* v[lanes];
    double sum[lanes];
    for (std::size_t j = 0; j < lanes; ++j) {
      u[j] = Ut + pairdot_offset(iR[k + j], rank);
      v[j] = V + pairdot_offset(iC[k + j], rank);
      sum[j] = 0.0;
    }
    if (k + 2 * lanes <= L)
      for (std::size_t j = lanes; j < 2 * lanes; ++j) {
        prefetch(Ut + pairdot_offset(iR[k + j], rank));
        prefetch(V + pairdot_offset(iC[k + j], rank));
      }
    for (std::size_t t = 0; t < r; ++t)
      for (std::size_t j = 0; j < lanes; ++j) sum[j] = sum[j] + v[j][t] * u[j][t];
    for (std::size_t j = 0; j < lanes; ++j) out[k + j] = sum[j];
  }
  for (; k < L; ++k) {
    const double* u = Ut + pairdot_offset(iR[k], rank);
    const double* v = V + pairdot_offset(iC[k], rank);
    double sum = 0.0;
    for (std::size_t t = 0; t < r; ++t) sum = sum + v[t] * u[t];
    out[k] = sum;
  }
}

}  // namespace proxkit
