// rowball: [P, theta, iterations] = rowball (X, m, n, t)
//
// Projects every row of X, read as an m-by-n matrix, onto the l1 ball of
// radius t; theta and iterations are m-by-1 columns holding each row's
// threshold and count of threshold iterations.  m and n are truncated toward
// zero; only the first element of m, n and t is read.  A negative t prints
// "\n t should be nonnegative!" and returns all-zero results.
//
// There is no exact argument count: inputs after the fourth are ignored, and
// results are created for as many slots as the host provides, in order, up to
// three and at least one.  Deliberate deviations, all refused before anything
// is created:
//  - fewer than four inputs: "Usage: [P, theta, iterations] = rowball (X, m, n, t)";
//  - X, m, n or t not a real, full double array, or m, n or t empty
//    ("<name> must have at least one element.");
//  - m or n outside 0 ... 2147483647 after truncation, or NaN
//    ("m must be a count from 0 to 2147483647.", likewise for n);
//  - X holding fewer than m*n elements ("X must have at least m*n elements.").
// The threshold loop also ends where rounding would keep it going forever;
// see rowball.h.
#include "rowball/rowball.h"

#include <algorithm>
#include <cstdint>

#include "gateway/gateway.h"

namespace {

using namespace proxkit::gateway;

// The first element of a real, full, non-empty double array.
double first_element(proxkit::host::Argument a, const char* name) {
  const DoubleArray values = full_double(a, name);
  require_element(values, name);
  return values.data[0];
}

// A dimension argument, truncated toward zero to a non-negative 32-bit count.
std::int32_t dimension(proxkit::host::Argument a, const char* name) {
  const double value = first_element(a, name);
  if (!(value > -1.0 && value < 2147483648.0)) raise_about(name, "%s must be a count from 0 to 2147483647.");
  return static_cast<std::int32_t>(value);
}

}  // namespace

PROXKIT_GATEWAY(rowball) {
  enum { IN_X, IN_M, IN_N, IN_T, N_IN };
  enum { OUT_P, OUT_THETA, OUT_ITERATIONS, N_OUT };
  require(nrhs >= N_IN, "Usage: [P, theta, iterations] = rowball (X, m, n, t)");
  const DoubleArray X = full_double(prhs[IN_X], "X");
  const std::int32_t m = dimension(prhs[IN_M], "m");
  const std::int32_t n = dimension(prhs[IN_N], "n");
  const double t = first_element(prhs[IN_T], "t");
  require(static_cast<std::uint64_t>(m) * static_cast<std::uint64_t>(n) <= X.size,
          "X must have at least m*n elements.");

  const int results = std::clamp(nlhs, 1, static_cast<int>(N_OUT));
  double* P = create_result(plhs, OUT_P, m, n, Contents::zeros);
  double* theta = results > OUT_THETA ? create_result(plhs, OUT_THETA, m, 1, Contents::zeros) : nullptr;
  double* iterations = results > OUT_ITERATIONS ? create_result(plhs, OUT_ITERATIONS, m, 1, Contents::zeros) : nullptr;
  if (!proxkit::rowball(P, theta, iterations, X.data, m, n, t)) proxkit::host::print("\n t should be nonnegative!");
}
