// The segment kernels on the standard workloads S1 (segments of 10), S2
// (segments of 1000) and S3 (one segment) over 1e7 values, in double and in
// single (S1-single, ...: the same values rounded).
#include <map>
#include <string>

#include "bench.h"
#include "reference/literal_segments.h"
#include "segment/grpclip.h"
#include "segment/grpnorm.h"
#include "segment/grpshrink.h"
#include "segment/grpsign.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

struct SegmentLoad {
  const char* name;
  std::size_t length;
};
const SegmentLoad loads[] = {{"S1", 10}, {"S2", 1000}, {"S3", 10000000}};

// Host copies of a workload's inputs, made on first use.
const mxArray* host_array(const std::vector<double>& values) {
  static std::map<const void*, mxArray*> arrays;
  mxArray*& a = arrays[&values];
  if (a == nullptr) a = standin::make_column(values);
  return a;
}

const mxArray* host_scalar(double value) {
  static std::map<double, mxArray*> scalars;
  mxArray*& a = scalars[value];
  if (a == nullptr) a = standin::make_scalar(value);
  return a;
}

// The output of the kernel runs, touched once so that each run finds it warm.
template <class T>
T* warm_output() {
  static std::vector<T> out(segment_vector().size(), T{0});
  return out.data();
}

template <class T>
const T* x() {
  return values_of_class<T>().data();
}
std::size_t n() { return segment_vector().size(); }

// A kernel that writes a column: kernel function, literal reference, and the
// plug-in's extra argument (rho) when it has one.
template <class T>
struct ColumnKernel {
  const char* name;
  void (*fast)(const T*, std::size_t, SegmentTable, T, T*);
  void (*literal)(const T*, std::size_t, const double*, std::size_t, T, T*);
  bool takes_rho;
  T rho;
};

template <class T>
void grpclip_fast(const T* v, std::size_t n, SegmentTable t, T, T* out) {
  grpclip(v, n, t, out);
}
template <class T>
void grpclip_literal(const T* v, std::size_t n, const double* b, std::size_t K, T, T* out) {
  literal::grpclip<literal::Plain>(v, n, b, K, out);
}

// The workloads of one load on values of type T; the single ones have no
// plug-in run here.
template <class T>
void add_load(const SegmentLoad& load) {
  constexpr bool single = sizeof(T) == sizeof(float);
  const double vector_bytes = 1e7 * sizeof(T);
  const ColumnKernel<T> column_kernels[] = {
      {"grpclip", grpclip_fast<T>, grpclip_literal<T>, false, T{0}},
      {"grpshrink", grpshrink, literal::grpshrink<literal::Plain>, true, T{1}},
      {"grpsign", grpsign, literal::grpsign<literal::Plain>, true, T(1e-6)},
  };
  const std::size_t length = load.length;
  const std::string name = std::string(load.name) + class_suffix<T>();
  const bool one_segment = length >= segment_vector().size();
  auto table = [length] { return SegmentTable{segment_table(length).data(), segment_table(length).size()}; };
  auto b = [length] { return segment_table(length).data(); };
  auto K = [length] { return segment_table(length).size(); };

  add({"grpnorm", name, vector_bytes, Bound{vector_bytes, 0, one_segment ? 1e7 : 0, false},
       [=] {
         volatile T out = grpnorm(x<T>(), n(), table());
         (void)out;
       },
       [=] {
         volatile T out = literal::grpnorm<literal::Plain>(x<T>(), n(), b(), K());
         (void)out;
       },
       single ? nullptr : plugin_call("grpnorm", [length] {
         return std::vector<const mxArray*>{host_array(segment_vector()), host_array(segment_table(length))};
       })});

  for (const ColumnKernel<T>& k : column_kernels) {
    add({k.name, name, 2 * vector_bytes, Bound{0, vector_bytes, one_segment ? 1e7 : 0, true},
         [=] { k.fast(x<T>(), n(), table(), k.rho, warm_output<T>()); },
         [=] { k.literal(x<T>(), n(), b(), K(), k.rho, warm_output<T>()); },
         single ? nullptr : plugin_call(k.name, [=] {
           std::vector<const mxArray*> inputs{host_array(segment_vector()), host_array(segment_table(length))};
           if (k.takes_rho) inputs.push_back(host_scalar(k.rho));
           return inputs;
         })});
  }
}

const bool registered = [] {
  // Each single twin right after its double, so that a ratio compares runs
  // close in time.
  for (const SegmentLoad& load : loads) {
    add_load<double>(load);
    add_load<float>(load);
  }
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
