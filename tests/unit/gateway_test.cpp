// The gateways' class rules, through the real plug-ins: single values run
// the float kernel and give single results, the scalar parameters of the
// other class are converted to the values' class, and every input of a
// wrong class is refused before anything is created or written.  Also the
// guard for builds on the host's 32-bit-dimension interface, where mwSize
// is a signed 32-bit int: no dimension above 2^31 - 1 reaches the host's
// creation call.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "factor/nzassign.h"
#include "factor/pairdot.h"
#include "gateway/gateway.h"
#include "plugin_test.h"
#include "random_segments.h"
#include "rowball/rowball.h"
#include "segment/grpclip.h"
#include "segment/grpnorm.h"
#include "segment/grpshrink.h"
#include "segment/grpsign.h"

namespace proxkit {
namespace {

using gateway::dimension_fits;
using standin::make_double;
using standin::make_row;
using standin::make_scalar;
using standin::make_single;
using testing::same_bits;

static_assert(dimension_fits<std::int32_t>(2147483647u));
static_assert(!dimension_fits<std::int32_t>(2147483648u));
static_assert(!dimension_fits<std::int32_t>(std::numeric_limits<std::size_t>::max()));
static_assert(dimension_fits<std::size_t>(std::numeric_limits<std::size_t>::max()));
static_assert(dimension_fits<std::int64_t>(std::size_t{1} << 40));

float float_of_bits(std::uint32_t b) {
  float x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

// Values whose bits a conversion through double or a wrong kernel would
// change: a NaN with a payload, -0, a subnormal, single's extremes.
const std::vector<float> awkward = {3, -4, 0.3f, float_of_bits(0x7fc01234u), -0.0f, 1e-40f, 3e38f, 5, 12, 1.5f};

class Gateway : public testing::PluginTest {
 protected:
  // The one result of an accepted call, which must be single.
  static std::vector<float> single_result(const char* kernel, const std::vector<const mxArray*>& in,
                                          std::size_t slot = 0, int nlhs = 1) {
    const standin::Call c = standin::call(testing::plugin(kernel), nlhs, in);
    EXPECT_FALSE(c.raised) << kernel << ": " << c.error;
    if (c.raised) return {};
    EXPECT_EQ(c.created, nlhs < 1 ? 1 : nlhs);
    return standin::singles(c.out[slot]);
  }
};

// Each plug-in on single values gives the bits of its float kernel, of the
// class single.
TEST_F(Gateway, SingleValuesRunTheFloatKernel) {
  const std::size_t n = awkward.size();
  const std::vector<double> bounds = {0, 2, 5, 10};
  const SegmentTable table{bounds.data(), bounds.size()};
  const float rho = 0.7f;
  mxArray* vect = make_single(1, n, awkward);
  std::vector<float> expected(n);

  EXPECT_TRUE(same_bits({grpnorm(awkward.data(), n, table)}, single_result("grpnorm", {vect, make_row(bounds)})));
  grpclip(awkward.data(), n, table, expected.data());
  EXPECT_TRUE(same_bits(expected, single_result("grpclip", {vect, make_row(bounds)})));
  grpshrink(awkward.data(), n, table, rho, expected.data());
  EXPECT_TRUE(same_bits(expected, single_result("grpshrink", {vect, make_row(bounds), make_single(1, 1, {rho})})));
  grpsign(awkward.data(), n, table, rho, expected.data());
  EXPECT_TRUE(same_bits(expected, single_result("grpsign", {vect, make_row(bounds), make_single(1, 1, {rho})})));

  // U' is 2-by-5 and V 2-by-5: both read from the same values.
  const std::vector<double> iR = {1, 5, 3}, iC = {2, 1, 5};
  std::vector<float> products(iR.size());
  pairdot(awkward.data(), awkward.data(), 2, iR.data(), iC.data(), iR.size(), products.data());
  EXPECT_TRUE(same_bits(products, single_result("pairdot", {make_single(2, 5, awkward), make_single(2, 5, awkward),
                                                           make_row(iR), make_row(iC)})));

  // X is 5-by-2; with and without the tolerance.
  for (const bool with_tol : {false, true}) {
    std::vector<float> P(n), theta(5), iterations(5);
    if (with_tol)
      rowball(P.data(), theta.data(), iterations.data(), awkward.data(), 5, 2, 2.5f, 1e-3f);
    else
      rowball(P.data(), theta.data(), iterations.data(), awkward.data(), 5, 2, 2.5f);
    std::vector<const mxArray*> in = {make_single(5, 2, awkward), make_scalar(5), make_scalar(2),
                                      make_single(1, 1, {2.5f})};
    if (with_tol) in.push_back(make_single(1, 1, {1e-3f}));
    EXPECT_TRUE(same_bits(P, single_result("rowball", in, 0, 3))) << with_tol;
    EXPECT_TRUE(same_bits(theta, single_result("rowball", in, 1, 3))) << with_tol;
    EXPECT_TRUE(same_bits(iterations, single_result("rowball", in, 2, 3))) << with_tol;
  }

  mxArray* S = make_single(2, 6, std::vector<float>(12, 9.0f));
  const standin::Call c = standin::call(testing::plugin("nzassign"), 0, {S, vect});
  ASSERT_FALSE(c.raised) << c.error;
  std::vector<float> written = awkward;
  written.resize(12, 9.0f);
  EXPECT_TRUE(same_bits(written, standin::singles(S)));
}

// A double parameter with single values is rounded to single, to nearest,
// once; a single one with double values is widened.  The two values of rho
// sit on either side of where rounding, truncation and double arithmetic
// disagree about grpsign's threshold 10*rho against the norm 5.
TEST_F(Gateway, ParametersOfTheOtherClassAreConverted) {
  const std::vector<float> v = {3, 4};
  const std::vector<double> bounds = {0, 2};
  const SegmentTable table{bounds.data(), bounds.size()};
  for (const double rho : {0.5 + std::ldexp(1.0, -30), 0.5 + std::ldexp(1.0, -25) + std::ldexp(1.0, -40)}) {
    std::vector<float> expected(2);
    grpsign(v.data(), 2, table, static_cast<float>(rho), expected.data());
    EXPECT_TRUE(same_bits(expected, single_result("grpsign", {make_single(2, 1, v), make_row(bounds), make_scalar(rho)})))
        << rho;
    grpshrink(v.data(), 2, table, static_cast<float>(rho), expected.data());
    EXPECT_TRUE(
        same_bits(expected, single_result("grpshrink", {make_single(2, 1, v), make_row(bounds), make_scalar(rho)})))
        << rho;
  }
  const double t = 1 + std::ldexp(1.0, -25) + std::ldexp(1.0, -40);
  std::vector<float> P(2), theta(1), iterations(1);
  rowball(P.data(), theta.data(), iterations.data(), v.data(), 1, 2, static_cast<float>(t));
  EXPECT_TRUE(same_bits(P, single_result("rowball", {make_single(1, 2, v), make_scalar(1), make_scalar(2), make_scalar(t)})));

  // A double tolerance too small for single is accepted: it rounds to 0,
  // the exact rule.
  rowball(P.data(), theta.data(), iterations.data(), v.data(), 1, 2, 1.0f, 0.0f);
  EXPECT_TRUE(same_bits(theta, single_result("rowball", {make_single(1, 2, v), make_scalar(1), make_scalar(2),
                                                         make_scalar(1), make_scalar(1e-50)},
                                             1, 2)));

  // Single parameters with double values: exact.
  const std::vector<double> x = {3, 4};
  std::vector<double> shrunk(2);
  grpshrink(x.data(), 2, table, static_cast<double>(0.7f), shrunk.data());
  EXPECT_TRUE(same_bits(shrunk, testing::column_result("grpshrink", {make_double(2, 1, x), make_row(bounds),
                                                                     make_single(1, 1, {0.7f})})));
}

// Every refusal of the class rules: its message, nothing created, no input
// changed (nzassign's S included).
TEST_F(Gateway, WrongClassesAreRefusedBeforeAnythingIsWritten) {
  struct Refusal {
    const char* kernel;
    int nlhs;
    std::vector<const mxArray*> inputs;
    std::string message;
  };
  const std::string values_only = " must be a real, full double array; single is for values only.";
  mxArray* one = make_scalar(1);
  mxArray* single_one = make_single(1, 1, {1});
  mxArray* full_S = make_double(2, 2, {1, 2, 3, 4});
  mxArray* single_S = make_single(2, 2, {1, 2, 3, 4});
  mxArray* sparse_S = standin::make_sparse(2, 2, 2, {1, 2});
  mxArray* complex_single = standin::make_of_class(mxSINGLE_CLASS, 2, 1, true);
  const std::vector<Refusal> refusals = {
      {"grpnorm", 1, {single_one, single_one}, "accIdx" + values_only},
      {"grpnorm", 1, {complex_single, one}, "vect must be a real, full double or single array."},
      {"grpclip", 1, {standin::make_of_class(mxINT8_CLASS, 2, 1), one}, "vect must be a real, full double or single array."},
      {"grpshrink", 1, {single_one, make_row({0, 1}), standin::make_of_class(mxLOGICAL_CLASS, 1, 1)},
       "rho must be a real, full double or single array."},
      {"grpsign", 1, {single_one, make_row({0, 1}), make_single(0, 0)}, "rho must have at least one element."},
      {"pairdot", 1, {single_S, full_S, one, one}, "U' and V must be of one class, double or single."},
      {"pairdot", 1, {full_S, single_S, one, one}, "U' and V must be of one class, double or single."},
      {"pairdot", 1, {single_S, single_S, one, single_one}, "iC" + values_only},
      {"nzassign", 0, {single_S, make_row({9})}, "v must be of the class of S."},
      {"nzassign", 0, {full_S, single_one}, "v must be of the class of S."},
      {"nzassign", 0, {sparse_S, single_one}, "v must be of the class of S."},
      {"nzassign", 0, {complex_single, single_one}, "S must be a real double or single array."},
      {"nzassign", 0, {standin::make_sparse(2, 2, 2, {1, 2}, mxSINGLE_CLASS), single_one},
       "S must be a real double or single array, and double when sparse."},
      {"nzassign", 0, {single_S, standin::make_of_class(mxINT32_CLASS, 1, 1)},
       "v must be a real, full double or single array."},
      {"rowball", 3, {single_S, single_one, one, one}, "m" + values_only},
      {"rowball", 3, {single_S, one, single_one, one}, "n" + values_only},
      {"rowball", 3, {single_S, one, one, complex_single}, "t must be a real, full double or single array."},
      {"rowball", 3, {full_S, one, one, one, make_scalar(-1e-300)}, "tol must be a non-negative number."},
      {"rowball", 3, {single_S, one, one, one, make_single(1, 1, {-0.0f - 1e-45f})}, "tol must be a non-negative number."},
      {"rowball", 3, {full_S, one, one, one, make_scalar(std::nan(""))}, "tol must be a non-negative number."},
      {"rowball", 3, {full_S, one, one, one, make_double(1, 0)}, "tol must have at least one element."},
      {"rowball", 3, {full_S, one, one, one, standin::make_of_class(mxCHAR_CLASS, 1, 1)},
       "tol must be a real, full double or single array."},
  };
  for (const Refusal& r : refusals) {
    std::vector<std::vector<unsigned char>> before;
    for (const mxArray* a : r.inputs) before.push_back(standin::bytes(a));
    expect_refused(standin::call(testing::plugin(r.kernel), r.nlhs, r.inputs), r.message);
    for (std::size_t i = 0; i < r.inputs.size(); ++i)
      EXPECT_EQ(before[i], standin::bytes(r.inputs[i])) << r.kernel << ": " << r.message << ", input " << i;
  }
}

}  // namespace
}  // namespace proxkit
