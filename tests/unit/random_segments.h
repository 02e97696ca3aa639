// Random vectors, segment tables and parameters for the cross-checks of the
// segment kernels against their literal references: extreme values in the
// vector, and tables with fractional, overlapping, decreasing, negative and
// non-finite entries (the last one kept within the vector, as the gateway
// requires).
#ifndef PROXKIT_TESTS_RANDOM_SEGMENTS_H
#define PROXKIT_TESTS_RANDOM_SEGMENTS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace proxkit::testing {

// A quiet NaN of either sign with one of several payloads: where two NaNs
// meet, the result's sign and payload show which one a path kept.
template <class Rng>
double random_nan(Rng& rng) {
  const std::uint64_t payloads[] = {0, 1, 0x5a5a5, 0x7ffffffffffff};
  const std::uint64_t bits = (rng() % 2 ? std::uint64_t{1} << 63 : 0) | 0x7ff8000000000000 | payloads[rng() % 4];
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

inline std::uint32_t bits(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// Bit-for-bit equality of floats, as same_bits of doubles (plugin_test.h); a
// template, so that a braced list still names the doubles' form.
template <class T>
::testing::AssertionResult same_bits(const std::vector<T>& expected, const std::vector<T>& actual) {
  if (expected.size() != actual.size())
    return ::testing::AssertionFailure() << "sizes differ: " << expected.size() << " vs " << actual.size();
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (bits(expected[i]) != bits(actual[i]))
      return ::testing::AssertionFailure() << "element " << i << ": expected " << expected[i] << " (0x" << std::hex
                                           << bits(expected[i]) << "), got " << actual[i] << " (0x" << bits(actual[i])
                                           << ")";
  return ::testing::AssertionSuccess();
}

class RandomSegments {
 public:
  explicit RandomSegments(std::uint64_t seed) : rng_(seed) {}

  std::vector<double> vect() { return vect(rng_() % 40); }

  std::vector<double> table(std::size_t n) {
    if (rng_() % 3 == 0) return partition(n);
    std::vector<double> table(rng_() % 8);
    for (double& b : table) {
      switch (rng_() % 6) {
        case 0: b = std::floor(unit_(rng_) * (n + 1)); break;
        case 1: b = unit_(rng_) * (n + 3) - 1.5; break;  // fractional, sometimes outside
        case 2: b = extreme(); break;
        default: b = static_cast<double>(rng_() % (n + 1)); break;
      }
    }
    if (!table.empty() && table.back() > static_cast<double>(n)) table.back() = static_cast<double>(n);
    return table;
  }

  // A well-formed table as a solver passes: segments of unequal lengths,
  // nearly all non-empty, so that batches of eight segments share a common
  // length and each segment has a rest of its own.
  std::vector<double> partition(std::size_t n) {
    std::vector<double> table{0.0};
    while (table.back() < static_cast<double>(n) && table.size() < 40) {
      const std::size_t length = rng_() % 12 == 0 ? 0 : 1 + rng_() % 6;
      table.push_back(std::min(static_cast<double>(n), table.back() + static_cast<double>(length)));
    }
    return table;
  }

  // Many segments of lengths 0 to 40 and some long ones, over a vector of
  // their total length (sometimes a little more); a few entries replaced by
  // fractional, decreasing or far-out ones.
  std::vector<double> long_table() {
    std::vector<double> table{static_cast<double>(rng_() % 3)};
    for (std::size_t k = rng_() % 80; k > 0; --k) {
      const std::size_t length = rng_() % 16 == 0 ? 41 + rng_() % 400 : rng_() % 41;
      table.push_back(table.back() + static_cast<double>(length));
    }
    for (std::size_t k = table.size() > 1 ? rng_() % 4 : 0; k > 0; --k) {
      double& b = table[rng_() % (table.size() - 1)];
      switch (rng_() % 3) {
        case 0: b = b + unit_(rng_) * 30 - 15; break;
        case 1: b = extreme(); break;
        default: b = std::ldexp(1.0, 30 + static_cast<int>(rng_() % 40)); break;
      }
    }
    return table;
  }

  std::vector<double> vect(std::size_t n) {
    std::vector<double> v(n);
    for (double& x : v) x = rng_() % 10 == 0 ? extreme() : normal_(rng_) * std::pow(10.0, rng_() % 7 - 3.0);
    return v;
  }

  // Zero of either sign, negative, non-finite, or of any magnitude.
  double rho() {
    switch (rng_() % 4) {
      case 0: return extreme();
      case 1: return -unit_(rng_);
      default: return unit_(rng_) * std::pow(10.0, rng_() % 5 - 2.0);
    }
  }

 private:
  double extreme() {
    const double inf = std::numeric_limits<double>::infinity();
    const double extremes[] = {0.0, -0.0, inf, -inf, 1e200, 1e-160, 4.9e-324};
    return rng_() % 8 == 0 ? random_nan(rng_) : extremes[rng_() % 7];
  }

  std::mt19937_64 rng_;
  std::normal_distribution<double> normal_;
  std::uniform_real_distribution<double> unit_;
};

}  // namespace proxkit::testing

#endif
