// Bit-for-bit equality of doubles or floats for the unit tests: tells -0.0
// from 0.0 and compares NaN payloads.
#ifndef PROXKIT_TESTS_SAME_BITS_H
#define PROXKIT_TESTS_SAME_BITS_H

#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>
#include <vector>

#include "reference/nan_order.h"

namespace proxkit::testing {

using literal::bits_of;

template <class T>
auto bits(T x) {
  return bits_of(x);
}

template <class T>
::testing::AssertionResult same_bits(const std::vector<T>& expected, const std::vector<T>& actual) {
  if (expected.size() != actual.size())
    return ::testing::AssertionFailure() << "sizes differ: " << expected.size() << " vs " << actual.size();
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (bits(expected[i]) != bits(actual[i])) {
      // One stream, so that std::hex holds for both (a failure streams each
      // value into a stream of its own).
      std::ostringstream text;
      text << "element " << i << ": expected " << expected[i] << " (0x" << std::hex << bits(expected[i]) << "), got "
           << actual[i] << " (0x" << bits(actual[i]) << ")";
      return ::testing::AssertionFailure() << text.str();
    }
  return ::testing::AssertionSuccess();
}

// A braced list of values names the doubles' form.
inline ::testing::AssertionResult same_bits(const std::vector<double>& expected, const std::vector<double>& actual) {
  return same_bits<double>(expected, actual);
}

}  // namespace proxkit::testing

#endif
