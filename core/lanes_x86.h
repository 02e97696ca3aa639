// The lane structs of x86 (core/lanes.h), on doubles and on floats: SSE2,
// which every x86-64 processor has (the 32-bit x86 builds ask for it too),
// and where the build carries them, AVX2 and AVX-512, whose operations are compiled for their own
// instruction set alone and run only after the run-time choice
// (core/instruction_set.h).
//
// GCC 12's AVX-512 intrinsics seed their unused lanes from a variable that it
// then reports as maybe uninitialised (its bug 105593); the report points
// into the header, so it is silenced there alone.
#ifndef PROXKIT_LANES_X86_H
#define PROXKIT_LANES_X86_H

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

namespace proxkit::lanes {

// Masks are all ones or all zeros per lane, kept in the values' own type.
struct Sse2 {
  static constexpr std::size_t width = 2;
  using Values = __m128d;
  using Mask = __m128d;
  static PROXKIT_LANE Values load(const double* p) { return _mm_loadu_pd(p); }
  static PROXKIT_LANE void store(double* p, Values v) { _mm_storeu_pd(p, v); }
  static PROXKIT_LANE Values load_first(const double* p, std::size_t count) {
    return count >= 2 ? _mm_loadu_pd(p) : count == 1 ? _mm_load_sd(p) : _mm_setzero_pd();
  }
  static PROXKIT_LANE void store_first(double* p, std::size_t count, Values v) {
    if (count >= 2)
      _mm_storeu_pd(p, v);
    else if (count == 1)
      _mm_store_sd(p, v);
  }
  static PROXKIT_LANE Values splat(double v) { return _mm_set1_pd(v); }
  static PROXKIT_LANE Values add(Values a, Values b) { return _mm_add_pd(a, b); }
  static PROXKIT_LANE Values sub(Values a, Values b) { return _mm_sub_pd(a, b); }
  static PROXKIT_LANE Values mul(Values a, Values b) { return _mm_mul_pd(a, b); }
  static PROXKIT_LANE Values div(Values a, Values b) { return _mm_div_pd(a, b); }
  static PROXKIT_LANE Values sqrt(Values v) { return _mm_sqrt_pd(v); }
  static PROXKIT_LANE Values abs(Values v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return _mm_cmpge_pd(a, b); }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return _mm_cmpgt_pd(a, b); }
  static PROXKIT_LANE Mask less(Values a, Values b) { return _mm_cmplt_pd(a, b); }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return _mm_cmpeq_pd(a, b); }
  static PROXKIT_LANE Mask mask_not(Mask a) { return _mm_xor_pd(a, _mm_castsi128_pd(_mm_set1_epi32(-1))); }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return _mm_and_pd(a, b); }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return _mm_or_pd(a, b); }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return _mm_andnot_pd(b, a); }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
  static PROXKIT_LANE Values round_down(Values v) {
    const Values near = _mm_sub_pd(_mm_add_pd(v, _mm_set1_pd(whole_shift)), _mm_set1_pd(whole_shift));
    return _mm_sub_pd(near, _mm_and_pd(_mm_cmpgt_pd(near, v), _mm_set1_pd(1.0)));
  }
  static PROXKIT_LANE Values round_up(Values v) {
    const Values near = _mm_sub_pd(_mm_add_pd(v, _mm_set1_pd(whole_shift)), _mm_set1_pd(whole_shift));
    return _mm_add_pd(near, _mm_and_pd(_mm_cmplt_pd(near, v), _mm_set1_pd(1.0)));
  }
  static PROXKIT_LANE void store_indices(std::size_t* p, Values v) {
    if constexpr (sizeof(std::size_t) == 8) {
      const Values shift = _mm_set1_pd(whole_shift);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                       _mm_sub_epi64(_mm_castpd_si128(_mm_add_pd(v, shift)), _mm_castpd_si128(shift)));
    } else {
      p[0] = static_cast<std::size_t>(_mm_cvtsd_f64(v));
      p[1] = static_cast<std::size_t>(_mm_cvtsd_f64(_mm_unpackhi_pd(v, v)));
    }
  }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return _mm_add_pd(sum, _mm_and_pd(keep, v)); }
  static PROXKIT_LANE bool any(Mask m) { return _mm_movemask_pd(m) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
    const Values low = _mm_unpacklo_pd(r[0], r[1]);
    r[1] = _mm_unpackhi_pd(r[0], r[1]);
    r[0] = low;
  }
  static PROXKIT_LANE void prefetch(const double* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1); }
};

// Four floats.  A partial load or store moves 8 and 4 bytes, never more.
struct Sse2Float {
  static constexpr std::size_t width = 4;
  using Values = __m128;
  using Mask = __m128;
  static PROXKIT_LANE Values load(const float* p) { return _mm_loadu_ps(p); }
  static PROXKIT_LANE void store(float* p, Values v) { _mm_storeu_ps(p, v); }
  static PROXKIT_LANE Values load_first(const float* p, std::size_t count) {
    if (count >= 4) return _mm_loadu_ps(p);
    if (count == 1) return _mm_load_ss(p);
    if (count == 0) return _mm_setzero_ps();
    const Values low = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    return count == 2 ? low : _mm_movelh_ps(low, _mm_load_ss(p + 2));
  }
  static PROXKIT_LANE void store_first(float* p, std::size_t count, Values v) {
    if (count >= 4) return _mm_storeu_ps(p, v);
    if (count == 1) return _mm_store_ss(p, v);
    if (count == 0) return;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v));
    if (count == 3) _mm_store_ss(p + 2, _mm_movehl_ps(v, v));
  }
  static PROXKIT_LANE Values splat(float v) { return _mm_set1_ps(v); }
  static PROXKIT_LANE Values add(Values a, Values b) { return _mm_add_ps(a, b); }
  static PROXKIT_LANE Values sub(Values a, Values b) { return _mm_sub_ps(a, b); }
  static PROXKIT_LANE Values mul(Values a, Values b) { return _mm_mul_ps(a, b); }
  static PROXKIT_LANE Values div(Values a, Values b) { return _mm_div_ps(a, b); }
  static PROXKIT_LANE Values sqrt(Values v) { return _mm_sqrt_ps(v); }
  static PROXKIT_LANE Values abs(Values v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return _mm_cmpge_ps(a, b); }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return _mm_cmpgt_ps(a, b); }
  static PROXKIT_LANE Mask less(Values a, Values b) { return _mm_cmplt_ps(a, b); }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return _mm_cmpeq_ps(a, b); }
  static PROXKIT_LANE Mask mask_not(Mask a) { return _mm_xor_ps(a, _mm_castsi128_ps(_mm_set1_epi32(-1))); }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return _mm_and_ps(a, b); }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return _mm_or_ps(a, b); }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return _mm_andnot_ps(b, a); }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b)); }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return _mm_add_ps(sum, _mm_and_ps(keep, v)); }
  static PROXKIT_LANE bool any(Mask m) { return _mm_movemask_ps(m) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
    const Values t0 = _mm_unpacklo_ps(r[0], r[1]), t1 = _mm_unpackhi_ps(r[0], r[1]);  // values 0 1, 2 3 of rows 0 1
    const Values t2 = _mm_unpacklo_ps(r[2], r[3]), t3 = _mm_unpackhi_ps(r[2], r[3]);
    r[0] = _mm_movelh_ps(t0, t2);
    r[1] = _mm_movehl_ps(t2, t0);
    r[2] = _mm_movelh_ps(t1, t3);
    r[3] = _mm_movehl_ps(t3, t1);
  }
  static PROXKIT_LANE void prefetch(const float* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1); }
};

#if PROXKIT_X86_SETS
struct Avx2 {
  static constexpr std::size_t width = 4;
  using Values = __m256d;
  using Mask = __m256d;
  // The lanes below count (at most 4).
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE __m256i first_lanes(std::size_t count) {
    return _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(count)), _mm256_set_epi64x(3, 2, 1, 0));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values load(const double* p) { return _mm256_loadu_pd(p); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store(double* p, Values v) { _mm256_storeu_pd(p, v); }
  // A masked lane reads nothing.
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values load_first(const double* p, std::size_t count) {
    return count >= 4 ? _mm256_loadu_pd(p) : _mm256_maskload_pd(p, first_lanes(count));
  }
  // Lane by lane rather than a masked store, which AMD processors run in
  // microcode.
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store_first(double* p, std::size_t count, Values v) {
    if (count >= 4) return _mm256_storeu_pd(p, v);
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, v);
    for (std::size_t j = 0; j < count; ++j) p[j] = lanes[j];
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values splat(double v) { return _mm256_set1_pd(v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add(Values a, Values b) { return _mm256_add_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm256_sub_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm256_mul_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values div(Values a, Values b) { return _mm256_div_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values sqrt(Values v) { return _mm256_sqrt_pd(v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values abs(Values v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask at_least(Values a, Values b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask greater(Values a, Values b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask less(Values a, Values b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask equal(Values a, Values b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_not(Mask a) {
    return _mm256_xor_pd(a, _mm256_castsi256_pd(_mm256_set1_epi32(-1)));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return _mm256_and_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return _mm256_or_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return _mm256_andnot_pd(b, a); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return _mm256_blendv_pd(b, a, m); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values round_down(Values v) {
    return _mm256_round_pd(v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values round_up(Values v) {
    return _mm256_round_pd(v, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC);
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store_indices(std::size_t* p, Values v) {
    const Values shift = _mm256_set1_pd(whole_shift);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p),
                        _mm256_sub_epi64(_mm256_castpd_si256(_mm256_add_pd(v, shift)), _mm256_castpd_si256(shift)));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm256_add_pd(sum, _mm256_and_pd(keep, v));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE bool any(Mask m) { return _mm256_movemask_pd(m) != 0; }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void transpose(Values* r) {
    const Values t0 = _mm256_unpacklo_pd(r[0], r[1]), t1 = _mm256_unpackhi_pd(r[0], r[1]);
    const Values t2 = _mm256_unpacklo_pd(r[2], r[3]), t3 = _mm256_unpackhi_pd(r[2], r[3]);
    r[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
    r[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
    r[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
    r[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void prefetch(const double* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};

struct Avx2Float {
  static constexpr std::size_t width = 8;
  using Values = __m256;
  using Mask = __m256;
  // The lanes below count (at most 8).
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE __m256i first_lanes(std::size_t count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(count)), _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values load(const float* p) { return _mm256_loadu_ps(p); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store(float* p, Values v) { _mm256_storeu_ps(p, v); }
  // A masked lane reads nothing.
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values load_first(const float* p, std::size_t count) {
    return count >= 8 ? _mm256_loadu_ps(p) : _mm256_maskload_ps(p, first_lanes(count));
  }
  // Lane by lane, as Avx2::store_first.
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store_first(float* p, std::size_t count, Values v) {
    if (count >= 8) return _mm256_storeu_ps(p, v);
    alignas(32) float lanes[8];
    _mm256_store_ps(lanes, v);
    for (std::size_t j = 0; j < count; ++j) p[j] = lanes[j];
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values splat(float v) { return _mm256_set1_ps(v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add(Values a, Values b) { return _mm256_add_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm256_sub_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm256_mul_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values div(Values a, Values b) { return _mm256_div_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values sqrt(Values v) { return _mm256_sqrt_ps(v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values abs(Values v) { return _mm256_andnot_ps(_mm256_set1_ps(-0.0f), v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask at_least(Values a, Values b) { return _mm256_cmp_ps(a, b, _CMP_GE_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask greater(Values a, Values b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask less(Values a, Values b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask equal(Values a, Values b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_not(Mask a) {
    return _mm256_xor_ps(a, _mm256_castsi256_ps(_mm256_set1_epi32(-1)));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return _mm256_and_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return _mm256_or_ps(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return _mm256_andnot_ps(b, a); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return _mm256_blendv_ps(b, a, m); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm256_add_ps(sum, _mm256_and_ps(keep, v));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE bool any(Mask m) { return _mm256_movemask_ps(m) != 0; }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void transpose(Values* r) {
    Values t[8], s[8];
    for (int j = 0; j < 8; j += 2) {
      t[j] = _mm256_unpacklo_ps(r[j], r[j + 1]);      // values 0 1, 4 5 of rows j and j+1
      t[j + 1] = _mm256_unpackhi_ps(r[j], r[j + 1]);  // 2 3, 6 7
    }
    for (int h = 0; h < 8; h += 4) {
      s[h] = _mm256_shuffle_ps(t[h], t[h + 2], 0x44);          // values 0 and 4 of four rows
      s[h + 1] = _mm256_shuffle_ps(t[h], t[h + 2], 0xEE);      // 1 and 5
      s[h + 2] = _mm256_shuffle_ps(t[h + 1], t[h + 3], 0x44);  // 2 and 6
      s[h + 3] = _mm256_shuffle_ps(t[h + 1], t[h + 3], 0xEE);  // 3 and 7
    }
    for (int p = 0; p < 4; ++p) {
      r[p] = _mm256_permute2f128_ps(s[p], s[p + 4], 0x20);
      r[p + 4] = _mm256_permute2f128_ps(s[p], s[p + 4], 0x31);
    }
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void prefetch(const float* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};

// Masks are mask registers: a masked lane neither reads nor writes.
struct Avx512 {
  static constexpr std::size_t width = 8;
  using Values = __m512d;
  using Mask = __mmask8;
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask first_lanes(std::size_t count) {
    return static_cast<Mask>((1u << count) - 1u);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values load(const double* p) { return _mm512_loadu_pd(p); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store(double* p, Values v) { _mm512_storeu_pd(p, v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values load_first(const double* p, std::size_t count) {
    return _mm512_maskz_loadu_pd(first_lanes(count < 8 ? count : 8), p);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store_first(double* p, std::size_t count, Values v) {
    if (count >= 8)
      _mm512_storeu_pd(p, v);
    else
      _mm512_mask_storeu_pd(p, first_lanes(count), v);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values splat(double v) { return _mm512_set1_pd(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add(Values a, Values b) { return _mm512_add_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm512_sub_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm512_mul_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values div(Values a, Values b) { return _mm512_div_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values sqrt(Values v) { return _mm512_sqrt_pd(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values abs(Values v) { return _mm512_abs_pd(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask at_least(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask greater(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask less(Values a, Values b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask equal(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_not(Mask a) { return static_cast<Mask>(~a); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return static_cast<Mask>(a & b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return static_cast<Mask>(a | b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return static_cast<Mask>(a & ~b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values select(Mask m, Values a, Values b) {
    return _mm512_mask_blend_pd(m, b, a);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values round_down(Values v) {
    return _mm512_roundscale_pd(v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values round_up(Values v) {
    return _mm512_roundscale_pd(v, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store_indices(std::size_t* p, Values v) {
    _mm512_storeu_si512(p, _mm512_cvttpd_epu64(v));
  }
  // The kept lanes add under the mask; the others keep their sum as it is.
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm512_mask_add_pd(sum, keep, sum, v);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE bool any(Mask m) { return m != 0; }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void transpose(Values* r) {
    Values t[8];
    for (int j = 0; j < 8; j += 2) {
      t[j] = _mm512_unpacklo_pd(r[j], r[j + 1]);      // values 0, 2, 4, 6 of rows j and j+1
      t[j + 1] = _mm512_unpackhi_pd(r[j], r[j + 1]);  // values 1, 3, 5, 7
    }
    const __m512i low_pairs = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0);
    const __m512i high_pairs = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
    Values u[8];
    for (int h = 0; h < 8; h += 4) {
      u[h] = _mm512_permutex2var_pd(t[h], low_pairs, t[h + 2]);          // values 0 and 4 of four rows
      u[h + 1] = _mm512_permutex2var_pd(t[h + 1], low_pairs, t[h + 3]);  // 1 and 5
      u[h + 2] = _mm512_permutex2var_pd(t[h], high_pairs, t[h + 2]);     // 2 and 6
      u[h + 3] = _mm512_permutex2var_pd(t[h + 1], high_pairs, t[h + 3]);  // 3 and 7
    }
    for (int p = 0; p < 4; ++p) {
      r[p] = _mm512_shuffle_f64x2(u[p], u[p + 4], 0x44);
      r[p + 4] = _mm512_shuffle_f64x2(u[p], u[p + 4], 0xEE);
    }
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void prefetch(const double* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};
struct Avx512Float {
  static constexpr std::size_t width = 16;
  using Values = __m512;
  using Mask = __mmask16;
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask first_lanes(std::size_t count) {
    return static_cast<Mask>((1u << count) - 1u);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values load(const float* p) { return _mm512_loadu_ps(p); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store(float* p, Values v) { _mm512_storeu_ps(p, v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values load_first(const float* p, std::size_t count) {
    return _mm512_maskz_loadu_ps(first_lanes(count < 16 ? count : 16), p);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store_first(float* p, std::size_t count, Values v) {
    if (count >= 16)
      _mm512_storeu_ps(p, v);
    else
      _mm512_mask_storeu_ps(p, first_lanes(count), v);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values splat(float v) { return _mm512_set1_ps(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add(Values a, Values b) { return _mm512_add_ps(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm512_sub_ps(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm512_mul_ps(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values div(Values a, Values b) { return _mm512_div_ps(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values sqrt(Values v) { return _mm512_sqrt_ps(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values abs(Values v) { return _mm512_abs_ps(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask at_least(Values a, Values b) {
    return _mm512_cmp_ps_mask(a, b, _CMP_GE_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask greater(Values a, Values b) {
    return _mm512_cmp_ps_mask(a, b, _CMP_GT_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask less(Values a, Values b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask equal(Values a, Values b) {
    return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_not(Mask a) { return static_cast<Mask>(~a); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return static_cast<Mask>(a & b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return static_cast<Mask>(a | b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return static_cast<Mask>(a & ~b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values select(Mask m, Values a, Values b) {
    return _mm512_mask_blend_ps(m, b, a);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm512_mask_add_ps(sum, keep, sum, v);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE bool any(Mask m) { return m != 0; }
  // Four rows at a time as Sse2Float's transpose, in each 128-bit block;
  // then the blocks of the four groups of rows change places.
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void transpose(Values* r) {
    Values t[16], u[16];
    for (int j = 0; j < 16; j += 2) {
      t[j] = _mm512_unpacklo_ps(r[j], r[j + 1]);      // in block l: values 4l, 4l+1 of rows j and j+1
      t[j + 1] = _mm512_unpackhi_ps(r[j], r[j + 1]);  // 4l+2, 4l+3
    }
    for (int q = 0; q < 16; q += 4) {  // rows q ... q+3; u[q + p] holds value 4l + p of them in block l
      u[q] = _mm512_castpd_ps(_mm512_unpacklo_pd(_mm512_castps_pd(t[q]), _mm512_castps_pd(t[q + 2])));
      u[q + 1] = _mm512_castpd_ps(_mm512_unpackhi_pd(_mm512_castps_pd(t[q]), _mm512_castps_pd(t[q + 2])));
      u[q + 2] = _mm512_castpd_ps(_mm512_unpacklo_pd(_mm512_castps_pd(t[q + 1]), _mm512_castps_pd(t[q + 3])));
      u[q + 3] = _mm512_castpd_ps(_mm512_unpackhi_pd(_mm512_castps_pd(t[q + 1]), _mm512_castps_pd(t[q + 3])));
    }
    for (int p = 0; p < 4; ++p) {
      const Values x0 = _mm512_shuffle_f32x4(u[p], u[p + 4], 0x44);   // blocks 0 1 of groups 0 and 1
      const Values x1 = _mm512_shuffle_f32x4(u[p], u[p + 4], 0xEE);   // blocks 2 3
      const Values y0 = _mm512_shuffle_f32x4(u[p + 8], u[p + 12], 0x44);
      const Values y1 = _mm512_shuffle_f32x4(u[p + 8], u[p + 12], 0xEE);
      r[p] = _mm512_shuffle_f32x4(x0, y0, 0x88);
      r[p + 4] = _mm512_shuffle_f32x4(x0, y0, 0xDD);
      r[p + 8] = _mm512_shuffle_f32x4(x1, y1, 0x88);
      r[p + 12] = _mm512_shuffle_f32x4(x1, y1, 0xDD);
    }
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void prefetch(const float* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};
#endif

}  // namespace proxkit::lanes

#endif
