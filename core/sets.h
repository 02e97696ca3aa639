// The instruction sets of this build as types, and the one place that
// chooses among a kernel's instantiations.
//
// Each set has a namespace, proxkit::<set>, holding its tag type Set, its
// lane structs Lanes (doubles) and FloatLanes (floats), ValueLanes<T> naming
// the one for values of type T (core/lanes.h), and whatever
// core/for_each_set.h compiles there for it.  A kernel passes the tag of the chosen set to its
// per-set functions, which argument-dependent lookup then finds in that
// set's namespace:
//   on_chosen_set([&](auto set) { for_each_segment_norm(set, ...); });
#ifndef PROXKIT_SETS_H
#define PROXKIT_SETS_H

#include <type_traits>

#include "core/instruction_set.h"
#include "core/lanes.h"

namespace proxkit {

namespace lanes {
// The lanes of Double for double values, of Float for float ones.
template <class T, class Double, class Float>
using ForValue = std::conditional_t<std::is_same_v<T, float>, Float, Double>;
}  // namespace lanes

namespace baseline {
struct Set {};
#if PROXKIT_SSE2_LANES
using Lanes = lanes::Sse2;
using FloatLanes = lanes::Sse2Float;
#elif PROXKIT_GENERIC_LANES
using Lanes = lanes::Pair;
using FloatLanes = lanes::Quad;
#else
using Lanes = lanes::One;
using FloatLanes = lanes::OneFloat;
#endif
template <class T>
using ValueLanes = lanes::ForValue<T, Lanes, FloatLanes>;
}  // namespace baseline

#if PROXKIT_X86_SETS
namespace avx2 {
struct Set {};
using Lanes = lanes::Avx2;
using FloatLanes = lanes::Avx2Float;
template <class T>
using ValueLanes = lanes::ForValue<T, Lanes, FloatLanes>;
}  // namespace avx2
namespace avx512 {
struct Set {};
using Lanes = lanes::Avx512;
using FloatLanes = lanes::Avx512Float;
template <class T>
using ValueLanes = lanes::ForValue<T, Lanes, FloatLanes>;
}  // namespace avx512
#endif

#if PROXKIT_NEON_SET
namespace neon {
struct Set {};
using Lanes = lanes::Neon;
using FloatLanes = lanes::NeonFloat;
template <class T>
using ValueLanes = lanes::ForValue<T, Lanes, FloatLanes>;
}  // namespace neon
#endif

// Calls path with the tag of the chosen set (chosen_instruction_set) and
// returns what it returns; path is a generic lambda, instantiated for every
// set of this build.
template <class Path>
decltype(auto) on_chosen_set(Path&& path) {
  switch (chosen_instruction_set()) {
#if PROXKIT_X86_SETS
    case InstructionSet::avx512:
      return path(avx512::Set{});
    case InstructionSet::avx2:
      return path(avx2::Set{});
#endif
#if PROXKIT_NEON_SET
    case InstructionSet::neon:
      return path(neon::Set{});
#endif
    default:
      return path(baseline::Set{});
  }
}

}  // namespace proxkit

#endif
