// The fuzzers' byte format and the stand-in host features they rely on.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "fuzz/call_format.h"
#include "plugin_test.h"

namespace proxkit {
namespace {

using fuzz::CallWriter;
using fuzz::decode_call;
using fuzz::DecodedCall;
using testing::bits;
using testing::same_bits;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

class CallFormat : public testing::PluginTest {
 protected:
  static DecodedCall decode(const std::vector<std::uint8_t>& bytes) { return decode_call(bytes.data(), bytes.size()); }
};

TEST_F(CallFormat, WrittenCallsDecodeToTheSameArrays) {
  const std::vector<double> extremes = {0.0, -0.0, nan, inf, -inf, 5e-324, -7, 200, 2.25, 0.1, 1e300, 3};
  const CallWriter w = CallWriter(5, 2)
                           .full(3, 4, extremes)
                           .sparse(3, 3, {1, -0.0})
                           .of_kind(fuzz::kInteger + 16 * 4, 1, 2, {-3, 1e10})
                           .of_kind(fuzz::kSingle, 1, 1, {1e300})
                           .of_kind(fuzz::kContainer, 2, 1, {});
  const DecodedCall call = decode(w.bytes());
  EXPECT_EQ(call.nlhs, 2);
  ASSERT_EQ(call.inputs.size(), 5u);
  EXPECT_TRUE(same_bits(extremes, standin::values(call.inputs[0])));
  EXPECT_EQ(standin::rows(call.inputs[0]), 3u);
  EXPECT_EQ(standin::cols(call.inputs[0]), 4u);
  EXPECT_TRUE(mxIsSparse(call.inputs[1]));
  EXPECT_EQ(mxGetNzmax(call.inputs[1]), 2u);
  EXPECT_TRUE(same_bits({1, -0.0}, standin::values(call.inputs[1])));
  EXPECT_EQ(mxGetClassID(call.inputs[2]), mxINT32_CLASS);
  EXPECT_EQ(mxGetScalar(call.inputs[2]), -3.0);
  EXPECT_EQ(standin::bytes(call.inputs[2]).size(), 8u);  // 1e10 saturates into the second int32
  EXPECT_EQ(mxGetClassID(call.inputs[3]), mxSINGLE_CLASS);
  EXPECT_EQ(mxGetScalar(call.inputs[3]), inf);
  EXPECT_EQ(mxGetClassID(call.inputs[4]), mxCELL_CLASS);
}

TEST_F(CallFormat, EveryByteStringIsACall) {
  EXPECT_TRUE(decode({}).inputs.empty());
  const DecodedCall truncated = decode({7 + 8 * 7, fuzz::kDouble, 2, 3});
  EXPECT_EQ(truncated.nlhs, 7);
  ASSERT_EQ(truncated.inputs.size(), 7u);
  EXPECT_TRUE(same_bits(std::vector<double>(6, 0.0), standin::values(truncated.inputs[0])));
  EXPECT_EQ(mxGetNumberOfElements(truncated.inputs[6]), 0u);
  // Dimension bytes: mostly below 64, and up to 127.
  const DecodedCall sizes = decode({1, fuzz::kDouble, 65, 200});
  EXPECT_EQ(standin::rows(sizes.inputs[0]), 1u);
  EXPECT_EQ(standin::cols(sizes.inputs[0]), 72u);
  EXPECT_EQ(standin::cols(decode(CallWriter(1, 0).full(0, 127, {}).bytes()).inputs[0]), 127u);
}

TEST_F(CallFormat, TagsReachTheExtremeValuesAroundEarlierSizes) {
  const std::uint8_t relative_to_numel_of_first = 0;
  const DecodedCall call = decode({3, fuzz::kDouble, 1, 5,
                                   fuzz::kNext, fuzz::kNext, fuzz::kNext, fuzz::kSubnormal + 16, 1, fuzz::kIndex, 0, 3,
                                   fuzz::kDouble, 1, 6,
                                   fuzz::kRelative, relative_to_numel_of_first, 1,
                                   fuzz::kPowerOfTwo + 16 * 1, 31,  // 2^31 - 1
                                   fuzz::kPowerOfTwo + 16 * 6, 53,  // -(2^53 + 1), rounded
                                   fuzz::kExtreme, 5,
                                   fuzz::kOtherNaN, 0,
                                   fuzz::kIndex, relative_to_numel_of_first, 7,  // 1 + 7 % 5
                                   fuzz::kRepeat + 16 * 1});
  ASSERT_EQ(call.inputs.size(), 3u);
  EXPECT_TRUE(same_bits({0, 1, 2, -2 * 5e-324, 1}, standin::values(call.inputs[0])));  // no earlier input: index 1
  const std::vector<double> second = standin::values(call.inputs[1]);
  EXPECT_EQ(second[0], 5.5);
  EXPECT_EQ(second[1], 2147483647.0);
  EXPECT_EQ(second[2], -9007199254740992.0);
  EXPECT_EQ(second[3], 9223372036854775808.0);
  EXPECT_EQ(bits(second[4]), 0x7ff0000000000001u);
  EXPECT_EQ(second[5], 3.0);
  EXPECT_EQ(call.inputs[2], call.inputs[1]);
}

TEST_F(CallFormat, TheHostConvertsScalarsOfEveryClass) {
  const auto scalar = [](std::uint8_t kind, double x) {
    return mxGetScalar(decode(CallWriter(1, 0).of_kind(kind, 1, 1, {x}).bytes()).inputs[0]);
  };
  EXPECT_EQ(scalar(fuzz::kInteger, -200), -128.0);
  EXPECT_EQ(scalar(fuzz::kInteger + 16 * 7, 1e30), 18446744073709551615.0);
  EXPECT_EQ(scalar(fuzz::kInteger + 16 * 2, -2.5), -2.0);
  EXPECT_EQ(scalar(fuzz::kLogical, 7), 1.0);
  EXPECT_EQ(scalar(fuzz::kChar, 65), 65.0);
  EXPECT_EQ(scalar(fuzz::kComplex, -3), -3.0);
  EXPECT_EQ(scalar(fuzz::kContainer, 0), 0.0);
  EXPECT_EQ(mxGetScalar(standin::make_double(0, 3)), 0.0);
}

TEST_F(CallFormat, AResultBeyondTheHostsMemoryEndsTheCallWithItsError) {
  standin::set_allocation_limit(0);
  const standin::Call c =
      standin::call(testing::plugin("grpnorm"), 1, {standin::make_row({3, 4}), standin::make_row({0, 2})});
  standin::set_allocation_limit(SIZE_MAX);
  EXPECT_TRUE(c.raised);
  EXPECT_TRUE(c.out_of_memory);
  EXPECT_EQ(c.error, "out of memory or dimension too large for Octave's index type");
  EXPECT_EQ(c.created, 0);
}

}  // namespace
}  // namespace proxkit
