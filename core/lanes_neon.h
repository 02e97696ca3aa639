// The lane structs of 64-bit Arm (core/lanes.h): NEON's two doubles and
// four floats, which every such processor has.  Arm returns the first operand's NaN too
// (core/nan_rule.h), and Linux and macOS run it with NaNs propagated, not
// replaced by a default one.
#ifndef PROXKIT_LANES_NEON_H
#define PROXKIT_LANES_NEON_H

#include <arm_neon.h>

#include <cstddef>
#include <cstdint>

namespace proxkit::lanes {

struct Neon {
  static constexpr std::size_t width = 2;
  using Values = float64x2_t;
  using Mask = uint64x2_t;  // all ones or all zeros per lane
  static PROXKIT_LANE Values load(const double* p) { return vld1q_f64(p); }
  static PROXKIT_LANE void store(double* p, Values v) { vst1q_f64(p, v); }
  static PROXKIT_LANE Values load_first(const double* p, std::size_t count) {
    return count >= 2 ? vld1q_f64(p) : count == 1 ? vsetq_lane_f64(*p, vdupq_n_f64(0.0), 0) : vdupq_n_f64(0.0);
  }
  static PROXKIT_LANE void store_first(double* p, std::size_t count, Values v) {
    if (count >= 2)
      vst1q_f64(p, v);
    else if (count == 1)
      vst1q_lane_f64(p, v, 0);
  }
  static PROXKIT_LANE Values splat(double v) { return vdupq_n_f64(v); }
  static PROXKIT_LANE Values add(Values a, Values b) { return vaddq_f64(a, b); }
  static PROXKIT_LANE Values sub(Values a, Values b) { return vsubq_f64(a, b); }
  static PROXKIT_LANE Values mul(Values a, Values b) { return vmulq_f64(a, b); }
  static PROXKIT_LANE Values div(Values a, Values b) { return vdivq_f64(a, b); }
  static PROXKIT_LANE Values sqrt(Values v) { return vsqrtq_f64(v); }
  static PROXKIT_LANE Values abs(Values v) { return vabsq_f64(v); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return vcgeq_f64(a, b); }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return vcgtq_f64(a, b); }
  static PROXKIT_LANE Mask less(Values a, Values b) { return vcltq_f64(a, b); }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return vceqq_f64(a, b); }
  static PROXKIT_LANE Mask mask_not(Mask a) { return vreinterpretq_u64_u32(vmvnq_u32(vreinterpretq_u32_u64(a))); }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return vandq_u64(a, b); }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return vorrq_u64(a, b); }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return vbicq_u64(a, b); }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return vbslq_f64(m, a, b); }
  static PROXKIT_LANE Values round_down(Values v) { return vrndmq_f64(v); }
  static PROXKIT_LANE Values round_up(Values v) { return vrndpq_f64(v); }
  static PROXKIT_LANE void store_indices(std::size_t* p, Values v) {
    static_assert(sizeof(std::size_t) == sizeof(std::uint64_t));
    vst1q_u64(reinterpret_cast<std::uint64_t*>(p), vcvtq_u64_f64(v));
  }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return vaddq_f64(sum, vreinterpretq_f64_u64(vandq_u64(keep, vreinterpretq_u64_f64(v))));
  }
  static PROXKIT_LANE bool any(Mask m) { return (vgetq_lane_u64(m, 0) | vgetq_lane_u64(m, 1)) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
    const Values low = vzip1q_f64(r[0], r[1]);
    r[1] = vzip2q_f64(r[0], r[1]);
    r[0] = low;
  }
  static PROXKIT_LANE void prefetch(const double* p) { __builtin_prefetch(p); }
};

struct NeonFloat {
  static constexpr std::size_t width = 4;
  using Values = float32x4_t;
  using Mask = uint32x4_t;  // all ones or all zeros per lane
  static PROXKIT_LANE Values load(const float* p) { return vld1q_f32(p); }
  static PROXKIT_LANE void store(float* p, Values v) { vst1q_f32(p, v); }
  static PROXKIT_LANE Values load_first(const float* p, std::size_t count) {
    if (count >= 4) return vld1q_f32(p);
    Values v = vdupq_n_f32(0.0f);
    if (count >= 1) v = vld1q_lane_f32(p, v, 0);
    if (count >= 2) v = vld1q_lane_f32(p + 1, v, 1);
    if (count >= 3) v = vld1q_lane_f32(p + 2, v, 2);
    return v;
  }
  static PROXKIT_LANE void store_first(float* p, std::size_t count, Values v) {
    if (count >= 4) return vst1q_f32(p, v);
    if (count >= 1) vst1q_lane_f32(p, v, 0);
    if (count >= 2) vst1q_lane_f32(p + 1, v, 1);
    if (count >= 3) vst1q_lane_f32(p + 2, v, 2);
  }
  static PROXKIT_LANE Values splat(float v) { return vdupq_n_f32(v); }
  static PROXKIT_LANE Values add(Values a, Values b) { return vaddq_f32(a, b); }
  static PROXKIT_LANE Values sub(Values a, Values b) { return vsubq_f32(a, b); }
  static PROXKIT_LANE Values mul(Values a, Values b) { return vmulq_f32(a, b); }
  static PROXKIT_LANE Values div(Values a, Values b) { return vdivq_f32(a, b); }
  static PROXKIT_LANE Values sqrt(Values v) { return vsqrtq_f32(v); }
  static PROXKIT_LANE Values abs(Values v) { return vabsq_f32(v); }
  static PROXKIT_LANE Mask at_least(Values a, Values b) { return vcgeq_f32(a, b); }
  static PROXKIT_LANE Mask greater(Values a, Values b) { return vcgtq_f32(a, b); }
  static PROXKIT_LANE Mask less(Values a, Values b) { return vcltq_f32(a, b); }
  static PROXKIT_LANE Mask equal(Values a, Values b) { return vceqq_f32(a, b); }
  static PROXKIT_LANE Mask mask_not(Mask a) { return vmvnq_u32(a); }
  static PROXKIT_LANE Mask mask_and(Mask a, Mask b) { return vandq_u32(a, b); }
  static PROXKIT_LANE Mask mask_or(Mask a, Mask b) { return vorrq_u32(a, b); }
  static PROXKIT_LANE Mask mask_and_not(Mask a, Mask b) { return vbicq_u32(a, b); }
  static PROXKIT_LANE Values select(Mask m, Values a, Values b) { return vbslq_f32(m, a, b); }
  static PROXKIT_LANE Values add_kept(Values sum, Mask keep, Values v) {
    return vaddq_f32(sum, vreinterpretq_f32_u32(vandq_u32(keep, vreinterpretq_u32_f32(v))));
  }
  static PROXKIT_LANE bool any(Mask m) { return vmaxvq_u32(m) != 0; }
  static PROXKIT_LANE void transpose(Values* r) {
    // Values 0 2 and 1 3 of rows 0 1 and of rows 2 3, then their halves side
    // by side.
    const float64x2_t t0 = vreinterpretq_f64_f32(vtrn1q_f32(r[0], r[1]));
    const float64x2_t t1 = vreinterpretq_f64_f32(vtrn2q_f32(r[0], r[1]));
    const float64x2_t t2 = vreinterpretq_f64_f32(vtrn1q_f32(r[2], r[3]));
    const float64x2_t t3 = vreinterpretq_f64_f32(vtrn2q_f32(r[2], r[3]));
    r[0] = vreinterpretq_f32_f64(vzip1q_f64(t0, t2));
    r[1] = vreinterpretq_f32_f64(vzip1q_f64(t1, t3));
    r[2] = vreinterpretq_f32_f64(vzip2q_f64(t0, t2));
    r[3] = vreinterpretq_f32_f64(vzip2q_f64(t1, t3));
  }
  static PROXKIT_LANE void prefetch(const float* p) { __builtin_prefetch(p); }
};

}  // namespace proxkit::lanes

#endif
