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
#include <type_traits>
#include <vector>

#include "unit/same_bits.h"

namespace proxkit::testing {

// A quiet NaN of either sign with one of several payloads: where two NaNs
// meet, the result's sign and payload show which one a path kept.
template <class T = double, class Rng>
T random_nan(Rng& rng) {
  if constexpr (std::is_same_v<T, float>) {
    const std::uint32_t payloads[] = {0, 1, 0x5a5a5, 0x3fffff};
    const std::uint32_t bits = (rng() % 2 ? std::uint32_t{1} << 31 : 0) | 0x7fc00000 | payloads[rng() % 4];
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
  } else {
    const std::uint64_t payloads[] = {0, 1, 0x5a5a5, 0x7ffffffffffff};
    const std::uint64_t bits = (rng() % 2 ? std::uint64_t{1} << 63 : 0) | 0x7ff8000000000000 | payloads[rng() % 4];
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
  }
}

// Zero of either sign, infinite, of a square that overflows or underflows,
// subnormal, or NaN, in T.
template <class T = double, class Rng>
T random_extreme(Rng& rng) {
  const T inf = std::numeric_limits<T>::infinity();
  const T big = std::is_same_v<T, float> ? T(1e30) : T(1e200), tiny = std::is_same_v<T, float> ? T(1e-25) : T(1e-160);
  const T extremes[] = {T{0}, -T{0}, inf, -inf, big, tiny, std::numeric_limits<T>::denorm_min()};
  return rng() % 8 == 0 ? random_nan<T>(rng) : extremes[rng() % 7];
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

  template <class T = double>
  std::vector<T> vect(std::size_t n) {
    std::vector<T> v(n);
    for (T& x : v)
      x = rng_() % 10 == 0 ? random_extreme<T>(rng_) : static_cast<T>(normal_(rng_) * std::pow(10.0, rng_() % 7 - 3.0));
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
  double extreme() { return random_extreme(rng_); }

  std::mt19937_64 rng_;
  std::normal_distribution<double> normal_;
  std::uniform_real_distribution<double> unit_;
};

}  // namespace proxkit::testing

#endif
