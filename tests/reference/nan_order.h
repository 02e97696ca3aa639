// The NaN of a result, for the literal references: where both operands of
// an addition or a multiplication are NaN, the stated formula's first one,
// quieted (x86 and Arm return it for quiet NaNs).  Decided with the bits
// alone, so that it holds whatever order a compiler gives the operands;
// with one NaN operand the order does not matter.  The rule is applied
// only once a result is NaN, a branch off the chain of additions, so that
// the references keep the speed of the plain loops they stand for.
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

inline double add(double a, double b) {
  const double sum = a + b;
  return sum == sum ? sum : first_of_two_nans(a, b, sum);
}

inline double mul(double a, double b) {
  const double product = a * b;
  return product == product ? product : first_of_two_nans(a, b, product);
}

}  // namespace proxkit::literal

#endif
