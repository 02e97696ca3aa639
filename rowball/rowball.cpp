#include "rowball/rowball.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/instruction_set.h"

// The baseline path of x86 uses SSE2, which every x86-64 processor has (the
// 32-bit x86 builds ask for it too).  Elsewhere GCC and clang carry two rows
// per lane pair in their generic vectors (two-lane SIMD on ARM), and other
// compilers one row per lane.
#if PROXKIT_WIDE_PATHS || defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define PROXKIT_ROWBALL_SSE2 1
#include <immintrin.h>
#else
#define PROXKIT_ROWBALL_SSE2 0
#include <cstring>
#endif

#if defined(_MSC_VER) && !defined(__clang__)
#define PROXKIT_LANE __forceinline
#define PROXKIT_UNROLL
#else
// Lane operations are inlined into the functions of their instruction set
// (GCC inlines nothing across target attributes otherwise), and the loops
// over a block's groups are unrolled, so that each group's sum, count and
// threshold stay in registers.
#define PROXKIT_LANE inline __attribute__((always_inline))
#define PROXKIT_UNROLL _Pragma("GCC unroll 8")
#endif

namespace proxkit {
namespace {

// The lane operations, for one row per lane.  A lane keeps a value by adding
// it to its sum; a value not kept adds +0.0, which leaves the sum's bits as
// they are: the sum starts at +0.0 and adds non-negative values only, so it
// is never -0.0.
struct OneLane {
  static constexpr std::size_t width = 1;
  using Values = double;
  using Mask = bool;
  static Values load(const double* p) { return *p; }
  static void store(double* p, Values v) { *p = v; }
  static Values splat(double v) { return v; }
  static Values abs(Values v) { return std::fabs(v); }
  static Values add(Values a, Values b) { return a + b; }
  static Values sub(Values a, Values b) { return a - b; }
  static Values mul(Values a, Values b) { return a * b; }
  static Values div(Values a, Values b) { return a / b; }
  static Mask at_least(Values a, Values b) { return a >= b; }
  static Mask greater(Values a, Values b) { return a > b; }
  static Mask less(Values a, Values b) { return a < b; }
  static Mask equal(Values a, Values b) { return a == b; }
  static Mask mask_not(Mask a) { return !a; }
  static Mask mask_and(Mask a, Mask b) { return a && b; }
  static Mask mask_or(Mask a, Mask b) { return a || b; }
  static Mask mask_and_not(Mask a, Mask b) { return a && !b; }
  static Values select(Mask m, Values a, Values b) { return m ? a : b; }
  static Values add_kept(Values sum, Mask keep, Values v) { return sum + (keep ? v : 0.0); }
  static bool any(Mask m) { return m; }
  static void prefetch(const double*) {}
};

}  // namespace

namespace baseline {
namespace {

#if PROXKIT_ROWBALL_SSE2
struct Sse2Lanes {
  static constexpr std::size_t width = 2;
  using Values = __m128d;
  using Mask = __m128d;  // all ones or all zeros per lane
  static PROXKIT_LANE Values load(const double* p) { return _mm_loadu_pd(p); }
  static PROXKIT_LANE void store(double* p, Values v) { _mm_storeu_pd(p, v); }
  static PROXKIT_LANE Values splat(double v) { return _mm_set1_pd(v); }
  static PROXKIT_LANE Values abs(Values v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
  static PROXKIT_LANE Values add(Values a, Values b) { return _mm_add_pd(a, b); }
  static PROXKIT_LANE Values sub(Values a, Values b) { return _mm_sub_pd(a, b); }
  static PROXKIT_LANE Values mul(Values a, Values b) { return _mm_mul_pd(a, b); }
  static PROXKIT_LANE Values div(Values a, Values b) { return _mm_div_pd(a, b); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return _mm_cmpge_pd(a, b); }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return _mm_cmpgt_pd(a, b); }
  static PROXKIT_LANE Mask less(Values a, Values b) { return _mm_cmplt_pd(a, b); }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return _mm_cmpeq_pd(a, b); }
  static PROXKIT_LANE Mask mask_not(Mask a) { return _mm_xor_pd(a, _mm_castsi128_pd(_mm_set1_epi32(-1))); }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return _mm_and_pd(a, b); }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return _mm_or_pd(a, b); }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return _mm_andnot_pd(b, a); }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) {
    return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b));
  }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return _mm_add_pd(sum, _mm_and_pd(keep, v)); }
  static PROXKIT_LANE bool any(Mask m) { return _mm_movemask_pd(m) != 0; }
  static PROXKIT_LANE void prefetch(const double* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1); }
};
using Lanes = Sse2Lanes;
#elif defined(__GNUC__)
// The same operations as SSE2's, in GCC's generic vectors: a comparison gives
// all ones or all zeros per lane, and a cast between vectors keeps the bits.
struct PairLanes {
  static constexpr std::size_t width = 2;
  typedef double Values __attribute__((vector_size(16)));
  typedef std::int64_t Mask __attribute__((vector_size(16)));
  static PROXKIT_LANE Values load(const double* p) {
    Values v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static PROXKIT_LANE void store(double* p, Values v) { std::memcpy(p, &v, sizeof v); }
  static PROXKIT_LANE Values splat(double v) { return Values{v, v}; }
  static PROXKIT_LANE Values abs(Values v) { return (Values)((Mask)v & ~(Mask)splat(-0.0)); }
  static PROXKIT_LANE Values add(Values a, Values b) { return a + b; }
  static PROXKIT_LANE Values sub(Values a, Values b) { return a - b; }
  static PROXKIT_LANE Values mul(Values a, Values b) { return a * b; }
  static PROXKIT_LANE Values div(Values a, Values b) { return a / b; }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return a >= b; }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return a > b; }
  static PROXKIT_LANE Mask less(Values a, Values b) { return a < b; }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return a == b; }
  static PROXKIT_LANE Mask mask_not(Mask a) { return ~a; }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return a & b; }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return a | b; }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return a & ~b; }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return (Values)(((Mask)a & m) | ((Mask)b & ~m)); }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return sum + (Values)((Mask)v & keep); }
  static PROXKIT_LANE bool any(Mask m) { return (m[0] | m[1]) != 0; }
  static PROXKIT_LANE void prefetch(const double* p) { __builtin_prefetch(p); }
};
using Lanes = PairLanes;
#else
using Lanes = OneLane;
#endif
constexpr std::size_t groups_in_flight = 4;

#define PROXKIT_PATH_TARGET
#include "rowball/rowball_blocks.h"
#undef PROXKIT_PATH_TARGET

}  // namespace
}  // namespace baseline

#if PROXKIT_WIDE_PATHS
namespace avx2 {
namespace {

struct Avx2Lanes {
  static constexpr std::size_t width = 4;
  using Values = __m256d;
  using Mask = __m256d;  // all ones or all zeros per lane
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values load(const double* p) { return _mm256_loadu_pd(p); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void store(double* p, Values v) { _mm256_storeu_pd(p, v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values splat(double v) { return _mm256_set1_pd(v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values abs(Values v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add(Values a, Values b) { return _mm256_add_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm256_sub_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm256_mul_pd(a, b); }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values div(Values a, Values b) { return _mm256_div_pd(a, b); }
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
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values select(Mask m, Values a, Values b) {
    return _mm256_blendv_pd(b, a, m);
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm256_add_pd(sum, _mm256_and_pd(keep, v));
  }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE bool any(Mask m) { return _mm256_movemask_pd(m) != 0; }
  PROXKIT_TARGET_AVX2 static PROXKIT_LANE void prefetch(const double* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};
using Lanes = Avx2Lanes;
constexpr std::size_t groups_in_flight = 4;

#define PROXKIT_PATH_TARGET PROXKIT_TARGET_AVX2
#include "rowball/rowball_blocks.h"
#undef PROXKIT_PATH_TARGET

}  // namespace
}  // namespace avx2

namespace avx512 {
namespace {

// A kept lane adds its value under the mask, which leaves the other lanes'
// sums untouched.
struct Avx512Lanes {
  static constexpr std::size_t width = 8;
  using Values = __m512d;
  using Mask = __mmask8;
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values load(const double* p) { return _mm512_loadu_pd(p); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void store(double* p, Values v) { _mm512_storeu_pd(p, v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values splat(double v) { return _mm512_set1_pd(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values abs(Values v) { return _mm512_abs_pd(v); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add(Values a, Values b) { return _mm512_add_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values sub(Values a, Values b) { return _mm512_sub_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values mul(Values a, Values b) { return _mm512_mul_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values div(Values a, Values b) { return _mm512_div_pd(a, b); }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask at_least(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask greater(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Mask less(Values a, Values b) {
    return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ);
  }
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
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return _mm512_mask_add_pd(sum, keep, sum, v);
  }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE bool any(Mask m) { return m != 0; }
  PROXKIT_TARGET_AVX512 static PROXKIT_LANE void prefetch(const double* p) {
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
  }
};
using Lanes = Avx512Lanes;
constexpr std::size_t groups_in_flight = 4;

#define PROXKIT_PATH_TARGET PROXKIT_TARGET_AVX512
#include "rowball/rowball_blocks.h"
#undef PROXKIT_PATH_TARGET

}  // namespace
}  // namespace avx512
#endif

bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t) {
  if (0 > t) return false;
  const std::size_t rows = m > 0 ? static_cast<std::size_t>(m) : 0;
  const std::size_t cols = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (cols == 0) {
    // Every row is empty, its sum 0: threshold and count 0 whatever t is.
    // P and X may have no storage at all, so nothing points into them.
    for (std::size_t i = 0; i < rows; ++i) {
      if (theta != nullptr) theta[i] = 0.0;
      if (iterations != nullptr) iterations[i] = 0.0;
    }
    return true;
  }
  switch (chosen_instruction_set()) {
#if PROXKIT_WIDE_PATHS
    case InstructionSet::avx512:
      avx512::project_all_rows(P, theta, iterations, X, rows, cols, t);
      return true;
    case InstructionSet::avx2:
      avx2::project_all_rows(P, theta, iterations, X, rows, cols, t);
      return true;
#endif
    default:
      baseline::project_all_rows(P, theta, iterations, X, rows, cols, t);
      return true;
  }
}

}  // namespace proxkit
