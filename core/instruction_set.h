// The instruction sets that the kernels' paths are written for, and the
// choice among them, made at run time.
//
// Every kernel gives the same bits on every path: each SIMD lane carries one
// independent sequence (a segment, a row, a position) in the order the plain
// loop uses, and nothing is fused into a multiply-add.  The paths differ in
// speed only.
//
// The sets of a build:
//  - baseline, on every processor: SSE2 on x86, GCC's and clang's generic
//    vectors elsewhere, or plain doubles (core/lanes.h);
//  - AVX2 and AVX-512, on x86-64: functions compiled for their set alone
//    (PROXKIT_TARGET_AVX2, PROXKIT_TARGET_AVX512), reached only when the
//    processor and the operating system support them, so that a plug-in
//    loads and runs on any processor of its platform;
//  - NEON, on 64-bit Arm, where every processor has it.
// The choice reads the processor's feature bits (CPUID) and the registers
// the operating system saves (XGETBV) once per process (once per plug-in,
// each plug-in holding its own copy), never the environment.
// Plain code: no host is involved.
#ifndef PROXKIT_INSTRUCTION_SET_H
#define PROXKIT_INSTRUCTION_SET_H

// AVX2 and AVX-512 paths exist on x86-64 only.  MinGW's GCC assumes a
// 32-byte aligned stack when it spills a wide register, which the Windows
// x64 ABI does not give: its builds carry those paths only when every vector
// move is made unaligned (the assembler's -muse-unaligned-vector-move, with
// which the platform build defines PROXKIT_UNALIGNED_VECTOR_MOVES).
#if (defined(__x86_64__) || defined(_M_X64)) && \
    (!defined(__MINGW32__) || defined(PROXKIT_UNALIGNED_VECTOR_MOVES))
#define PROXKIT_X86_SETS 1
#if defined(__GNUC__) || defined(__clang__)
#define PROXKIT_TARGET_AVX2 __attribute__((target("avx2")))
#define PROXKIT_TARGET_AVX512 __attribute__((target("avx512f,avx512dq,avx512bw,avx512vl")))
#else
// MSVC compiles the intrinsics of any instruction set without a flag.
#define PROXKIT_TARGET_AVX2
#define PROXKIT_TARGET_AVX512
#endif
#else
#define PROXKIT_X86_SETS 0
#endif

#if defined(__aarch64__) || defined(_M_ARM64)
#define PROXKIT_NEON_SET 1
#else
#define PROXKIT_NEON_SET 0
#endif

namespace proxkit {

// The values stay as they are for programs built against an earlier version.
enum class InstructionSet { baseline, avx2, avx512, neon };

// The set the kernels run unless one is chosen: the fastest that this
// processor and operating system support (AVX2 means AVX2 with the YMM
// registers saved; AVX-512 means F, DQ, BW and VL with the ZMM and mask
// registers saved; NEON on every 64-bit Arm processor).
InstructionSet widest_instruction_set();

// True for the sets this build carries and this machine runs: baseline
// always, and each other set where the processor and the build have it.
bool instruction_set_supported(InstructionSet set);

// The set the kernels run: the widest, unless choose_instruction_set chose
// another for this process.
InstructionSet chosen_instruction_set();

// For tests and benchmarks: makes every kernel of this program run `set`
// from now on.  Refuses, returning false and changing nothing, a set that
// instruction_set_supported refuses, a value outside the enumeration among
// them.  Not meant to be called while a kernel runs on another thread.
bool choose_instruction_set(InstructionSet set);

// "baseline", "avx2", "avx512" or "neon".
const char* instruction_set_name(InstructionSet set);

}  // namespace proxkit

#endif
