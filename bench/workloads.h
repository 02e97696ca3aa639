// The standard workloads, built once with fixed seeds and shared by every
// benchmark that uses them.
#ifndef PROXKIT_BENCH_WORKLOADS_H
#define PROXKIT_BENCH_WORKLOADS_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "standin.h"

namespace proxkit::bench {

// N = 1e7 doubles from a standard normal distribution.
const std::vector<double>& segment_vector();

// The same values rounded to single, for the single-precision twins of the
// workloads (named <load>-single).
const std::vector<float>& segment_vector_single();

// segment_vector() or segment_vector_single(), for values of type T.
template <class T>
const std::vector<T>& values_of_class();
template <>
inline const std::vector<double>& values_of_class<double>() {
  return segment_vector();
}
template <>
inline const std::vector<float>& values_of_class<float>() {
  return segment_vector_single();
}

// The suffix of the single twins' load names: "" for double.
template <class T>
inline const char* class_suffix() {
  return sizeof(T) == sizeof(float) ? "-single" : "";
}

// The segment table of segments of `length` over segment_vector(): 0, length,
// 2*length, ..., N.
const std::vector<double>& segment_table(std::size_t length);

// Calls a stand-in plug-in on inputs the host already holds and releases the
// results it created, so that each call pays for its own result arrays as in
// a real host.
class PluginCall {
 public:
  PluginCall(const std::string& kernel, std::vector<const mxArray*> inputs, int nlhs = 1);
  void operator()() const;

 private:
  const standin::Plugin& plugin_;
  std::vector<const mxArray*> inputs_;
  int nlhs_;
};

// A workload's plug-in run: the inputs are made on the first call.
std::function<void()> plugin_call(const std::string& kernel, std::function<std::vector<const mxArray*>()> inputs,
                                  int nlhs = 1);

}  // namespace proxkit::bench

#endif
