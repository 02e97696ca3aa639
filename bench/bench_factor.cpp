// pairdot on P1 (r = 20, m = n = 2e4, 1e6 random positions) and nzassign on
// Z1 (a 1e5-by-1e5 sparse matrix with 1e7 stored values), in double and in
// single (P1-single: the same factors rounded; Z1-single: the values of a
// full single S, as the kernel sees them either way).
#include <random>
#include <string>

#include "bench.h"
#include "factor/nzassign.h"
#include "factor/pairdot.h"
#include "reference/literal_factor.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

constexpr std::size_t rank = 20, side = 20000, positions = 1000000;

template <class T>
struct PairdotLoad {
  std::vector<T> Ut, V, out;
  std::vector<double> iR, iC;
  mxArray* host[4];
};

template <class T>
const PairdotLoad<T>& p1() {
  static const PairdotLoad<T> load = [] {
    PairdotLoad<T> l;
    std::mt19937_64 rng(2);
    std::normal_distribution<double> normal;
    l.Ut.resize(rank * side);
    l.V.resize(rank * side);
    for (T& x : l.Ut) x = static_cast<T>(normal(rng));
    for (T& x : l.V) x = static_cast<T>(normal(rng));
    l.iR.resize(positions);
    l.iC.resize(positions);
    for (double& i : l.iR) i = static_cast<double>(rng() % side + 1);
    for (double& i : l.iC) i = static_cast<double>(rng() % side + 1);
    l.out.assign(positions, T{0});
    if constexpr (sizeof(T) == sizeof(double)) {
      l.host[0] = standin::make_double(rank, side, l.Ut);
      l.host[1] = standin::make_double(rank, side, l.V);
      l.host[2] = standin::make_row(l.iR);
      l.host[3] = standin::make_row(l.iC);
    }
    return l;
  }();
  return load;
}

template <class T>
struct NzassignLoad {
  std::vector<T> values, v;
  mxArray* host[2];
};

template <class T>
NzassignLoad<T>& z1() {
  static NzassignLoad<T> load = [] {
    const std::size_t stored = 10000000;
    NzassignLoad<T> l;
    l.values.assign(stored, T{1});
    l.v = values_of_class<T>();
    if constexpr (sizeof(T) == sizeof(double)) {
      l.host[0] = standin::make_sparse(100000, 100000, stored, l.values);
      l.host[1] = standin::make_column(l.v);
    }
    return l;
  }();
  return load;
}

// The single twins have no plug-in run here.
template <class T>
void add_loads() {
  constexpr bool single = sizeof(T) == sizeof(float);
  const double index_bytes = 2.0 * positions * sizeof(double), out_bytes = positions * sizeof(T);
  const double factor_bytes = 2.0 * positions * rank * sizeof(T);
  add({"pairdot", std::string("P1") + class_suffix<T>(), index_bytes + out_bytes + factor_bytes,
       Bound{index_bytes + factor_bytes, out_bytes, 0, false},
       [] {
         const PairdotLoad<T>& l = p1<T>();
         pairdot(l.Ut.data(), l.V.data(), rank, l.iR.data(), l.iC.data(), positions, const_cast<T*>(l.out.data()));
       },
       [] {
         const PairdotLoad<T>& l = p1<T>();
         literal::pairdot<literal::Plain>(l.Ut.data(), l.V.data(), rank, l.iR.data(), l.iC.data(), positions,
                                          const_cast<T*>(l.out.data()));
       },
       single ? nullptr : plugin_call("pairdot", [] {
         const PairdotLoad<T>& l = p1<T>();
         return std::vector<const mxArray*>(l.host, l.host + 4);
       })});

  const double copy_bytes = 1e7 * sizeof(T);
  add({"nzassign", std::string("Z1") + class_suffix<T>(), 2 * copy_bytes, Bound{0, copy_bytes, 0, false},
       [] {
         NzassignLoad<T>& l = z1<T>();
         nzassign(l.values.data(), l.v.data(), l.v.size());
       },
       [] {
         NzassignLoad<T>& l = z1<T>();
         literal::nzassign(l.values.data(), l.v.data(), l.v.size());
       },
       single ? nullptr
              : plugin_call(
                    "nzassign",
                    [] {
                      NzassignLoad<T>& l = z1<T>();
                      return std::vector<const mxArray*>(l.host, l.host + 2);
                    },
                    0)});
}

const bool registered = [] {
  add_loads<double>();
  add_loads<float>();
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
