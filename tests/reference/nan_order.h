// The arithmetic of the literal references, in two kinds.  InOrder, which
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

inline bool is_nan_bits(double x) { return (bits_of(x) & ~(std::uint64_t{1} << 63)) > 0x7ff0000000000000; }

inline double quiet(double x) {
  const std::uint64_t b = bits_of(x) | std::uint64_t{1} << 51;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

inline double first_of_two_nans(double a, double b, double result) {
  return is_nan_bits(a) && is_nan_bits(b) ? quiet(a) : result;
}

struct InOrder {
  static double add(double a, double b) {
    const double sum = a + b;
    return sum == sum ? sum : first_of_two_nans(a, b, sum);
  }
  static double mul(double a, double b) {
    const double product = a * b;
    return product == product ? product : first_of_two_nans(a, b, product);
  }
};

struct Plain {
  static double add(double a, double b) { return a + b; }
  static double mul(double a, double b) { return a * b; }
};

}  // namespace proxkit::literal

#endif
