// Which NaN a result carries.  An operation with one NaN operand returns
// that NaN with its quiet bit set, on every processor; with two, x86 and Arm
// both return the first operand's (for quiet NaNs), so the stated formulas,
// read in their written order, name the bits of every NaN result.  Compilers
// do not keep that order: they swap the operands of an addition or a
// multiplication at will, and differently in each instruction set's code.
// So wherever two NaNs can meet, the kernels choose the first operand's NaN
// themselves, once a result is NaN (a rare branch, off the chains of
// additions); everywhere else at most one operand is NaN and the order is
// free.
// Plain code: no host is involved.
#ifndef PROXKIT_NAN_RULE_H
#define PROXKIT_NAN_RULE_H

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace proxkit {

// The NaN that an operation returns for the NaN x: x with its quiet bit set
// (the highest bit of the fraction: bit 51 of a double, 22 of a float).
template <class T>
inline T quieted(T x) {
  using Bits = std::conditional_t<sizeof(T) == sizeof(std::uint64_t), std::uint64_t, std::uint32_t>;
  static_assert(sizeof(Bits) == sizeof(T));
  Bits bits;
  std::memcpy(&bits, &x, sizeof bits);
  bits |= Bits{1} << (std::numeric_limits<T>::digits - 2);
  std::memcpy(&x, &bits, sizeof bits);
  return x;
}

// a * b, a's NaN when a is NaN.
template <class T>
inline T product_in_order(T a, T b) {
  return a != a ? quieted(a) : a * b;
}

}  // namespace proxkit

#endif
