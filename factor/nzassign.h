#ifndef PROXKIT_NZASSIGN_H
#define PROXKIT_NZASSIGN_H

#include <cstddef>

namespace proxkit {

// Overwrites the first n stored values of dst with src[0] ... src[n-1], in
// ascending order, bit for bit; dst must have room for n values.
void nzassign(double* dst, const double* src, std::size_t n);
void nzassign(float* dst, const float* src, std::size_t n);

}  // namespace proxkit

#endif
