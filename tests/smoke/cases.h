// The smoke test's expectations: what each kernel's plug-in must do on
// every platform.
#ifndef PROXKIT_TESTS_SMOKE_CASES_H
#define PROXKIT_TESTS_SMOKE_CASES_H

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standin_abi.h"

namespace smoke {

// A host array given to a call or expected from it.
struct Array {
  standin_kind kind = STANDIN_DOUBLE;
  std::size_t rows = 0;
  std::size_t cols = 0;
  std::vector<double> values;  // the stored values when sparse
};

// One call of a plug-in and what it must do.  Results and messages are
// compared bit for bit and character for character; every call's outcome is
// also compared with the Linux x86-64 build's.
struct Case {
  std::string name;
  int nlhs = 1;
  std::vector<Array> inputs;
  std::optional<std::vector<Array>> results;  // none: compared across builds only
  std::string error;                           // the message of a refused call
  std::string printed;                         // what the call prints (checked with results or error)
  std::optional<std::vector<Array>> inputs_after;  // for a kernel that writes an input
};

// The cases of each kernel, by kernel name.
const std::map<std::string, std::vector<Case>>& cases_by_kernel();

}  // namespace smoke

#endif
