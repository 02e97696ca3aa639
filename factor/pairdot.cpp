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

void pairdot(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             double* out) {
  const double rank = static_cast<double>(r);
  for (std::size_t k = 0; k < L; ++k) {
    const double* u = Ut + pairdot_offset(iR[k], rank);
    const double* v = V + pairdot_offset(iC[k], rank);
    double sum = 0.0;
    for (std::size_t t = 0; t < r; ++t) sum = sum + v[t] * u[t];
    out[k] = sum;
  }
}

}  // namespace proxkit
