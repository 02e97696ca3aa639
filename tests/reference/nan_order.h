// The arithmetic of the literal references, in two kinds, on doubles or
// floats.  InOrder, which
// the tests compare against, gives every NaN result its bits: where both
// operands of an addition or a multiplication are NaN, the stated formula's
// first one, quieted (x86 and Arm return it for quiet NaNs), decided with
// the bits alone, so that it holds whatever order a compiler gives the
// operands (with one NaN operand the order does not matter).  Plain, which
// the benchmarks time, is the operators as written: the loops a user
// would write.
#ifndef PROXKIT_TESTS_NAN_ORDER_H
#define PROXKIT_TESTS_NAN_ORDER_H

#include <cstdint>
#include <cstring>

namespace proxkit::literal {

inline std::uint64_t bits_of(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline std::uint32_t bits_of(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline bool is_nan_bits(double x) { return (bits_of(x) & ~(std::uint64_t{1} << 63)) > 0x7ff0000000000000; }

inline bool is_nan_bits(float x) { return (bits_of(x) & ~(std::uint32_t{1} << 31)) > 0x7f800000; }

inline double quiet(double x) {
  const std::uint64_t b = bits_of(x) | std::uint64_t{1} << 51;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

inline float quiet(float x) {
  const std::uint32_t b = bits_of(x) | std::uint32_t{1} << 22;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

template <class T>
T first_of_two_nans(T a, T b, T result) {
  return is_nan_bits(a) && is_nan_bits(b) ? quiet(a) : result;
}

struct InOrder {
  template <class T>
  static T add(T a, T b) {
    const T sum = a + b;
    return sum == sum ? sum : first_of_two_nans(a, b, sum);
  }
  template <class T>
  static T mul(T a, T b) {
    const T product = a * b;
    return product == product ? product : first_of_two_nans(a, b, product);
  }
};

struct Plain {
  template <class T>
  static T add(T a, T b) {
    return a + b;
  }
  template <class T>
  static T mul(T a, T b) {
    return a * b;
  }
};

}  // namespace proxkit::literal

#endif
