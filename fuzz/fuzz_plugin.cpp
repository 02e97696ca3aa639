// A libFuzzer target for one plug-in (PROXKIT_KERNEL, loaded from
// PROXKIT_PLUGIN_PATH through the stand-in host): each input is decoded into
// a whole call, the call is made, and what every call must honour is checked.
// Out-of-bounds accesses are the sanitizers' to catch (the host allocates
// every array exactly); a broken promise aborts with a description.
//
// The promises, for any inputs:
//  - a wrong argument count is refused, with the kernel's usage message;
//  - a refused call creates nothing (unless the host itself ran out of
//    memory) and changes no input;
//  - an accepted call creates exactly its results, of their stated shapes
//    and of the class of the values (the first input), in the slots the host
//    provides, and changes no input, except that nzassign writes v's leading
//    values, and nothing else, into S's storage;
//  - nothing is printed but rowball's warning.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/call_format.h"
#include "standin.h"

namespace {

using Inputs = std::vector<const mxArray*>;

struct Shape {
  std::size_t rows;
  std::size_t cols;
};

struct Contract {
  const char* name;
  int inputs;         // the exact count, or with `at_least` the least
  bool at_least;      // rowball: more inputs are ignored, any result count is served
  int results;        // the most results
  const char* usage;  // raised on a wrong count
  Shape (*shape)(int slot, const Inputs& in);
};

std::size_t numel(const mxArray* a) { return mxGetNumberOfElements(a); }

// rowball's dimension scalars as it reads them, truncated toward zero; an
// accepted call has dimensions in 0 ... 2^31 - 1.
std::size_t dimension(const mxArray* a) {
  const double x = std::trunc(mxGetScalar(a));
  return x >= 0.0 && x < 2147483648.0 ? static_cast<std::size_t>(x) : SIZE_MAX;
}

Shape vector_result(int, const Inputs& in) { return Shape{numel(in[0]), 1}; }

const Contract contracts[] = {
    {"grpnorm", 2, false, 1, "Usage: out = grpnorm (vect, accIdx)", [](int, const Inputs&) { return Shape{1, 1}; }},
    {"grpclip", 2, false, 1, "Usage: out = grpclip (vect, accIdx)", vector_result},
    {"grpshrink", 3, false, 1, "Usage: out = grpshrink (vect, accIdx, rho)", vector_result},
    {"grpsign", 3, false, 1, "Usage: out = grpsign (vect, accIdx, rho)", vector_result},
    {"pairdot", 4, false, 1, "Usage: out = pairdot_native (U', V, iR, iC)",
     [](int, const Inputs& in) { return Shape{1, numel(in[2])}; }},
    {"nzassign", 2, false, 0, "Usage: nzassign ( S, v )", [](int, const Inputs&) { return Shape{0, 0}; }},
    {"rowball", 4, true, 3, "Usage: [P, theta, iterations] = rowball (X, m, n, t)",
     [](int slot, const Inputs& in) {
       return Shape{dimension(in[1]), slot == 0 ? dimension(in[2]) : 1};
     }},
};

const Contract& contract() {
  for (const Contract& c : contracts)
    if (std::strcmp(c.name, PROXKIT_KERNEL) == 0) return c;
  std::fprintf(stderr, "no contract for %s\n", PROXKIT_KERNEL);
  std::abort();
}

const char* const rowball_warning = "\n t should be nonnegative!";

std::unique_ptr<standin::Plugin> plugin;

[[noreturn]] void broken(const char* promise, const standin::Call& call) {
  std::fprintf(stderr, "%s: %s (raised: %d, error: \"%s\", created: %d)\n", PROXKIT_KERNEL, promise,
               call.raised, call.error.c_str(), call.created);
  std::abort();
}

void check(bool kept, const char* promise, const standin::Call& call) {
  if (!kept) broken(promise, call);
}

// S's storage after an accepted nzassign: v's leading values (as many as S
// holds), then S's own.
std::vector<unsigned char> assigned(const std::vector<unsigned char>& s, const mxArray* v,
                                    const std::vector<unsigned char>& v_bytes) {
  std::vector<unsigned char> expected = s;
  const std::size_t element = mxIsSingle(v) ? sizeof(float) : sizeof(double);
  const std::size_t written = std::min(s.size(), std::min(v_bytes.size(), numel(v) * element));
  std::copy_n(v_bytes.begin(), written, expected.begin());
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Fuzzed dimensions can ask for arrays of any size: like a real host, the
  // stand-in refuses the huge ones with its out-of-memory error.
  standin::set_allocation_limit(std::size_t{64} << 20);
  plugin = std::make_unique<standin::Plugin>(PROXKIT_PLUGIN_PATH);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Contract& kernel = contract();
  const proxkit::fuzz::DecodedCall decoded = proxkit::fuzz::decode_call(data, size);
  const Inputs& in = decoded.inputs;
  std::vector<std::vector<unsigned char>> before;
  for (const mxArray* a : in) before.push_back(standin::bytes(a));

  const standin::Call call = standin::call(*plugin, decoded.nlhs, in);

  const int nrhs = static_cast<int>(in.size());
  const bool counts_fit = kernel.at_least ? nrhs >= kernel.inputs
                                          : nrhs == kernel.inputs && decoded.nlhs <= kernel.results;
  if (!counts_fit) check(call.raised && call.error == kernel.usage, "a wrong count without the usage message", call);

  std::vector<std::vector<unsigned char>> expected = before;
  if (call.raised) {
    check(!call.error.empty() && call.error.find('\n') == std::string::npos, "an unclear message", call);
    if (!call.out_of_memory) {
      check(call.created == 0, "a refused call created an array", call);
      for (const mxArray* out : call.out) check(out == nullptr, "a refused call filled a slot", call);
    }
  } else {
    const int slots = static_cast<int>(call.out.size());
    const int made = std::min(kernel.results, slots);
    check(call.created == made, "an accepted call created other than its results", call);
    for (int s = 0; s < slots; ++s) {
      if (s >= made) {
        check(call.out[s] == nullptr, "a slot beyond the results was filled", call);
        continue;
      }
      check(call.out[s] != nullptr, "a result slot was left empty", call);
      const Shape shape = kernel.shape(s, in);
      check(standin::rows(call.out[s]) == shape.rows && standin::cols(call.out[s]) == shape.cols,
            "a result of the wrong shape", call);
      check(mxGetClassID(call.out[s]) == mxGetClassID(in[0]), "a result of another class than the values", call);
    }
    if (std::strcmp(PROXKIT_KERNEL, "nzassign") == 0) {
      const std::vector<unsigned char> s = assigned(before[0], in[1], before[1]);
      for (std::size_t i = 0; i < in.size(); ++i)
        if (in[i] == in[0]) expected[i] = s;
    }
  }
  for (std::size_t i = 0; i < in.size(); ++i)
    check(standin::bytes(in[i]) == expected[i], "an input's storage changed", call);
  check(call.printed.empty() || (std::strcmp(PROXKIT_KERNEL, "rowball") == 0 && call.printed == rowball_warning),
        "unexpected printing", call);

  standin::release_all();
  return 0;
}
