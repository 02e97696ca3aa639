// The lane library: two structs per instruction set, one on doubles and one
// on floats, all with the same operations on `width` values at once, over
// which every kernel writes its vector algorithm once (core/for_each_set.h
// compiles it for each set; core/sets.h names both structs of a set).
//
// Each lane computes exactly what the scalar code computes on its value:
// the arithmetic is IEEE double or IEEE single, lane by lane, never fused
// into a multiply-add, square roots and divisions correctly rounded, so a
// lane that carries one independent sequence (a segment, a row, a position)
// in the stated order gives the plain loop's bits.
//
// The operations of every struct (L below; T is its value type):
//   width, Values (width values), Mask (one truth value per lane)
//   load(p), store(p, v)              width values at p
//   load_first(p, count)              the count (<= width) values at p in the
//                                     low lanes, +0 in the others; reads
//                                     nothing else
//   store_first(p, count, v)          writes the low count lanes only
//   splat(x)                          x in every lane
//   add, sub, mul, div, sqrt, abs     lane-wise
//   at_least, greater, less, equal    lane-wise comparisons (false with a NaN)
//   mask_not, mask_and, mask_or, mask_and_not(a, b) (a and not b)
//   select(m, a, b)                   a where m, else b
//   round_down(v), round_up(v)        the floor and the ceiling, for lanes
//                                     from 0 to 2^52 (others: unspecified);
//                                     double lanes only, which read the table
//   store_indices(p, v)               lanes holding whole numbers from 0 to
//                                     2^52 stored as width std::size_t;
//                                     double lanes only
//   add_kept(sum, keep, v)            sum + v where keep, sum + 0 elsewhere
//                                     (or sum itself: the same but for -0)
//   any(m)                            some lane of m is true
//   transpose(rows)                   width rows of width values become their
//                                     columns: afterwards rows[t] holds value t
//                                     of every former row, row j in lane j
//   prefetch(p)                       a hint to fetch the cache line of p into
//                                     the outer caches
//
// Plain code: no host is involved.
#ifndef PROXKIT_LANES_H
#define PROXKIT_LANES_H

#include <cmath>
#include <cstddef>

#include "core/instruction_set.h"

#if defined(_MSC_VER) && !defined(__clang__)
#define PROXKIT_LANE __forceinline
#define PROXKIT_UNROLL
#else
// Lane operations are inlined into the functions of their instruction set
// (GCC inlines nothing across target attributes otherwise), and loops over a
// handful of vectors are unrolled, so that their values stay in registers.
#define PROXKIT_LANE inline __attribute__((always_inline))
#define PROXKIT_UNROLL _Pragma("GCC unroll 8")
#endif

namespace proxkit::lanes {

// Where a set has no rounding instruction, round_down and round_up take
// (v + 2^52) - 2^52, the whole number nearest to v for 0 <= v < 2^52, and
// step it once toward v; store_indices takes the low bits of v + 2^52.
inline constexpr double whole_shift = 4503599627370496.0;  // 2^52

// One value: the plain code itself, on any processor.  Kernels use it for
// what is left over when fewer rows than a vector remain.  (round_down,
// round_up and store_indices serve the segment table, read as doubles: One
// has them, OneFloat never instantiates them.)
template <class T>
struct Scalar {
  static constexpr std::size_t width = 1;
  using Values = T;
  using Mask = bool;
  static PROXKIT_LANE Values load(const T* p) { return *p; }
  static PROXKIT_LANE void store(T* p, Values v) { *p = v; }
  static PROXKIT_LANE Values load_first(const T* p, std::size_t count) { return count > 0 ? *p : T{0}; }
  static PROXKIT_LANE void store_first(T* p, std::size_t count, Values v) {
    if (count > 0) *p = v;
  }
  static PROXKIT_LANE Values splat(T v) { return v; }
  static PROXKIT_LANE Values add(Values a, Values b) { return a + b; }
  static PROXKIT_LANE Values sub(Values a, Values b) { return a - b; }
  static PROXKIT_LANE Values mul(Values a, Values b) { return a * b; }
  static PROXKIT_LANE Values div(Values a, Values b) { return a / b; }
  static PROXKIT_LANE Values sqrt(Values v) { return std::sqrt(v); }
  static PROXKIT_LANE Values abs(Values v) { return std::fabs(v); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return a >= b; }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return a > b; }
  static PROXKIT_LANE Mask less(Values a, Values b) { return a < b; }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return a == b; }
  static PROXKIT_LANE Mask mask_not(Mask a) { return !a; }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return a && b; }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return a || b; }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return a && !b; }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return m ? a : b; }
  static PROXKIT_LANE Values round_down(Values v) { return std::floor(v); }
  static PROXKIT_LANE Values round_up(Values v) { return std::ceil(v); }
  static PROXKIT_LANE void store_indices(std::size_t* p, Values v) { *p = static_cast<std::size_t>(v); }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return sum + (keep ? v : T{0}); }
  static PROXKIT_LANE bool any(Mask m) { return m; }
  static PROXKIT_LANE void transpose(Values*) {}
  static PROXKIT_LANE void prefetch([[maybe_unused]] const T* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#endif
  }
};
using One = Scalar<double>;
using OneFloat = Scalar<float>;

}  // namespace proxkit::lanes

// SSE2 on every x86 build (the 32-bit ones ask for it, scalar arithmetic
// included); GCC's and clang's generic vectors on the other processors.
#if PROXKIT_X86_SETS || defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define PROXKIT_SSE2_LANES 1
#include "core/lanes_x86.h"
#define PROXKIT_GENERIC_LANES 0
#elif defined(__GNUC__) || defined(__clang__)
#define PROXKIT_SSE2_LANES 0
#define PROXKIT_GENERIC_LANES 1
#include "core/lanes_generic.h"
#else
#define PROXKIT_SSE2_LANES 0
#define PROXKIT_GENERIC_LANES 0
#endif
#if PROXKIT_NEON_SET
#include "core/lanes_neon.h"
#endif

#endif
