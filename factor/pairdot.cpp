#include "factor/pairdot.h"

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

// The columns that a group of positions reads, every cache line of them.
void prefetch_columns(const double* factor, std::size_t r, const double* entries, double rank) {
  constexpr std::size_t per_line = 64 / sizeof(double);
  for (std::size_t j = 0; j < lanes; ++j) {
    const double* column = factor + pairdot_offset(entries[j], rank);
    for (std::size_t t = 0; t < r; t += per_line) prefetch(column + t);
    if (r > 0) prefetch(column + (r - 1));
  }
}

// One lane per position: lane j sums the products of position k + j in
// ascending t from 0.0.  Each position's products are formed from its two
// columns at full width, eight t at a time, and transposed so that one
// register holds product t of every position.  The columns of the group
// two ahead are asked for while this one is summed.
PROXKIT_TARGET_AVX512 void pairdot_avx512(const double* Ut, const double* V, std::size_t r, const double* iR,
                                          const double* iC, std::size_t L, double* out) {
  const double rank = static_cast<double>(r);
  constexpr std::size_t ahead = 2 * lanes;
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    if (k + ahead + lanes <= L) {
      prefetch_columns(Ut, r, iR + k + ahead, rank);
      prefetch_columns(V, r, iC + k + ahead, rank);
    }
    const double* u[lanes];
    const double* v[lanes];
    for (std::size_t j = 0; j < lanes; ++j) {
      u[j] = Ut + pairdot_offset(iR[k + j], rank);
      v[j] = V + pairdot_offset(iC[k + j], rank);
    }
    __m512d sum = _mm512_setzero_pd();
    for (std::size_t t0 = 0; t0 < r; t0 += 8) {
      const std::size_t steps = r - t0 < 8 ? r - t0 : 8;
      const __mmask8 m = avx512::tail_mask(steps);
      __m512d product[8];
      for (std::size_t j = 0; j < lanes; ++j)
        product[j] = _mm512_mul_pd(_mm512_maskz_loadu_pd(m, v[j] + t0), _mm512_maskz_loadu_pd(m, u[j] + t0));
      avx512::transpose(product);
      for (std::size_t t = 0; t < steps; ++t) sum = avx512_add_keeping_nan(sum, product[t]);
    }
    _mm512_storeu_pd(out + k, sum);
  }
  pairdot_baseline(Ut, V, r, iR + k, iC + k, L - k, out + k);
}

// The same on four lanes, a group of eight positions as two halves.
PROXKIT_TARGET_AVX2 void pairdot_avx2(const double* Ut, const double* V, std::size_t r, const double* iR,
                                      const double* iC, std::size_t L, double* out) {
  const double rank = static_cast<double>(r);
  constexpr std::size_t ahead = 2 * lanes;
  std::size_t k = 0;
  for (; k + lanes <= L; k += lanes) {
    if (k + ahead + lanes <= L) {
      prefetch_columns(Ut, r, iR + k + ahead, rank);
      prefetch_columns(V, r, iC + k + ahead, rank);
    }
    const double* u[lanes];
    const double* v[lanes];
    for (std::size_t j = 0; j < lanes; ++j) {
      u[j] = Ut + pairdot_offset(iR[k + j], rank);
      v[j] = V + pairdot_offset(iC[k + j], rank);
    }
    __m256d sum[2] = {_mm256_setzero_pd(), _mm256_setzero_pd()};
    for (std::size_t t0 = 0; t0 < r; t0 += 4) {
      const std::size_t steps = r - t0 < 4 ? r - t0 : 4;
      const __m256i m = avx2::tail_mask(steps);
      for (int h = 0; h < 2; ++h) {
        __m256d product[4];
        for (int j = 0; j < 4; ++j)
          product[j] = _mm256_mul_pd(_mm256_maskload_pd(v[4 * h + j] + t0, m), _mm256_maskload_pd(u[4 * h + j] + t0, m));
        avx2::transpose(product);
        for (std::size_t t = 0; t < steps; ++t) sum[h] = avx2_add_keeping_nan(sum[h], product[t]);
      }
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
