// The benchmark suite's registry: every kernel registers its standard
// workloads with three ways of running them (the kernel's function on warm
// output, the literal reference, the plug-in through the stand-in host) and
// the lower bound of the work it must do.  The suite measures the machine's
// own limits in the same run and prints one table of ratios at the end.
#ifndef PROXKIT_BENCH_BENCH_H
#define PROXKIT_BENCH_BENCH_H

#include <functional>
#include <string>

namespace proxkit::bench {

// What a workload cannot avoid: bytes it must read, bytes it must read and
// write back (a copy), and additions that depend on each other.  With
// `chain_then_copy` the copy can only start once the chain has ended (a
// segment must know its norm before it is scaled).
struct Bound {
  double read_bytes = 0;
  double copy_bytes = 0;
  double dependent_adds = 0;
  bool chain_then_copy = false;
};

struct Workload {
  std::string kernel;    // e.g. "grpnorm"
  std::string name;      // e.g. "S1"
  double bytes_moved;    // input read plus output written, for GB/s
  Bound bound;
  std::function<void()> fast;     // timed on every instruction set the machine has
  std::function<void()> literal;
  std::function<void()> plugin;  // may be empty
};

// Registers the benchmarks of one workload; call from a static initialiser.
bool add(Workload workload);

// The directory of the stand-in plug-ins.
std::string plugin_path(const std::string& kernel);

}  // namespace proxkit::bench

#endif
