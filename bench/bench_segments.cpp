// The segment kernels on the standard workloads S1 (segments of 10), S2
// (segments of 1000) and S3 (one segment) over 1e7 doubles.
#include <map>

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

constexpr double vector_bytes = 1e7 * sizeof(double);

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
double* warm_output() {
  static std::vector<double> out(segment_vector().size(), 0.0);
  return out.data();
}

const double* x() { return segment_vector().data(); }
std::size_t n() { return segment_vector().size(); }

// A kernel that writes a column: kernel function, literal reference, and the
// plug-in's extra argument (rho) when it has one.
struct ColumnKernel {
  const char* name;
  void (*fast)(const double*, std::size_t, SegmentTable, double, double*);
  void (*literal)(const double*, std::size_t, const double*, std::size_t, double, double*);
  bool takes_rho;
  double rho;
};

void grpclip_fast(const double* v, std::size_t n, SegmentTable t, double, double* out) { grpclip(v, n, t, out); }
void grpclip_literal(const double* v, std::size_t n, const double* b, std::size_t K, double, double* out) {
  literal::grpclip<literal::Plain>(v, n, b, K, out);
}

const ColumnKernel column_kernels[] = {
    {"grpclip", grpclip_fast, grpclip_literal, false, 0.0},
    {"grpshrink", grpshrink, literal::grpshrink<literal::Plain>, true, 1.0},
    {"grpsign", grpsign, literal::grpsign<literal::Plain>, true, 1e-6},
};

const bool registered = [] {
  for (const SegmentLoad& load : loads) {
    const std::size_t length = load.length;
    const bool one_segment = length >= segment_vector().size();
    auto table = [length] { return SegmentTable{segment_table(length).data(), segment_table(length).size()}; };
    auto b = [length] { return segment_table(length).data(); };
    auto K = [length] { return segment_table(length).size(); };

    add({"grpnorm", load.name, vector_bytes, Bound{vector_bytes, 0, one_segment ? 1e7 : 0, false},
         [=] {
           volatile double out = grpnorm(x(), n(), table());
           (void)out;
         },
         [=] {
           volatile double out = literal::grpnorm<literal::Plain>(x(), n(), b(), K());
           (void)out;
         },
         plugin_call("grpnorm", [length] {
           return std::vector<const mxArray*>{host_array(segment_vector()), host_array(segment_table(length))};
         })});

    for (const ColumnKernel& k : column_kernels) {
      add({k.name, load.name, 2 * vector_bytes, Bound{0, vector_bytes, one_segment ? 1e7 : 0, true},
           [=] { k.fast(x(), n(), table(), k.rho, warm_output()); },
           [=] { k.literal(x(), n(), b(), K(), k.rho, warm_output()); },
           plugin_call(k.name, [=] {
             std::vector<const mxArray*> inputs{host_array(segment_vector()), host_array(segment_table(length))};
             if (k.takes_rho) inputs.push_back(host_scalar(k.rho));
             return inputs;
           })});
    }
  }
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
