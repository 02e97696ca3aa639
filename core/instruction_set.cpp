#include "core/instruction_set.h"

#include <atomic>

#if PROXKIT_X86_SETS
#if defined(_MSC_VER)
#include <intrin.h>
#include <immintrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace proxkit {
namespace {

#if PROXKIT_X86_SETS
struct Registers {
  unsigned eax, ebx, ecx, edx;
};

Registers cpuid(unsigned leaf, unsigned subleaf) {
  Registers r{};
#if defined(_MSC_VER)
  int out[4];
  __cpuidex(out, static_cast<int>(leaf), static_cast<int>(subleaf));
  r = {static_cast<unsigned>(out[0]), static_cast<unsigned>(out[1]), static_cast<unsigned>(out[2]),
       static_cast<unsigned>(out[3])};
#else
  if (!__get_cpuid_count(leaf, subleaf, &r.eax, &r.ebx, &r.ecx, &r.edx)) r = {};
#endif
  return r;
}

// The register states the operating system saves and restores (XCR0).
unsigned long long saved_register_states() {
#if defined(_MSC_VER)
  return _xgetbv(0);
#else
  unsigned eax, edx;
  __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return (static_cast<unsigned long long>(edx) << 32) | eax;
#endif
}

bool bit(unsigned word, int index) { return (word >> index) & 1u; }

InstructionSet detect() {
  const Registers basic = cpuid(1, 0);
  // XGETBV exists only when the operating system has enabled XSAVE.
  if (!bit(basic.ecx, 27) || !bit(basic.ecx, 28)) return InstructionSet::baseline;
  const unsigned long long states = saved_register_states();
  constexpr unsigned long long sse_avx = 0x6, opmask_zmm = 0xE0;
  if ((states & sse_avx) != sse_avx) return InstructionSet::baseline;
  if (cpuid(0, 0).eax < 7) return InstructionSet::baseline;
  const Registers extended = cpuid(7, 0);
  if (!bit(extended.ebx, 5)) return InstructionSet::baseline;
  const bool avx512 = bit(extended.ebx, 16) && bit(extended.ebx, 17) && bit(extended.ebx, 30) &&
                      bit(extended.ebx, 31) && (states & opmask_zmm) == opmask_zmm;
  return avx512 ? InstructionSet::avx512 : InstructionSet::avx2;
}
#elif PROXKIT_NEON_SET
InstructionSet detect() { return InstructionSet::neon; }
#else
InstructionSet detect() { return InstructionSet::baseline; }
#endif

// widest: -1 until the first kernel asks; CPUID may trap to a hypervisor,
// so it runs once, and threads that detect at once store the same value.
// chosen: -1, the widest, until a test or benchmark chooses.
// Plain atomics, not a function's static: its guarded initialisation would
// call into the C++ runtime, which a plug-in must not need.
std::atomic<int> widest{-1};
std::atomic<int> chosen{-1};

}  // namespace

InstructionSet widest_instruction_set() {
  const int set = widest.load(std::memory_order_relaxed);
  if (set >= 0) return static_cast<InstructionSet>(set);
  const InstructionSet detected = detect();
  widest.store(static_cast<int>(detected), std::memory_order_relaxed);
  return detected;
}

bool instruction_set_supported(InstructionSet set) {
  switch (set) {
    case InstructionSet::baseline:
      return true;
    case InstructionSet::avx2:
      return widest_instruction_set() == InstructionSet::avx2 || widest_instruction_set() == InstructionSet::avx512;
    case InstructionSet::avx512:
    case InstructionSet::neon:
      return widest_instruction_set() == set;
  }
  return false;  // a value cast from outside the enumeration names no path
}

InstructionSet chosen_instruction_set() {
  const int set = chosen.load(std::memory_order_relaxed);
  return set >= 0 ? static_cast<InstructionSet>(set) : widest_instruction_set();
}

bool choose_instruction_set(InstructionSet set) {
  if (!instruction_set_supported(set)) return false;
  chosen.store(static_cast<int>(set), std::memory_order_relaxed);
  return true;
}

const char* instruction_set_name(InstructionSet set) {
  switch (set) {
    case InstructionSet::avx2:
      return "avx2";
    case InstructionSet::avx512:
      return "avx512";
    case InstructionSet::neon:
      return "neon";
    case InstructionSet::baseline:
      break;
  }
  return "baseline";
}

}  // namespace proxkit
