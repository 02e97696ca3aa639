// The seven kernels behind a plain C interface, for the NumPy comparison of
// make bench-peers (through ctypes): a benchmark library, never shipped.
//
// Each function checks its arguments as the kernel's plug-in does (the
// segment table's last entry, the positions of pairdot, the capacity of
// nzassign's destination, rowball's dimensions) and returns 0 when it ran, a
// non-zero code, having read and written nothing, when it refused.  The caller
// passes every array with its element count and owns it; results are written
// into arrays the caller made, zero-filled where the kernel wants it so.
#include <cstddef>
#include <cstdint>

#include "factor/nzassign.h"
#include "factor/pairdot.h"
#include "rowball/rowball.h"
#include "segment/grpclip.h"
#include "segment/grpnorm.h"
#include "segment/grpshrink.h"
#include "segment/grpsign.h"

namespace {

constexpr int ran = 0, refused = 1;

bool table_fits(const double* bounds, std::size_t count, std::size_t n) {
  return proxkit::last_entry_in_bounds({bounds, count}, n);
}

}  // namespace

extern "C" {

int proxkit_grpnorm(const double* vect, std::size_t n, const double* bounds, std::size_t count, double* out) {
  if (!table_fits(bounds, count, n)) return refused;
  *out = proxkit::grpnorm(vect, n, {bounds, count});
  return ran;
}

// out: n elements.
int proxkit_grpclip(const double* vect, std::size_t n, const double* bounds, std::size_t count, double* out) {
  if (!table_fits(bounds, count, n)) return refused;
  proxkit::grpclip(vect, n, {bounds, count}, out);
  return ran;
}

// out: n zeros.
int proxkit_grpshrink(const double* vect, std::size_t n, const double* bounds, std::size_t count, double rho,
                      double* out) {
  if (!table_fits(bounds, count, n)) return refused;
  proxkit::grpshrink(vect, n, {bounds, count}, rho, out);
  return ran;
}

// out: n zeros.
int proxkit_grpsign(const double* vect, std::size_t n, const double* bounds, std::size_t count, double rho,
                    double* out) {
  if (!table_fits(bounds, count, n)) return refused;
  proxkit::grpsign(vect, n, {bounds, count}, rho, out);
  return ran;
}

// Ut: r-by-m and V: r-by-n, column-major; iR, iC and out: L elements each.
int proxkit_pairdot(const double* Ut, std::size_t m, const double* V, std::size_t n, std::size_t r,
                    const double* iR, const double* iC, std::size_t L, double* out) {
  if (!proxkit::pairdot_entries_in_range(iR, L, r, r * m) || !proxkit::pairdot_entries_in_range(iC, L, r, r * n))
    return refused;
  proxkit::pairdot(Ut, V, r, iR, iC, L, out);
  return ran;
}

// dst: room for `capacity` values.
int proxkit_nzassign(double* dst, std::size_t capacity, const double* src, std::size_t n) {
  if (n > capacity) return refused;
  proxkit::nzassign(dst, src, n);
  return ran;
}

// X and P: m-by-n column-major, P zero-filled; theta and iterations: m
// elements each, or null.
int proxkit_rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
                    double t) {
  if (m < 0 || n < 0) return refused;
  return proxkit::rowball(P, theta, iterations, X, m, n, t) ? ran : refused;
}

}  // extern "C"
