// Literal references of the segment kernels: the simplest loops that do
// what the stated algorithms say, position by position, with the end of each
// segment compared in double.  Independent of the production segment walk;
// kept for tests and benchmarks only.
#ifndef PROXKIT_TESTS_LITERAL_SEGMENTS_H
#define PROXKIT_TESTS_LITERAL_SEGMENTS_H

#include <cmath>
#include <cstddef>

namespace proxkit::literal {

// Calls visit(k, i) for each position i of each segment k, in order.  Starts
// that name no position give empty segments and positions stop at n, the
// toolbox's documented safe reading of any table.
template <class Visit>
void walk(const double* b, std::size_t K, std::size_t n, Visit&& visit) {
  for (std::size_t k = 0; k + 1 < K; ++k) {
    if (!(b[k] > -1.0 && b[k] < 9223372036854775808.0)) continue;
    const std::size_t start = b[k] <= 0.0 ? 0 : static_cast<std::size_t>(b[k]);
    for (std::size_t i = start; static_cast<double>(i) < b[k + 1] && i < n; ++i) visit(k, i);
  }
}

// The sum of squares of every segment, in table order (one entry per
// segment, empty segments included).
inline void segment_squares(const double* vect, const double* b, std::size_t K, std::size_t n, double* squares) {
  for (std::size_t k = 0; k + 1 < K; ++k) squares[k] = 0.0;
  walk(b, K, n, [&](std::size_t k, std::size_t i) { squares[k] = squares[k] + vect[i] * vect[i]; });
}

inline double grpnorm(const double* vect, std::size_t n, const double* b, std::size_t K) {
  double out = 0.0;
  for (std::size_t k = 0; k + 1 < K; ++k) {
    double s = 0.0;
    walk(b + k, 2, n, [&](std::size_t, std::size_t i) { s = s + vect[i] * vect[i]; });
    out = std::sqrt(s) + out;
  }
  return out;
}

}  // namespace proxkit::literal

#endif
