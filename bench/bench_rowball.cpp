// rowball on R1 (X 1e4-by-1e3) and R2 (X 1e5-by-100), t = 1, and on R3, the
// matrix of R1 with a middle radius: a quarter of its mean row l1 norm, where
// most rows keep a large active set through their iterations.
#include <cmath>
#include <random>

#include "bench.h"
#include "reference/literal_rowball.h"
#include "rowball/rowball.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

struct RowballLoad {
  std::size_t m, n;
  std::vector<double> X, P, theta, iterations;
  mxArray* host[3];  // X, m, n
};

RowballLoad make_load(std::size_t m, std::size_t n, std::uint64_t seed) {
  RowballLoad l{m, n, {}, {}, {}, {}, {}};
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal;
  l.X.resize(m * n);
  for (double& x : l.X) x = normal(rng);
  l.P.assign(m * n, 0.0);
  l.theta.assign(m, 0.0);
  l.iterations.assign(m, 0.0);
  l.host[0] = standin::make_double(m, n, l.X);
  l.host[1] = standin::make_scalar(static_cast<double>(m));
  l.host[2] = standin::make_scalar(static_cast<double>(n));
  return l;
}

RowballLoad& r1() {
  static RowballLoad load = make_load(10000, 1000, 3);
  return load;
}
RowballLoad& r2() {
  static RowballLoad load = make_load(100000, 100, 4);
  return load;
}

double unit_radius() { return 1.0; }
double quarter_of_r1_mean_row_norm() {
  static const double t = [] {
    const RowballLoad& l = r1();
    double total = 0.0;
    for (double x : l.X) total += std::fabs(x);
    return total / static_cast<double>(l.m) / 4.0;
  }();
  return t;
}

void add_rowball(const char* name, RowballLoad& (*load)(), double (*radius)()) {
  const double bytes = 1e7 * sizeof(double);
  add({"rowball", name, 2 * bytes, Bound{0, bytes, 0, false},
       [load, radius] {
         RowballLoad& l = load();
         rowball(l.P.data(), l.theta.data(), l.iterations.data(), l.X.data(), static_cast<std::int32_t>(l.m),
                 static_cast<std::int32_t>(l.n), radius());
       },
       [load, radius] {
         RowballLoad& l = load();
         literal::rowball(l.P.data(), l.theta.data(), l.iterations.data(), l.X.data(), l.m, l.n, radius(), 1e-8);
       },
       plugin_call(
           "rowball",
           [load, radius] {
             RowballLoad& l = load();
             return std::vector<const mxArray*>{l.host[0], l.host[1], l.host[2], standin::make_scalar(radius())};
           },
           3)});
}

const bool registered = [] {
  add_rowball("R1", r1, unit_radius);
  add_rowball("R2", r2, unit_radius);
  add_rowball("R3", r1, quarter_of_r1_mean_row_norm);
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
