#include "workloads.h"

#include <map>
#include <memory>
#include <random>
#include <stdexcept>

#include "bench.h"

namespace proxkit::bench {

const std::vector<double>& segment_vector() {
  static const std::vector<double> x = [] {
    std::vector<double> v(10000000);
    std::mt19937_64 rng(1);
    std::normal_distribution<double> normal;
    for (double& e : v) e = normal(rng);
    return v;
  }();
  return x;
}

const std::vector<float>& segment_vector_single() {
  static const std::vector<float> x(segment_vector().begin(), segment_vector().end());
  return x;
}

const std::vector<double>& segment_table(std::size_t length) {
  static std::map<std::size_t, std::vector<double>> tables;
  std::vector<double>& table = tables[length];
  if (table.empty()) {
    const std::size_t n = segment_vector().size();
    for (std::size_t b = 0; b < n; b += length) table.push_back(static_cast<double>(b));
    table.push_back(static_cast<double>(n));
  }
  return table;
}

std::string plugin_path(const std::string& kernel) { return std::string(PROXKIT_PLUGIN_DIR) + "/" + kernel + ".mex"; }

namespace {
const standin::Plugin& load(const std::string& kernel) {
  static std::map<std::string, std::unique_ptr<standin::Plugin>> loaded;
  auto& slot = loaded[kernel];
  if (!slot) slot = std::make_unique<standin::Plugin>(plugin_path(kernel));
  return *slot;
}
}  // namespace

PluginCall::PluginCall(const std::string& kernel, std::vector<const mxArray*> inputs, int nlhs)
    : plugin_(load(kernel)), inputs_(std::move(inputs)), nlhs_(nlhs) {}

void PluginCall::operator()() const {
  const standin::Call call = standin::call(plugin_, nlhs_, inputs_);
  if (call.raised) throw std::runtime_error(call.error);
  for (mxArray* result : call.out) standin::release(result);
}

std::function<void()> plugin_call(const std::string& kernel, std::function<std::vector<const mxArray*>()> inputs,
                                  int nlhs) {
  auto call = std::make_shared<std::unique_ptr<PluginCall>>();
  return [=] {
    if (!*call) *call = std::make_unique<PluginCall>(kernel, inputs(), nlhs);
    (**call)();
  };
}

}  // namespace proxkit::bench
