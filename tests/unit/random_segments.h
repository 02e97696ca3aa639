// Random vectors, segment tables and parameters for the cross-checks of the
// segment kernels against their literal references: extreme values in the
// vector, and tables with fractional, overlapping, decreasing, negative and
// non-finite entries (the last one kept within the vector, as the gateway
// requires).
#ifndef PROXKIT_TESTS_RANDOM_SEGMENTS_H
#define PROXKIT_TESTS_RANDOM_SEGMENTS_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace proxkit::testing {

class RandomSegments {
 public:
  explicit RandomSegments(std::uint64_t seed) : rng_(seed) {}

  std::vector<double> vect() {
    std::vector<double> v(rng_() % 40);
    for (double& x : v) x = rng_() % 10 == 0 ? extreme() : normal_(rng_) * std::pow(10.0, rng_() % 7 - 3.0);
    return v;
  }

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

  // A well-formed table of up to 30 segments of unequal lengths (some empty),
  // as a solver passes: enough segments to fill several batches.
  std::vector<double> partition(std::size_t n) {
    std::vector<double> table(rng_() % 31 + 1);
    for (double& b : table) b = static_cast<double>(rng_() % (n + 1));
    std::sort(table.begin(), table.end());
    return table;
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
    const double extremes[] = {0.0, -0.0, inf, -inf, std::nan(""), 1e200, 1e-160, 4.9e-324};
    return extremes[rng_() % 8];
  }

  std::mt19937_64 rng_;
  std::normal_distribution<double> normal_;
  std::uniform_real_distribution<double> unit_;
};

}  // namespace proxkit::testing

#endif
