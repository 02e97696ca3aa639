// rowball: [P, theta, iterations] = rowball (X, m, n, t, tol)
//
// Projects every row of X, read as an m-by-n matrix, onto the l1 ball of
// radius t; theta and iterations are m-by-1 columns holding each row's
// threshold and count of threshold iterations.  X is double or single, the
// class of all three results; t and the optional tolerance tol may be of
// either class (a double one with single X rounded to single first).  m and
// n are truncated toward zero; only the first element of m, n, t and tol is
// read.  Without tol the kernel's default tolerance of X's class applies.  A
// negative t prints "\n t should be nonnegative!" and returns all-zero
// results.
//
// There is no exact argument count: inputs after the fifth are ignored, and
// results are created for as many slots as the host provides, in order, up to
// three and at least one.  Deliberate deviations, all refused before anything
// is created:
//  - fewer than four inputs: "Usage: [P, theta, iterations] = rowball (X, m, n, t)";
//  - X, t or tol not a real, full double or single array, m or n not a
//    real, full double array, or m, n, t or tol empty
//    ("<name> must have at least one element.");
//  - m or n outside 0 ... 2147483647 after truncation, or NaN
//    ("m must be a count from 0 to 2147483647.", likewise for n);
//  - tol negative or NaN ("tol must be a non-negative number.");
//  - X holding fewer than m*n elements ("X must have at least m*n elements.").
// The threshold loop also ends where rounding would keep it going forever;
// see rowball.h.
#include "rowball/rowball.h"

#include <algorithm>
#include <cstdint>

#include "gateway/gateway.h"

namespace {

using namespace proxkit::gateway;

// A dimension argument, truncated toward zero to a non-negative 32-bit count.
std::int32_t dimension(proxkit::host::Argument a, const char* name) {
  const DoubleArray values = full_double(a, name);
  require_element(values, name);
  const double value = values.data[0];
  if (!(value > -1.0 && value < 2147483648.0)) raise_about(name, "%s must be a count from 0 to 2147483647.");
  return static_cast<std::int32_t>(value);
}

}  // namespace

PROXKIT_GATEWAY(rowball) {
  enum { IN_X, IN_M, IN_N, IN_T, N_IN, IN_TOL = N_IN };
  enum { OUT_P, OUT_THETA, OUT_ITERATIONS, N_OUT };
  require(nrhs >= N_IN, "Usage: [P, theta, iterations] = rowball (X, m, n, t)");
  with_values(value_class(prhs[IN_X], "X"), [&](auto zero) {
    using T = decltype(zero);
    const ValueArray<T> X = storage_of<T>(prhs[IN_X]);
    const std::int32_t m = dimension(prhs[IN_M], "m");
    const std::int32_t n = dimension(prhs[IN_N], "n");
    const T t = static_cast<T>(first_element(prhs[IN_T], "t", true));
    const bool tol_given = nrhs > IN_TOL;
    const double tol = tol_given ? first_element(prhs[IN_TOL], "tol", true) : 0.0;
    require(tol >= 0.0, "tol must be a non-negative number.");
    require(static_cast<std::uint64_t>(m) * static_cast<std::uint64_t>(n) <= X.size,
            "X must have at least m*n elements.");

    const int results = std::clamp(nlhs, 1, static_cast<int>(N_OUT));
    T* P = create_result<T>(plhs, OUT_P, m, n, Contents::zeros);
    T* theta = results > OUT_THETA ? create_result<T>(plhs, OUT_THETA, m, 1, Contents::zeros) : nullptr;
    T* iterations = results > OUT_ITERATIONS ? create_result<T>(plhs, OUT_ITERATIONS, m, 1, Contents::zeros) : nullptr;
    const bool nonnegative = tol_given ? proxkit::rowball(P, theta, iterations, X.data, m, n, t, static_cast<T>(tol))
                                       : proxkit::rowball(P, theta, iterations, X.data, m, n, t);
    if (!nonnegative) proxkit::host::print("\n t should be nonnegative!");
  });
}
