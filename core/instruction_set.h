// The instruction sets that the kernels' fast paths are written for, and the
// choice among them, made at run time.
//
// Every kernel gives the same bits on every path: each SIMD lane carries one
// independent sequence (a segment, a row, a position) in the order the plain
// loop uses, and nothing is fused into a multiply-add.  The paths differ in
// speed only.
//
// The wide paths are functions compiled for their instruction set alone
// (PROXKIT_TARGET_AVX2, PROXKIT_TARGET_AVX512); the rest of a plug-in stays on
// the platform's baseline, so it loads and runs on any processor of its
// platform.  The choice reads the processor's feature bits (CPUID) and the
// registers the operating system saves (XGETBV) once per process (once per
// plug-in, each plug-in holding its own copy), never the environment.
// Plain code: no host is involved.
#ifndef PROXKIT_INSTRUCTION_SET_H
#define PROXKIT_INSTRUCTION_SET_H

// Wide paths exist on x86-64 only.  MinGW's GCC assumes a 32-byte aligned
// stack when it spills a wide register, which the Windows x64 ABI does not
// give: its builds carry the wide paths only when every vector move is made
// unaligned (the assembler's -muse-unaligned-vector-move, with which the
// platform build defines PROXKIT_UNALIGNED_VECTOR_MOVES).
#if (defined(__x86_64__) || defined(_M_X64)) && \
    (!defined(__MINGW32__) || defined(PROXKIT_UNALIGNED_VECTOR_MOVES))
#define PROXKIT_WIDE_PATHS 1
#if defined(__GNUC__) || defined(__clang__)
#define PROXKIT_TARGET_AVX2 __attribute__((target("avx2")))
#define PROXKIT_TARGET_AVX512 __attribute__((target("avx512f,avx512dq,avx512bw,avx512vl")))
#else
// MSVC compiles the intrinsics of any instruction set without a flag.
#define PROXKIT_TARGET_AVX2
#define PROXKIT_TARGET_AVX512
#endif
#else
#define PROXKIT_WIDE_PATHS 0
#endif

namespace proxkit {

// In order of width: a wider set is chosen over a narrower one.
enum class InstructionSet { baseline, avx2, avx512 };

// The widest set that this processor and operating system support (AVX2
// means AVX2 with the YMM registers saved; AVX-512 means F, DQ, BW and VL
// with the ZMM and mask registers saved).  Always baseline where the build
// has no wide paths.
InstructionSet widest_instruction_set();

// The set the kernels run: the widest, unless choose_instruction_set chose
// another for this process.
InstructionSet chosen_instruction_set();

// For tests and benchmarks: makes every kernel of this program run `set`
// from now on.  Refuses, returning false and changing nothing, a set wider
// than widest_instruction_set() or a value outside the enumeration.  Not meant to be called while a kernel runs
// on another thread.
bool choose_instruction_set(InstructionSet set);

// "baseline", "avx2" or "avx512".
const char* instruction_set_name(InstructionSet set);

}  // namespace proxkit

#endif
