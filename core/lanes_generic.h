// The lane structs of GCC's and clang's generic vectors (core/lanes.h): two
// doubles and four floats, on any processor these compilers build for; the compiler maps
// them to the processor's own vectors, or to pairs of scalar operations.
// The baseline of every processor without a lane struct of its own, and of
// 64-bit Arm (beside NEON's own).  A comparison gives all ones or all zeros
// per lane, and a cast between vectors of one size keeps the bits.
#ifndef PROXKIT_LANES_GENERIC_H
#define PROXKIT_LANES_GENERIC_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace proxkit::lanes {

struct Pair {
  static constexpr std::size_t width = 2;
  typedef double Values __attribute__((vector_size(16)));
  typedef std::int64_t Mask __attribute__((vector_size(16)));
  static PROXKIT_LANE Values load(const double* p) {
    Values v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static PROXKIT_LANE void store(double* p, Values v) { std::memcpy(p, &v, sizeof v); }
  static PROXKIT_LANE Values load_first(const double* p, std::size_t count) {
    return count >= 2 ? load(p) : Values{count == 1 ? *p : 0.0, 0.0};
  }
  static PROXKIT_LANE void store_first(double* p, std::size_t count, Values v) {
    if (count >= 2)
      store(p, v);
    else if (count == 1)
      *p = v[0];
  }
  static PROXKIT_LANE Values splat(double v) { return Values{v, v}; }
  static PROXKIT_LANE Values add(Values a, Values b) { return a + b; }
  static PROXKIT_LANE Values sub(Values a, Values b) { return a - b; }
  static PROXKIT_LANE Values mul(Values a, Values b) { return a * b; }
  static PROXKIT_LANE Values div(Values a, Values b) { return a / b; }
  static PROXKIT_LANE Values sqrt(Values v) { return Values{__builtin_sqrt(v[0]), __builtin_sqrt(v[1])}; }
  static PROXKIT_LANE Values abs(Values v) { return (Values)((Mask)v & ~(Mask)splat(-0.0)); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return a >= b; }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return a > b; }
  static PROXKIT_LANE Mask less(Values a, Values b) { return a < b; }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return a == b; }
  static PROXKIT_LANE Mask mask_not(Mask a) { return ~a; }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return a & b; }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return a | b; }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return a & ~b; }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return (Values)(((Mask)a & m) | ((Mask)b & ~m)); }
  static PROXKIT_LANE Values round_down(Values v) {
    const Values near = (v + whole_shift) - whole_shift;
    return near - (Values)((Mask)splat(1.0) & (near > v));
  }
  static PROXKIT_LANE Values round_up(Values v) {
    const Values near = (v + whole_shift) - whole_shift;
    return near + (Values)((Mask)splat(1.0) & (near < v));
  }
  static PROXKIT_LANE void store_indices(std::size_t* p, Values v) {
    p[0] = static_cast<std::size_t>(v[0]);
    p[1] = static_cast<std::size_t>(v[1]);
  }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) { return sum + (Values)((Mask)v & keep); }
  static PROXKIT_LANE bool any(Mask m) { return (m[0] | m[1]) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
#if defined(__clang__)
    const Values low = __builtin_shufflevector(r[0], r[1], 0, 2);
    r[1] = __builtin_shufflevector(r[0], r[1], 1, 3);
#else
    const Values low = __builtin_shuffle(r[0], r[1], Mask{0, 2});
    r[1] = __builtin_shuffle(r[0], r[1], Mask{1, 3});
#endif
    r[0] = low;
  }
  static PROXKIT_LANE void prefetch(const double* p) { __builtin_prefetch(p); }
};

struct Quad {
  static constexpr std::size_t width = 4;
  typedef float Values __attribute__((vector_size(16)));
  typedef std::int32_t Mask __attribute__((vector_size(16)));
  static PROXKIT_LANE Values load(const float* p) {
    Values v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static PROXKIT_LANE void store(float* p, Values v) { std::memcpy(p, &v, sizeof v); }
  static PROXKIT_LANE Values load_first(const float* p, std::size_t count) {
    if (count >= 4) return load(p);
    Values v = splat(0.0f);
    for (std::size_t j = 0; j < count; ++j) v[j] = p[j];
    return v;
  }
  static PROXKIT_LANE void store_first(float* p, std::size_t count, Values v) {
    if (count >= 4) return store(p, v);
    for (std::size_t j = 0; j < count; ++j) p[j] = v[j];
  }
  static PROXKIT_LANE Values splat(float v) { return Values{v, v, v, v}; }
  static PROXKIT_LANE Values add(Values a, Values b) { return a + b; }
  static PROXKIT_LANE Values sub(Values a, Values b) { return a - b; }
  static PROXKIT_LANE Values mul(Values a, Values b) { return a * b; }
  static PROXKIT_LANE Values div(Values a, Values b) { return a / b; }
  static PROXKIT_LANE Values sqrt(Values v) {
    return Values{__builtin_sqrtf(v[0]), __builtin_sqrtf(v[1]), __builtin_sqrtf(v[2]), __builtin_sqrtf(v[3])};
  }
  static PROXKIT_LANE Values abs(Values v) { return (Values)((Mask)v & ~(Mask)splat(-0.0f)); }
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
  static PROXKIT_LANE bool any(Mask m) { return (m[0] | m[1] | m[2] | m[3]) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
    // Values 0 1 and 2 3 of rows 0 1 and of rows 2 3, then their halves
    // side by side.
    const Values t0 = shuffle<0, 4, 1, 5>(r[0], r[1]), t1 = shuffle<2, 6, 3, 7>(r[0], r[1]);
    const Values t2 = shuffle<0, 4, 1, 5>(r[2], r[3]), t3 = shuffle<2, 6, 3, 7>(r[2], r[3]);
    r[0] = shuffle<0, 1, 4, 5>(t0, t2);
    r[1] = shuffle<2, 3, 6, 7>(t0, t2);
    r[2] = shuffle<0, 1, 4, 5>(t1, t3);
    r[3] = shuffle<2, 3, 6, 7>(t1, t3);
  }
  static PROXKIT_LANE void prefetch(const float* p) { __builtin_prefetch(p); }

 private:
  // Lanes i, j, k, l of the eight of a then b.
  template <int i, int j, int k, int l>
  static PROXKIT_LANE Values shuffle(Values a, Values b) {
#if defined(__clang__)
    return __builtin_shufflevector(a, b, i, j, k, l);
#else
    return __builtin_shuffle(a, b, Mask{i, j, k, l});
#endif
  }
};

}  // namespace proxkit::lanes

#endif
