// Smoke test of the plug-ins built for MATLAB, on their own platform (or
// under wine or qemu): loads each plug-in given on the command line by path,
// as MATLAB does (refusing a file that states an API other than the one whose
// operations the host provides), calls its mexFunction through the stand-in
// host libraries on the kernel's cases (cases.cpp) and checks every result
// bit for bit and every message character for character.
//
// Prints one line per call, "<kernel>/<case> <digest>", the digest covering
// everything the call did but the sign of a NaN; the test compares these
// lines with the Linux x86-64 build's.  Failures go to the error stream; the
// exit status is 1 if any call failed.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "cases.h"

namespace {

// A loaded plug-in's exported function by name, or null.
using Module =
#ifdef _WIN32
    HMODULE;
#else
    void*;
#endif

void* exported(Module module, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(module, name));
#else
  return dlsym(module, name);
#endif
}

using ApiVersionEntry = void (*)(unsigned int* built_by_release, unsigned int* target_api_version);

// Whether a release code reads as one of MATLAB's (0x2017b: R2017b).
bool is_release(unsigned int code) {
  const unsigned int year = code >> 4, half = code & 0xfu;
  return year >= 0x2006 && year <= 0x2099 && (year & 0xfu) <= 9 && (half == 0xa || half == 0xb);
}

// Loads a plug-in by path, as MATLAB does: where the file states the release
// and API it was built for, the API must be the one whose operations this
// host provides, or the file is refused.
standin_entry load_entry(const std::string& path, std::string& problem) {
#ifdef _WIN32
  Module module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    problem = "cannot load (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
#else
  Module module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    problem = std::string("cannot load: ") + dlerror();
    return nullptr;
  }
#endif
  if (auto api_version = reinterpret_cast<ApiVersionEntry>(exported(module, "mexfilerequiredapiversion"))) {
    unsigned int release = 0, api = 0;
    api_version(&release, &api);
    char stated[160];
    std::snprintf(stated, sizeof stated, "states the release 0x%x and the API 0x%08x", release, api);
    if (api != standin_array_api()) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "; the operations it calls are of the API 0x%08x", standin_array_api());
      problem = std::string(stated) + expected;
      return nullptr;
    }
    if (!is_release(release)) {
      problem = std::string(stated) + ", which names no release";
      return nullptr;
    }
    std::fprintf(stderr, "NOTE %s: %s\n", path.c_str(), stated);
  }
  auto entry = reinterpret_cast<standin_entry>(exported(module, "mexFunction"));
  if (entry == nullptr) problem = "exports no mexFunction";
  return entry;
}

std::string kernel_of(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  return name.substr(0, name.find('.'));
}

std::uint64_t bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// FNV-1a over everything a call did.
class Digest {
 public:
  void add(const void* data, std::size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ p[i]) * 1099511628211u;
  }
  void add(std::uint64_t x) { add(&x, sizeof x); }
  // A value's bits, but for a NaN's sign: IEEE 754 leaves the sign of a NaN
  // that arithmetic makes to the processor (x86 sets it, Arm clears it), so
  // builds are compared on everything else.  Each case's expected results
  // still check that sign against this processor's own.
  void add_value(double x) {
    std::uint64_t b = bits(x);
    if (x != x) b &= ~(std::uint64_t{1} << 63);
    add(b);
  }
  void add(const std::string& text) {
    add(text.size());
    add(text.data(), text.size());
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 14695981039346656037u;
};

// A single array's values are widened to double, which keeps every bit of
// a value but a signalling NaN's (no single case has one).
smoke::Array observed(const mxArray* a) {
  const standin_kind kind = standin_kind_of(a);
  std::size_t count = 0;
  std::vector<double> values;
  if (kind == STANDIN_SINGLE) {
    const float* singles = standin_singles(a, &count);
    values.assign(singles, singles + count);
  } else {
    const double* doubles = standin_values(a, &count);
    values.assign(doubles, doubles + count);
  }
  return {kind, standin_rows(a), standin_cols(a), std::move(values)};
}

std::string describe(const smoke::Array& a) {
  std::string text = (a.kind == STANDIN_SINGLE ? "single " : "") + std::to_string(a.rows) + "x" + std::to_string(a.cols) + " [";
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    char item[64];
    std::snprintf(item, sizeof item, "%s%.17g (0x%016" PRIx64 ")", i ? ", " : "", a.values[i], bits(a.values[i]));
    text += item;
  }
  return text + "]";
}

bool same(const smoke::Array& expected, const smoke::Array& actual) {
  if (expected.kind != actual.kind || expected.rows != actual.rows || expected.cols != actual.cols) return false;
  if (expected.values.size() != actual.values.size()) return false;
  for (std::size_t i = 0; i < expected.values.size(); ++i)
    if (bits(expected.values[i]) != bits(actual.values[i])) return false;
  return true;
}

// Runs one case; returns the problems found (none: it passed).
std::vector<std::string> run(standin_entry entry, const smoke::Case& c, Digest& digest) {
  std::vector<std::string> problems;
  standin_release_all();
  std::vector<const mxArray*> prhs;
  for (const smoke::Array& a : c.inputs)
    prhs.push_back(standin_array(a.kind, a.rows, a.cols, a.values.data(), a.values.size()));
  std::vector<mxArray*> plhs(c.nlhs > 0 ? c.nlhs : 1, nullptr);

  const bool raised = standin_call(entry, c.nlhs, plhs.data(), static_cast<int>(prhs.size()), prhs.data()) != 0;
  const std::string error = raised ? standin_error() : "";
  const std::string printed = standin_printed();
  digest.add(error);
  digest.add(printed);

  if (!c.error.empty()) {
    if (error != c.error) problems.push_back("expected the error \"" + c.error + "\", got \"" + error + "\"");
    if (standin_created() != 0) problems.push_back("a refused call created arrays");
  } else if (c.results && raised) {
    problems.push_back("raised \"" + error + "\"");
  }
  if ((c.results || !c.error.empty()) && printed != c.printed) problems.push_back("printed \"" + printed + "\", expected \"" + c.printed + "\"");

  if (!raised) {
    for (std::size_t k = 0; k < plhs.size(); ++k) {
      if (plhs[k] == nullptr) {
        digest.add(std::uint64_t{0});
        if (c.results && k < c.results->size()) problems.push_back("result " + std::to_string(k) + " not created");
        continue;
      }
      const smoke::Array result = observed(plhs[k]);
      digest.add(static_cast<std::uint64_t>(result.kind));
      digest.add(result.rows);
      digest.add(result.cols);
      for (double x : result.values) digest.add_value(x);
      if (c.results && k < c.results->size() && !same((*c.results)[k], result))
        problems.push_back("result " + std::to_string(k) + " is " + describe(result) + ", expected " +
                           describe((*c.results)[k]));
    }
  }
  // Inputs are left as they were, except those a kernel writes by design.
  for (std::size_t k = 0; k < c.inputs.size(); ++k) {
    const smoke::Array after = observed(prhs[k]);
    const smoke::Array& expected = c.inputs_after ? (*c.inputs_after)[k] : c.inputs[k];
    for (double x : after.values) digest.add_value(x);
    if (!same(expected, after))
      problems.push_back("input " + std::to_string(k) + " is " + describe(after) + " after the call, expected " +
                         describe(expected));
  }
  return problems;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <plug-in file>...\n", argv[0]);
    return 2;
  }
  int failed = 0;
  int passed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    const std::string kernel = kernel_of(path);
    std::string problem;
    const standin_entry entry = load_entry(path, problem);
    if (entry == nullptr) {
      std::fprintf(stderr, "FAIL %s: %s\n", path.c_str(), problem.c_str());
      ++failed;
      continue;
    }
    const auto found = smoke::cases_by_kernel().find(kernel);
    if (found == smoke::cases_by_kernel().end()) {
      std::fprintf(stderr, "NOTE %s: loaded; no cases for %s yet (tests/smoke/cases.cpp)\n", path.c_str(),
                   kernel.c_str());
      continue;
    }
    for (const smoke::Case& c : found->second) {
      Digest digest;
      const std::vector<std::string> problems = run(entry, c, digest);
      std::printf("%s/%s %016" PRIx64 "\n", kernel.c_str(), c.name.c_str(), digest.value());
      for (const std::string& p : problems) std::fprintf(stderr, "FAIL %s/%s: %s\n", kernel.c_str(), c.name.c_str(), p.c_str());
      if (problems.empty()) ++passed; else ++failed;
    }
  }
  std::fflush(stdout);
  std::fprintf(stderr, "%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
