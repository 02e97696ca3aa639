// The intrinsics of the wide instruction sets, for the kernels' wide paths
// (gateway/instruction_set.h); include only under PROXKIT_WIDE_PATHS.
//
// GCC 12's AVX-512 intrinsics seed their unused lanes from a variable that it
// then reports as maybe uninitialised (its bug 105593); the report points
// into the header, so it is silenced there alone.
#ifndef PROXKIT_WIDE_INTRINSICS_H
#define PROXKIT_WIDE_INTRINSICS_H

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

#endif
