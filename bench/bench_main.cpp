// The benchmark driver: the machine's limits, every registered workload, and
// a closing table of each workload against its literal reference and its
// lower bound, all measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "bench.h"
#include "core/instruction_set.h"
#include "workloads.h"

namespace proxkit::bench {
namespace {

std::vector<Workload>& registry() {
  static std::vector<Workload> workloads;
  return workloads;
}

// The machine's single-core limits, measured on the same 1e7 doubles the
// segment workloads use.
void machine_read(benchmark::State& state) {
  const std::vector<double>& x = segment_vector();
  for (auto _ : state) {
    // Integer XOR of the bits: exact, reorderable, so the compiler may use
    // every lane and the loop is bound by the reads alone.
    std::uint64_t acc[8] = {};
    const std::size_t n = x.size() / 8 * 8;
    for (std::size_t i = 0; i < n; i += 8)
      for (int j = 0; j < 8; ++j) {
        std::uint64_t b;
        std::memcpy(&b, &x[i + j], sizeof b);
        acc[j] ^= b;
      }
    std::uint64_t all = 0;
    for (std::uint64_t a : acc) all ^= a;
    benchmark::DoNotOptimize(all);
  }
  state.SetBytesProcessed(state.iterations() * x.size() * sizeof(double));
}

void machine_copy(benchmark::State& state) {
  const std::vector<double>& x = segment_vector();
  std::vector<double> y(x.size(), 1.0);
  for (auto _ : state) {
    std::memcpy(y.data(), x.data(), x.size() * sizeof(double));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 2 * x.size() * sizeof(double));
}

void machine_add_chain(benchmark::State& state) {
  const std::vector<double>& x = segment_vector();
  for (auto _ : state) {
    double s = 0.0;
    for (double v : x) s = s + v;
    benchmark::DoNotOptimize(s);
  }
}

// Every instruction set this build and machine support: the kernel's
// function is timed on each.
std::vector<InstructionSet> instruction_sets() {
  std::vector<InstructionSet> sets;
  for (InstructionSet set :
       {InstructionSet::baseline, InstructionSet::neon, InstructionSet::avx2, InstructionSet::avx512})
    if (instruction_set_supported(set)) sets.push_back(set);
  return sets;
}

void run(benchmark::State& state, const std::function<void()>& body, double bytes) {
  body();  // builds the workload on first use and warms it, outside the timing
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Prints the usual console lines, keeps every run's time, and ends with the
// table of ratios.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        ms_[run.benchmark_name()] = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double n_bytes = static_cast<double>(segment_vector().size() * sizeof(double));
    const double read_ms = time("machine/read"), copy_ms = time("machine/copy"), chain_ms = time("machine/add_chain");
    if (read_ms <= 0 || copy_ms <= 0 || chain_ms <= 0) return;
    const double read_rate = n_bytes / read_ms;         // bytes per ms
    const double copy_rate = n_bytes / copy_ms;         // bytes copied per ms
    const double add_ms = chain_ms / static_cast<double>(segment_vector().size());
    std::printf("\nMachine: read %.1f GB/s, copy %.1f GB/s (read+write), dependent double add %.3f ns\n",
                read_rate / 1e6, 2 * copy_rate / 1e6, add_ms * 1e6);
    std::printf("\n%-10s %-9s %-8s %10s %8s %10s %9s %10s %10s %8s\n", "kernel", "load", "path", "kernel ms",
                "GB/s", "literal ms", "/literal", "plug-in ms", "bound ms", "/bound");
    for (const Workload& w : registry()) {
      const std::string base = w.kernel + "/" + w.name + "/";
      const double literal = time(base + "literal"), plugin = time(base + "plugin");
      const double reads = w.bound.read_bytes / read_rate, copies = w.bound.copy_bytes / copy_rate,
                   chain = w.bound.dependent_adds * add_ms;
      const double bound = w.bound.chain_then_copy ? std::max(reads, chain) + copies : std::max(reads + copies, chain);
      for (InstructionSet set : instruction_sets()) {
        const double fast = time(base + "kernel/" + instruction_set_name(set));
        if (fast <= 0) continue;
        std::printf("%-10s %-9s %-8s %10.2f %8.1f %10.2f %9.2f %10.2f %10.2f %8.2f\n", w.kernel.c_str(),
                    w.name.c_str(), instruction_set_name(set), fast, w.bytes_moved / fast / 1e6, literal,
                    literal > 0 ? fast / literal : 0.0, plugin, bound, bound > 0 ? fast / bound : 0.0);
      }
    }
    single_against_double();
  }

 private:
  // Each single twin (load <name>-single, as many values as its double
  // workload) against its double workload: values per second, single over
  // double, per path and for the literal loops, both from this run.
  void single_against_double() const {
    const std::string suffix = "-single";
    std::printf("\n%-10s %-9s %-8s %14s\n", "kernel", "load", "path", "single/double");
    for (const Workload& w : registry()) {
      if (w.name.size() <= suffix.size() || w.name.compare(w.name.size() - suffix.size(), suffix.size(), suffix) != 0)
        continue;
      const std::string single = w.kernel + "/" + w.name + "/",
                        twin = w.kernel + "/" + w.name.substr(0, w.name.size() - suffix.size()) + "/";
      std::vector<std::string> paths;
      for (InstructionSet set : instruction_sets()) paths.push_back(std::string("kernel/") + instruction_set_name(set));
      paths.push_back("literal");
      for (const std::string& path : paths) {
        const double s = time(single + path), d = time(twin + path);
        if (s > 0 && d > 0)
          std::printf("%-10s %-9s %-8s %14.2f\n", w.kernel.c_str(), w.name.c_str(),
                      path.substr(path.find('/') + 1).c_str(), d / s);
      }
    }
  }

  double time(const std::string& name) const {
    const auto it = ms_.find(name);
    return it == ms_.end() ? -1.0 : it->second;
  }
  std::map<std::string, double> ms_;
};

}  // namespace

bool add(Workload workload) {
  registry().push_back(std::move(workload));
  return true;
}

}  // namespace proxkit::bench

int main(int argc, char** argv) {
  using namespace proxkit;
  using namespace proxkit::bench;
  benchmark::RegisterBenchmark("machine/read", machine_read)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("machine/copy", machine_copy)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("machine/add_chain", machine_add_chain)->Unit(benchmark::kMillisecond);
  for (const Workload& w : registry()) {
    const std::string base = w.kernel + "/" + w.name + "/";
    for (InstructionSet set : instruction_sets()) {
      const std::function<void()> on_set = [set, fast = w.fast] {
        choose_instruction_set(set);
        fast();
      };
      benchmark::RegisterBenchmark((base + "kernel/" + instruction_set_name(set)).c_str(), run, on_set, w.bytes_moved)
          ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark((base + "literal").c_str(), run, w.literal, w.bytes_moved)
        ->Unit(benchmark::kMillisecond);
    if (w.plugin)
      benchmark::RegisterBenchmark((base + "plugin").c_str(), run, w.plugin, w.bytes_moved)
          ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
