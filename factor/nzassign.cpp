#include "factor/nzassign.h"

namespace proxkit {

void nzassign(double* dst, const double* src, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) dst[i] = src[i];
}

}  // namespace proxkit
