// The stand-in libmex: errors and printing.  An error unwinds the plug-in's
// frames with longjmp back to standin_call, the way a C host ends a call:
// the plug-ins carry their own runtime (Windows builds link it statically),
// so a C++ exception thrown here could not be unwound through them.
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "standin_abi.h"

namespace {

std::jmp_buf* active_call = nullptr;
std::string error_text;
std::string printed_text;

}  // namespace

extern "C" {

STANDIN_API void mexErrMsgTxt(const char* message) {
  error_text = message;
  if (active_call == nullptr) std::abort();
  std::longjmp(*active_call, 1);
}

// Printing is kept for the driver to read; the texts the kernels print are
// short, so a longer one is cut rather than grown.
STANDIN_API int mexPrintf(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length > 0) printed_text.append(text, length < static_cast<int>(sizeof text) ? length : sizeof text - 1);
  return length;
}

STANDIN_API int standin_call(standin_entry entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  std::jmp_buf call;
  error_text.clear();
  printed_text.clear();
  active_call = &call;
  if (setjmp(call) != 0) {
    active_call = nullptr;
    return 1;
  }
  entry(nlhs, plhs, nrhs, prhs);
  active_call = nullptr;
  return 0;
}

STANDIN_API const char* standin_error(void) { return error_text.c_str(); }
STANDIN_API const char* standin_printed(void) { return printed_text.c_str(); }

}  // extern "C"
