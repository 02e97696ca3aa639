// The intrinsics of the wide instruction sets and the few register moves the
// kernels' wide paths share (core/instruction_set.h); include only under
// PROXKIT_WIDE_PATHS.
//
// GCC 12's AVX-512 intrinsics seed their unused lanes from a variable that it
// then reports as maybe uninitialised (its bug 105593); the report points
// into the header, so it is silenced there alone.
#ifndef PROXKIT_WIDE_INTRINSICS_H
#define PROXKIT_WIDE_INTRINSICS_H

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

#include <cstddef>

#include "core/instruction_set.h"

namespace proxkit {

namespace avx512 {

// Eight rows of eight values (for instance eight consecutive values of
// eight segments) become their columns: afterwards r[t] holds value t of
// every row, row j in lane j.
PROXKIT_TARGET_AVX512 inline void transpose(__m512d* r) {
  __m512d t[8];
  for (int j = 0; j < 8; j += 2) {
    t[j] = _mm512_unpacklo_pd(r[j], r[j + 1]);      // positions 0, 2, 4, 6 of j and j+1
    t[j + 1] = _mm512_unpackhi_pd(r[j], r[j + 1]);  // positions 1, 3, 5, 7
  }
  const __m512i low_pairs = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0);
  const __m512i high_pairs = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
  __m512d u[8];
  for (int h = 0; h < 8; h += 4) {
    u[h] = _mm512_permutex2var_pd(t[h], low_pairs, t[h + 2]);       // positions 0 and 4 of four segments
    u[h + 1] = _mm512_permutex2var_pd(t[h + 1], low_pairs, t[h + 3]);  // 1 and 5
    u[h + 2] = _mm512_permutex2var_pd(t[h], high_pairs, t[h + 2]);   // 2 and 6
    u[h + 3] = _mm512_permutex2var_pd(t[h + 1], high_pairs, t[h + 3]);  // 3 and 7
  }
  for (int p = 0; p < 4; ++p) {
    r[p] = _mm512_shuffle_f64x2(u[p], u[p + 4], 0x44);
    r[p + 4] = _mm512_shuffle_f64x2(u[p], u[p + 4], 0xEE);
  }
}

// The lanes below count (at most 8) of a masked move; a masked-off lane
// neither reads nor writes.
PROXKIT_TARGET_AVX512 inline __mmask8 tail_mask(std::size_t count) {
  return static_cast<__mmask8>((1u << count) - 1u);
}

}  // namespace avx512

namespace avx2 {

// Four rows of four values become their columns: afterwards r[t] holds
// value t of every row, row j in lane j.
PROXKIT_TARGET_AVX2 inline void transpose(__m256d* r) {
  const __m256d t0 = _mm256_unpacklo_pd(r[0], r[1]), t1 = _mm256_unpackhi_pd(r[0], r[1]);
  const __m256d t2 = _mm256_unpacklo_pd(r[2], r[3]), t3 = _mm256_unpackhi_pd(r[2], r[3]);
  r[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
  r[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
  r[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
  r[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
}

// The lanes below count (at most 4) of a masked move; the others neither
// read nor write.
PROXKIT_TARGET_AVX2 inline __m256i tail_mask(std::size_t count) {
  return _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(count)), _mm256_set_epi64x(3, 2, 1, 0));
}

}  // namespace avx2

}  // namespace proxkit

#endif
