// Tests run once per instruction set, each forced in turn for the test's
// duration and skipped where this machine lacks it; forcing the baseline is
// what shows that the baseline alone gives every result.
#ifndef PROXKIT_TESTS_INSTRUCTION_SETS_H
#define PROXKIT_TESTS_INSTRUCTION_SETS_H

#include <gtest/gtest.h>

#include <string>

#include "core/instruction_set.h"

namespace proxkit::testing {

// A fixture `Base` whose tests run on the instruction set of their parameter.
template <class Base>
class OnInstructionSet : public Base, public ::testing::WithParamInterface<InstructionSet> {
 protected:
  void SetUp() override {
    Base::SetUp();
    if (!choose_instruction_set(GetParam()))
      GTEST_SKIP() << "this machine lacks " << instruction_set_name(GetParam());
  }
  void TearDown() override {
    choose_instruction_set(widest_instruction_set());
    Base::TearDown();
  }
};

// The sets this build carries; a set the machine lacks is skipped.
inline auto every_instruction_set() {
#if PROXKIT_X86_SETS
  return ::testing::Values(InstructionSet::baseline, InstructionSet::avx2, InstructionSet::avx512);
#elif PROXKIT_NEON_SET
  return ::testing::Values(InstructionSet::baseline, InstructionSet::neon);
#else
  return ::testing::Values(InstructionSet::baseline);
#endif
}

inline std::string instruction_set_test_name(const ::testing::TestParamInfo<InstructionSet>& info) {
  return instruction_set_name(info.param);
}

}  // namespace proxkit::testing

#endif
