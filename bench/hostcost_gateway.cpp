// hostcost: out = hostcost (m, n, ...)
//
// A benchmark plug-in, never shipped, built as MEX and as Octave-native like
// the kernels: it does only the host's share of a kernel's call.  It asks the
// host for the storage of every input after the first two, as a kernel's
// gateway does, reads none of it, and creates an m-by-n zero result through
// the same gateway helper as the kernels' plug-ins, which the host then
// returns.  Called with a kernel's inputs and
// the shape of its result, it costs what the host spends on that call outside
// the kernel.  Called with no input, it does nothing: the empty plug-in.
#include "gateway/gateway.h"

namespace {

// A result dimension, truncated toward zero; refused unless it counts from 0
// to 2^31 - 1, so that no value becomes a huge allocation.
std::size_t dimension(proxkit::host::Argument a, const char* name) {
  using namespace proxkit::gateway;
  const DoubleArray value = full_double(a, name);
  require(value.size == 1 && value.data[0] > -1.0 && value.data[0] < 2147483648.0,
          "m and n must be counts from 0 to 2147483647.");
  return static_cast<std::size_t>(value.data[0]);
}

}  // namespace

PROXKIT_GATEWAY(hostcost) {
  using namespace proxkit::gateway;
  enum { IN_M, IN_N, N_DIMENSIONS };
  enum { OUT_ZEROS, N_OUT };
  if (nrhs == 0) return;
  require(nrhs >= N_DIMENSIONS && nlhs <= N_OUT, "Usage: out = hostcost (m, n, ...)");
  const std::size_t m = dimension(prhs[IN_M], "m");
  const std::size_t n = dimension(prhs[IN_N], "n");
  for (int input = N_DIMENSIONS; input < nrhs; ++input) proxkit::host::storage_of<double>(prhs[input]);
  create_result<double>(plhs, OUT_ZEROS, m, n, Contents::zeros);
}
