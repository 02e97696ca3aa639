// pairdot on P1 (r = 20, m = n = 2e4, 1e6 random positions) and nzassign on
// Z1 (a 1e5-by-1e5 sparse matrix with 1e7 stored values).
#include <random>

#include "bench.h"
#include "factor/nzassign.h"
#include "factor/pairdot.h"
#include "reference/literal_factor.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

constexpr std::size_t rank = 20, side = 20000, positions = 1000000;

struct PairdotLoad {
  std::vector<double> Ut, V, iR, iC, out;
  mxArray* host[4];
};

const PairdotLoad& p1() {
  static const PairdotLoad load = [] {
    PairdotLoad l;
    std::mt19937_64 rng(2);
    std::normal_distribution<double> normal;
    l.Ut.resize(rank * side);
    l.V.resize(rank * side);
    for (double& x : l.Ut) x = normal(rng);
    for (double& x : l.V) x = normal(rng);
    l.iR.resize(positions);
    l.iC.resize(positions);
    for (double& i : l.iR) i = static_cast<double>(rng() % side + 1);
    for (double& i : l.iC) i = static_cast<double>(rng() % side + 1);
    l.out.assign(positions, 0.0);
    l.host[0] = standin::make_double(rank, side, l.Ut);
    l.host[1] = standin::make_double(rank, side, l.V);
    l.host[2] = standin::make_row(l.iR);
    l.host[3] = standin::make_row(l.iC);
    return l;
  }();
  return load;
}

struct NzassignLoad {
  std::vector<double> values, v;
  mxArray* host[2];
};

NzassignLoad& z1() {
  static NzassignLoad load = [] {
    const std::size_t stored = 10000000;
    NzassignLoad l;
    l.values.assign(stored, 1.0);
    l.v = segment_vector();
    l.host[0] = standin::make_sparse(100000, 100000, stored, l.values);
    l.host[1] = standin::make_column(l.v);
    return l;
  }();
  return load;
}

const bool registered = [] {
  const double index_bytes = 2.0 * positions * sizeof(double), out_bytes = positions * sizeof(double);
  const double factor_bytes = 2.0 * positions * rank * sizeof(double);
  add({"pairdot", "P1", index_bytes + out_bytes + factor_bytes, Bound{index_bytes + factor_bytes, out_bytes, 0, false},
       [] {
         const PairdotLoad& l = p1();
         pairdot(l.Ut.data(), l.V.data(), rank, l.iR.data(), l.iC.data(), positions, const_cast<double*>(l.out.data()));
       },
       [] {
         const PairdotLoad& l = p1();
         literal::pairdot<literal::Plain>(l.Ut.data(), l.V.data(), rank, l.iR.data(), l.iC.data(), positions,
                          const_cast<double*>(l.out.data()));
       },
       plugin_call("pairdot", [] {
         const PairdotLoad& l = p1();
         return std::vector<const mxArray*>(l.host, l.host + 4);
       })});

  const double copy_bytes = 1e7 * sizeof(double);
  add({"nzassign", "Z1", 2 * copy_bytes, Bound{0, copy_bytes, 0, false},
       [] {
         NzassignLoad& l = z1();
         nzassign(l.values.data(), l.v.data(), l.v.size());
       },
       [] {
         NzassignLoad& l = z1();
         literal::nzassign(l.values.data(), l.v.data(), l.v.size());
       },
       plugin_call(
           "nzassign",
           [] {
             NzassignLoad& l = z1();
             return std::vector<const mxArray*>(l.host, l.host + 2);
           },
           0)});
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
