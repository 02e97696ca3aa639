#include "factor/pairdot.h"

#include <cstdint>

#include "gateway/instruction_set.h"

#if PROXKIT_WIDE_PATHS
#include "gateway/wide_intrinsics.h"
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

#if PROXKIT_WIDE_PATHS
// sum + product, with the NaN of sum kept where sum is NaN, as the scalar
// sum + product gives on x86: where both are NaN (an Inf*0 meeting an
// earlier NaN) the processor returns its first operand, and the compiler,
// free to swap the operands of an addition, would otherwise decide which.
PROXKIT_TARGET_AVX512 inline __m512d avx512_add_keeping_nan(__m512d sum, __m512d product) {
  return _mm512_mask_mov_pd(_mm512_add_pd(sum, product), _mm512_cmp_pd_mask(sum, sum, _CMP_UNORD_Q), sum);
}

PROXKIT_TARGET_AVX2 inline __m256d avx2_add_keeping_nan(__m256d sum, __m256d product) {
  return _mm256_blendv_pd(_mm256_add_pd(sum, product), sum, _mm256_cmp_pd(sum, sum, _CMP_UNORD_Q));
}

// Inner product of 1-based entries `entries`, as pairdot_offset gives them
// for entries in range: (entry - 1)*rank in double, truncated toward zero
// (an offset between -1 and 1 is 0).
PROXKIT_TARGET_AVX512 inline __m512i avx512_offsets(const double* entries, __m512d rank) {
  const __m512d offset = _mm512_mul_pd(_mm512_sub_pd(_mm512_loadu_pd(entries), _mm512_set1_pd(1.0)), rank);
  return _mm512_cvttpd_epi64(_mm512_max_pd(offset, _mm512_setzero_pd()));
}

// One lane per position: lane j sums the products of position k + j in
// ascending t from 0.0, gathering row t of both factors' columns.  The
// columns of the group two ahead are asked for while this one is summed.
PROXKIT_TARGET_AVX512 void pairdot_avx512(const double* Ut, const double* V, std::size_t r, const double* iR,
                                          const double* iC, std::size_t L, double* out) {
  const __m512d rank = _mm512_set1_pd(static_cast<double>(r));
  const __m512i one = _mm512_set1_epi64(1);
  constexpr std::size_t ahead = 2 * lanes;
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    if (k + ahead + lanes <= L && r > 0) {
      alignas(64) std::int64_t a[lanes], b[lanes];
      _mm512_store_si512(a, avx512_offsets(iR + k + ahead, rank));
      _mm512_store_si512(b, avx512_offsets(iC + k + ahead, rank));
      for (std::size_t j = 0; j < lanes; ++j) {
        prefetch(Ut + a[j]);
        prefetch(Ut + a[j] + (r - 1));
        prefetch(V + b[j]);
        prefetch(V + b[j] + (r - 1));
      }
    }
    __m512i a = avx512_offsets(iR + k, rank), b = avx512_offsets(iC + k, rank);
    __m512d sum = _mm512_setzero_pd();
    for (std::size_t t = 0; t < r; ++t) {
      const __m512d u = _mm512_i64gather_pd(a, Ut, sizeof(double));
      const __m512d v = _mm512_i64gather_pd(b, V, sizeof(double));
      sum = avx512_add_keeping_nan(sum, _mm512_mul_pd(v, u));
      a = _mm512_add_epi64(a, one);
      b = _mm512_add_epi64(b, one);
    }
    _mm512_storeu_pd(out + k, sum);
  }
  pairdot_baseline(Ut, V, r, iR + k, iC + k, L - k, out + k);
}

// The same on four lanes, two groups side by side.
PROXKIT_TARGET_AVX2 void pairdot_avx2(const double* Ut, const double* V, std::size_t r, const double* iR,
                                      const double* iC, std::size_t L, double* out) {
  const double rank = static_cast<double>(r);
  const __m256i one = _mm256_set1_epi64x(1);
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    alignas(32) std::int64_t a[lanes], b[lanes];
    for (std::size_t j = 0; j < lanes; ++j) {
      a[j] = static_cast<std::int64_t>(pairdot_offset(iR[k + j], rank));
      b[j] = static_cast<std::int64_t>(pairdot_offset(iC[k + j], rank));
    }
    if (k + 2 * lanes <= L)
      for (std::size_t j = lanes; j < 2 * lanes; ++j) {
        prefetch(Ut + pairdot_offset(iR[k + j], rank));
        prefetch(V + pairdot_offset(iC[k + j], rank));
      }
    __m256i ia[2], ib[2];
    __m256d sum[2];
    for (int h = 0; h < 2; ++h) {
      ia[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(a + 4 * h));
      ib[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(b + 4 * h));
      sum[h] = _mm256_setzero_pd();
    }
    for (std::size_t t = 0; t < r; ++t)
      for (int h = 0; h < 2; ++h) {
        const __m256d u = _mm256_i64gather_pd(Ut, ia[h], sizeof(double));
        const __m256d v = _mm256_i64gather_pd(V, ib[h], sizeof(double));
        sum[h] = avx2_add_keeping_nan(sum[h], _mm256_mul_pd(v, u));
        ia[h] = _mm256_add_epi64(ia[h], one);
        ib[h] = _mm256_add_epi64(ib[h], one);
      }
    for (int h = 0; h < 2; ++h) _mm256_storeu_pd(out + k + 4 * h, sum[h]);
  }
  pairdot_baseline(Ut, V, r, iR + k, iC + k, L - k, out + k);
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
