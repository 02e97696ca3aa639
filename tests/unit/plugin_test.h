// Shared helpers for tests that call the real plug-ins through the stand-in
// host.
#ifndef PROXKIT_TESTS_PLUGIN_TEST_H
#define PROXKIT_TESTS_PLUGIN_TEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standin.h"
#include "unit/same_bits.h"

namespace proxkit::testing {

// The plug-in built for this test binary's stand-in variant, loaded once.
// The name is a plain pointer: a std::string parameter bound to a temporary
// makes g++ 13 and later warn that the returned reference may dangle.
inline const standin::Plugin& plugin(const char* kernel) {
  static std::map<std::string, std::unique_ptr<standin::Plugin>> loaded;
  auto& slot = loaded[kernel];
  if (!slot) slot = std::make_unique<standin::Plugin>(std::string(PROXKIT_PLUGIN_DIR) + "/" + kernel + ".mex");
  return *slot;
}


// The values of a kernel's one result, which must be an N-by-1 column; a
// raised error fails the test and gives no values.
inline std::vector<double> column_result(const std::string& kernel, const std::vector<const mxArray*>& inputs) {
  const standin::Call c = standin::call(plugin(kernel.c_str()), 1, inputs);
  EXPECT_FALSE(c.raised) << kernel << ": " << c.error;
  if (c.raised) return {};
  EXPECT_EQ(standin::cols(c.out[0]), 1u) << kernel;
  return standin::values(c.out[0]);
}

// Releases the host's arrays after each test.
class PluginTest : public ::testing::Test {
 protected:
  void TearDown() override { standin::release_all(); }

  // A call that must be refused with `message`, creating nothing.
  static void expect_refused(const standin::Call& call, const std::string& message) {
    EXPECT_TRUE(call.raised);
    EXPECT_EQ(call.error, message);
    EXPECT_EQ(call.created, 0);
  }
};

}  // namespace proxkit::testing

#endif
