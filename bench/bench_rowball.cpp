// rowball on R1 (X 1e4-by-1e3) and R2 (X 1e5-by-100), t = 1, and on R3, the
// matrix of R1 with a middle radius: a quarter of its mean row l1 norm, where
// most rows keep a large active set through their iterations.  R1-single, R2-single
// and R3-single are the same in single (X and t rounded to single), with single's
// default rule, beside the double ones in the same run.
#include <cmath>
#include <random>
#include <type_traits>

#include "bench.h"
#include "reference/literal_rowball.h"
#include "rowball/rowball.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

template <class T>
struct RowballLoad {
  std::size_t m, n;
  std::vector<T> X, P, theta, iterations;
  mxArray* host[3];  // X, m, n; double loads only
};

template <class T>
RowballLoad<T> make_load(std::size_t m, std::size_t n, std::uint64_t seed) {
  RowballLoad<T> l{m, n, {}, {}, {}, {}, {}};
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal;
  l.X.resize(m * n);
  for (T& x : l.X) x = static_cast<T>(normal(rng));
  l.P.assign(m * n, 0);
  l.theta.assign(m, 0);
  l.iterations.assign(m, 0);
  if constexpr (std::is_same_v<T, double>) {
    l.host[0] = standin::make_double(m, n, l.X);
    l.host[1] = standin::make_scalar(static_cast<double>(m));
    l.host[2] = standin::make_scalar(static_cast<double>(n));
  }
  return l;
}

template <class T>
RowballLoad<T>& r1() {
  static RowballLoad<T> load = make_load<T>(10000, 1000, 3);
  return load;
}
template <class T>
RowballLoad<T>& r2() {
  static RowballLoad<T> load = make_load<T>(100000, 100, 4);
  return load;
}

double unit_radius() { return 1.0; }
double quarter_of_r1_mean_row_norm() {
  static const double t = [] {
    const RowballLoad<double>& l = r1<double>();
    double total = 0.0;
    for (double x : l.X) total += std::fabs(x);
    return total / static_cast<double>(l.m) / 4.0;
  }();
  return t;
}

// Each class's default rule, as a caller without tol gets it.
template <class T>
void add_rowball(const char* name, RowballLoad<T>& (*load)(), double (*radius)()) {
  const double bytes = 1e7 * sizeof(T);
  const T default_tolerance = std::is_same_v<T, double> ? T(1e-8) : T(0);
  std::function<void()> plugin;
  if constexpr (std::is_same_v<T, double>)
    plugin = plugin_call(
        "rowball",
        [load, radius] {
          RowballLoad<T>& l = load();
          return std::vector<const mxArray*>{l.host[0], l.host[1], l.host[2], standin::make_scalar(radius())};
        },
        3);
  add({"rowball", name, 2 * bytes, Bound{0, bytes, 0, false},
       [load, radius] {
         RowballLoad<T>& l = load();
         rowball(l.P.data(), l.theta.data(), l.iterations.data(), l.X.data(), static_cast<std::int32_t>(l.m),
                 static_cast<std::int32_t>(l.n), static_cast<T>(radius()));
       },
       [load, radius, default_tolerance] {
         RowballLoad<T>& l = load();
         literal::rowball(l.P.data(), l.theta.data(), l.iterations.data(), l.X.data(), l.m, l.n,
                          static_cast<T>(radius()), default_tolerance);
       },
       plugin});
}

const bool registered = [] {
  add_rowball<double>("R1", r1<double>, unit_radius);
  add_rowball<double>("R2", r2<double>, unit_radius);
  add_rowball<double>("R3", r1<double>, quarter_of_r1_mean_row_norm);
  add_rowball<float>("R1-single", r1<float>, unit_radius);
  add_rowball<float>("R2-single", r2<float>, unit_radius);
  add_rowball<float>("R3-single", r1<float>, quarter_of_r1_mean_row_norm);
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
