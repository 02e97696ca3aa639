// The segment kernels on the standard workloads S1 (segments of 10), S2
// (segments of 1000) and S3 (one segment) over 1e7 doubles.
#include <map>

#include "bench.h"
#include "reference/literal_segments.h"
#include "segment/grpnorm.h"
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

const bool registered = [] {
  for (const SegmentLoad& load : loads) {
    const std::size_t length = load.length;
    auto table = [length] { return SegmentTable{segment_table(length).data(), segment_table(length).size()}; };
    const bool one_segment = length >= segment_vector().size();

    add({"grpnorm", load.name, vector_bytes,
         Bound{vector_bytes, 0, one_segment ? 1e7 : 0, false},
         [table] {
           volatile double out = grpnorm(segment_vector().data(), segment_vector().size(), table());
           (void)out;
         },
         [length] {
           const auto& t = segment_table(length);
           volatile double out =
               literal::grpnorm(segment_vector().data(), segment_vector().size(), t.data(), t.size());
           (void)out;
         },
         plugin_call("grpnorm", [length] {
           return std::vector<const mxArray*>{host_array(segment_vector()), host_array(segment_table(length))};
         })});
  }
  return true;
}();

}  // namespace
}  // namespace proxkit::bench
