#include "factor/pairdot.h"

#include "core/instruction_set.h"
#include "core/nan_rule.h"

#if PROXKIT_WIDE_PATHS
#include "core/wide_intrinsics.h"
#endif

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

// Asks for the first cache line of each column of the group of positions
// at iR, iC, one group ahead of its use.  (Asking for every line of them, or
// two groups ahead, measured slower: the hints cost more than they save.)
void prefetch_group(const double* Ut, const double* V, const double* iR, const double* iC, double rank) {
  for (std::size_t j = 0; j < lanes; ++j) {
    prefetch(Ut + pairdot_offset(iR[j], rank));
    prefetch(V + pairdot_offset(iC[j], rank));
  }
}

// The inner product of a position whose sum is NaN, formed again with the
// NaNs of the stated loop, sum = sum + V[b + t]*U'[a + t] (core/nan_rule.h):
// once the sum is NaN it keeps its NaN, and a product of two NaNs is V's.
// Until then at most one operand of each addition is NaN, so the order of
// the other additions does not matter.  Every path forms its sums in
// whichever operand order the compiler picks, so each NaN sum, rare, is
// named again here.
double nan_sum(const double* v, const double* u, std::size_t r) {
  double sum = 0.0;
  for (std::size_t t = 0; t < r && sum == sum; ++t) sum = sum + product_in_order(v[t], u[t]);
  return sum;
}

void pairdot_baseline(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC,
                      std::size_t L, double* out) {
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
    if (k + 2 * lanes <= L) prefetch_group(Ut, V, iR + k + lanes, iC + k + lanes, rank);
    for (std::size_t t = 0; t < r; ++t)
      for (std::size_t j = 0; j < lanes; ++j) sum[j] = sum[j] + v[j][t] * u[j][t];
    for (std::size_t j = 0; j < lanes; ++j) out[k + j] = sum[j] == sum[j] ? sum[j] : nan_sum(v[j], u[j], r);
  }
  for (; k < L; ++k) {
    const double* u = Ut + pairdot_offset(iR[k], rank);
    const double* v = V + pairdot_offset(iC[k], rank);
    double sum = 0.0;
    for (std::size_t t = 0; t < r; ++t) sum = sum + v[t] * u[t];
    out[k] = sum == sum ? sum : nan_sum(v, u, r);
  }
}

#if PROXKIT_WIDE_PATHS
// The columns of a group of positions.
inline void group_columns(const double* Ut, const double* V, const double* iR, const double* iC, double rank,
                          const double** u, const double** v) {
  for (std::size_t j = 0; j < lanes; ++j) {
    u[j] = Ut + pairdot_offset(iR[j], rank);
    v[j] = V + pairdot_offset(iC[j], rank);
  }
}

// The last, partial group of positions as a full one: lanes past the last
// position repeat the first, so that every lane reads inside the factors.
// Returns the number of live lanes.
std::size_t last_group(const double* iR, const double* iC, std::size_t remaining, double* group_iR,
                       double* group_iC) {
  for (std::size_t j = 0; j < lanes; ++j) {
    group_iR[j] = iR[j < remaining ? j : 0];
    group_iC[j] = iC[j < remaining ? j : 0];
  }
  return remaining;
}

// The lanes of a group whose sums are NaN, formed again (nan_sum).
void redo_nan_lanes(unsigned lanes_with_nan, const double* const* u, const double* const* v, std::size_t r,
                    double* out) {
  for (std::size_t j = 0; j < lanes; ++j)
    if ((lanes_with_nan >> j) & 1u) out[j] = nan_sum(v[j], u[j], r);
}

// One lane per position: lane j sums the products of position j of the
// group in ascending t from 0.0.  Each position's products are formed from
// its two columns at full width, eight t at a time, and transposed so that
// one register holds product t of every position (gathers, which would
// read the columns lane by lane, run slower than scalar loads on processors
// such as this project's AMD test machines).
PROXKIT_TARGET_AVX512 inline void avx512_group(const double* Ut, const double* V, std::size_t r, const double* iR,
                                               const double* iC, double rank, std::size_t live, double* out) {
  const double* u[lanes];
  const double* v[lanes];
  group_columns(Ut, V, iR, iC, rank, u, v);
  __m512d sum = _mm512_setzero_pd();
  for (std::size_t t0 = 0; t0 < r; t0 += 8) {
    const std::size_t steps = r - t0 < 8 ? r - t0 : 8;
    const __mmask8 m = avx512::tail_mask(steps);
    __m512d product[8];
    for (std::size_t j = 0; j < lanes; ++j)
      product[j] = _mm512_mul_pd(_mm512_maskz_loadu_pd(m, v[j] + t0), _mm512_maskz_loadu_pd(m, u[j] + t0));
    avx512::transpose(product);
    for (std::size_t t = 0; t < steps; ++t) sum = _mm512_add_pd(sum, product[t]);
  }
  const __mmask8 written = avx512::tail_mask(live);
  if (live == lanes)
    _mm512_storeu_pd(out, sum);
  else
    _mm512_mask_storeu_pd(out, written, sum);
  const unsigned nan = _mm512_mask_cmp_pd_mask(written, sum, sum, _CMP_UNORD_Q);
  if (nan != 0) redo_nan_lanes(nan, u, v, r, out);
}

PROXKIT_TARGET_AVX512 void pairdot_avx512(const double* Ut, const double* V, std::size_t r, const double* iR,
                                          const double* iC, std::size_t L, double* out) {
  const double rank = static_cast<double>(r);
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    if (k + 2 * lanes <= L) prefetch_group(Ut, V, iR + k + lanes, iC + k + lanes, rank);
    avx512_group(Ut, V, r, iR + k, iC + k, rank, lanes, out + k);
  }
  if (k < L) {
    double group_iR[lanes], group_iC[lanes];
    avx512_group(Ut, V, r, group_iR, group_iC, rank, last_group(iR + k, iC + k, L - k, group_iR, group_iC), out + k);
  }
}

// The same on four lanes, a group of eight positions as two halves.
PROXKIT_TARGET_AVX2 inline void avx2_group(const double* Ut, const double* V, std::size_t r, const double* iR,
                                           const double* iC, double rank, std::size_t live, double* out) {
  const double* u[lanes];
  const double* v[lanes];
  group_columns(Ut, V, iR, iC, rank, u, v);
  __m256d sum[2] = {_mm256_setzero_pd(), _mm256_setzero_pd()};
  for (std::size_t t0 = 0; t0 < r; t0 += 4) {
    const std::size_t steps = r - t0 < 4 ? r - t0 : 4;
    const __m256i m = avx2::tail_mask(steps);
    for (int h = 0; h < 2; ++h) {
      __m256d product[4];
      for (int j = 0; j < 4; ++j)
        product[j] = _mm256_mul_pd(_mm256_maskload_pd(v[4 * h + j] + t0, m), _mm256_maskload_pd(u[4 * h + j] + t0, m));
      avx2::transpose(product);
      for (std::size_t t = 0; t < steps; ++t) sum[h] = _mm256_add_pd(sum[h], product[t]);
    }
  }
  unsigned nan = 0;
  for (std::size_t h = 0; h < 2 && 4 * h < live; ++h) {
    // A masked store only where the last group ends: AMD processors run it
    // in microcode.
    if (live >= 4 * h + 4)
      _mm256_storeu_pd(out + 4 * h, sum[h]);
    else
      _mm256_maskstore_pd(out + 4 * h, avx2::tail_mask(live - 4 * h), sum[h]);
    nan |= static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(sum[h], sum[h], _CMP_UNORD_Q))) << (4 * h);
  }
  nan &= (1u << live) - 1u;
  if (nan != 0) redo_nan_lanes(nan, u, v, r, out);
}

PROXKIT_TARGET_AVX2 void pairdot_avx2(const double* Ut, const double* V, std::size_t r, const double* iR,
                                      const double* iC, std::size_t L, double* out) {
  const double rank = static_cast<double>(r);
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    if (k + 2 * lanes <= L) prefetch_group(Ut, V, iR + k + lanes, iC + k + lanes, rank);
    avx2_group(Ut, V, r, iR + k, iC + k, rank, lanes, out + k);
  }
  if (k < L) {
    double group_iR[lanes], group_iC[lanes];
    avx2_group(Ut, V, r, group_iR, group_iC, rank, last_group(iR + k, iC + k, L - k, group_iR, group_iC), out + k);
  }
}
#endif

}  // namespace

void pairdot(const double* Ut, const double* V, std::size_t r, const double* iR, const double* iC, std::size_t L,
             double* out) {
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512:
      return pairdot_avx512(Ut, V, r, iR, iC, L, out);
    case InstructionSet::avx2:
      return pairdot_avx2(Ut, V, r, iR, iC, L, out);
#endif
    default:
      return pairdot_baseline(Ut, V, r, iR, iC, L, out);
  }
}

}  // namespace proxkit
