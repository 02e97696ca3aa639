// What grpclip, grpshrink and grpsign share: the gateway (counts, classes,
// the table's validation, an N-by-1 result whatever the shape of vect, the
// handling of rho) and bit-for-bit agreement with the literal references on
// random vectors and tables, both for the plain functions and through the
// plug-ins.
#include <cmath>
#include <limits>
#include <string>

#include "plugin_test.h"
#include "random_segments.h"
#include "reference/literal_segments.h"
#include "segment/grpclip.h"
#include "segment/grpshrink.h"
#include "segment/grpsign.h"

namespace proxkit {
namespace {

using standin::make_column;
using standin::make_row;
using standin::make_scalar;
using testing::same_bits;

// A kernel with an N-by-1 result, its plain function and literal reference
// brought to one signature (grpclip ignores rho).
struct ColumnKernel {
  const char* name;
  const char* usage;
  bool takes_rho;
  void (*plain)(const double* vect, size_t n, SegmentTable table, double rho, double* out);
  void (*literal)(const double* vect, size_t n, const double* b, size_t K, double rho, double* out);
};

const ColumnKernel kernels[] = {
    {"grpclip", "Usage: out = grpclip (vect, accIdx)", false,
     [](const double* v, size_t n, SegmentTable t, double, double* out) { grpclip(v, n, t, out); },
     [](const double* v, size_t n, const double* b, size_t K, double, double* out) {
       literal::grpclip(v, n, b, K, out);
     }},
    {"grpshrink", "Usage: out = grpshrink (vect, accIdx, rho)", true, grpshrink, literal::grpshrink},
    {"grpsign", "Usage: out = grpsign (vect, accIdx, rho)", true, grpsign, literal::grpsign},
};

void PrintTo(const ColumnKernel& kernel, std::ostream* os) { *os << kernel.name; }

std::string kernel_name(const ::testing::TestParamInfo<ColumnKernel>& info) { return info.param.name; }

const char* const out_of_bound = "INDEX OUT OF BOUND: the last index is out of bound.";

class SegmentColumn : public testing::PluginTest, public ::testing::WithParamInterface<ColumnKernel> {
 protected:
  const ColumnKernel& kernel() const { return GetParam(); }

  // The kernel's inputs in order; rho is left out for grpclip.
  std::vector<const mxArray*> inputs(const mxArray* vect, const mxArray* table, const mxArray* rho) const {
    if (kernel().takes_rho) return {vect, table, rho};
    return {vect, table};
  }
  std::vector<const mxArray*> inputs(const std::vector<double>& vect, const std::vector<double>& table,
                                     double rho) const {
    return inputs(make_column(vect), make_row(table), make_scalar(rho));
  }
  standin::Call run(int nlhs, const std::vector<const mxArray*>& in) const {
    return standin::call(testing::plugin(kernel().name), nlhs, in);
  }

  std::vector<double> literal(const std::vector<double>& v, const std::vector<double>& table, double rho) const {
    std::vector<double> out(v.size(), 0.0);
    kernel().literal(v.data(), v.size(), table.data(), table.size(), rho, out.data());
    return out;
  }
};

TEST_P(SegmentColumn, WrongCountsRaiseTheUsageMessageAndCreateNothing) {
  std::vector<const mxArray*> in = inputs({1, 2}, {0, 2}, 1);
  expect_refused(run(2, in), kernel().usage);
  in.push_back(make_scalar(1));
  expect_refused(run(1, in), kernel().usage);
  in.resize(in.size() - 2);
  expect_refused(run(1, in), kernel().usage);
  expect_refused(run(0, {}), kernel().usage);
}

TEST_P(SegmentColumn, InputsOfOtherClassesAreNeverReadAsDoubles) {
  const std::vector<const mxArray*> good = inputs({1, 2}, {0, 2}, 1);
  const char* const messages[] = {"vect must be a real, full double or single array.",
                                  "accIdx must be a real, full double array.",
                                  "rho must be a real, full double or single array."};
  for (size_t slot = 0; slot < good.size(); ++slot) {
    const std::string message = messages[slot];
    std::vector<mxArray*> bad;
    for (mxClassID id : {mxINT32_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS, mxCELL_CLASS, mxSTRUCT_CLASS, mxUINT8_CLASS})
      bad.push_back(standin::make_of_class(id, 1, 2));
    bad.push_back(standin::make_of_class(mxDOUBLE_CLASS, 1, 2, true));
    bad.push_back(standin::make_sparse(1, 2, 2, {0, 2}));
    for (mxArray* a : bad) {
      std::vector<const mxArray*> in = good;
      in[slot] = a;
      expect_refused(run(1, in), message);
    }
  }
}

TEST_P(SegmentColumn, OnlyALastEntryAboveTheLengthIsRefused) {
  const std::vector<double> v = {3, 4, 0, 5, 12};
  expect_refused(run(1, inputs(v, {0, 2, 5.5}, 1)), out_of_bound);
  expect_refused(run(1, inputs(v, {0, 6}, 1)), out_of_bound);
  expect_refused(run(1, inputs(v, {0, std::numeric_limits<double>::infinity()}, 1)), out_of_bound);
  EXPECT_EQ(testing::column_result(kernel().name, inputs(v, {0, 2, 4.5}, 1)).size(), 5u);
  EXPECT_EQ(testing::column_result(kernel().name, inputs(v, {9, 2, std::nan("")}, 1)).size(), 5u);
}

TEST_P(SegmentColumn, TheResultIsAColumnWhateverTheShapeOfVect) {
  const std::vector<double> v = {3, 4, 6, 8};
  const std::vector<double> expected = literal(v, {0, 2, 4}, 0.01);
  const mxArray* table = make_row({0, 2, 4});
  for (mxArray* vect : {make_row(v), standin::make_double(2, 2, v), make_column(v)})
    EXPECT_TRUE(same_bits(expected, testing::column_result(kernel().name, inputs(vect, table, make_scalar(0.01)))));
  EXPECT_TRUE(testing::column_result(kernel().name, inputs({}, {0, 0}, 1)).empty());
}

TEST_P(SegmentColumn, NoRequestedResultStillFillsTheFirstSlot) {
  const standin::Call c = run(0, inputs({3, 4}, {0, 2}, 0.01));
  ASSERT_FALSE(c.raised) << c.error;
  ASSERT_NE(c.out[0], nullptr);
  EXPECT_TRUE(same_bits(literal({3, 4}, {0, 2}, 0.01), standin::values(c.out[0])));
}

TEST_P(SegmentColumn, UnsafeTablesStayInsideTheVector) {
  const std::vector<double> v = {3, -4, 0, 5, 12};
  const double inf = std::numeric_limits<double>::infinity();
  for (const std::vector<double>& table : std::vector<std::vector<double>>{
           {3, 1e9, 2, 5}, {std::nan(""), 5, -7, 5, inf, 5, 1e300, 5}, {-0.5, 2}, {4, 1, 0}, {}})
    EXPECT_TRUE(same_bits(literal(v, table, 0.5), testing::column_result(kernel().name, inputs(v, table, 0.5))));
}

// Found by fuzzing: a start entry far past the vector (2^61 wraps a pointer
// offset to the vector's own address) once made an empty segment form a
// pointer outside vect, alone and in a batch of eight segments.
TEST_P(SegmentColumn, StartsFarPastTheVectorFormNoPointerOutsideIt) {
  const std::vector<double> v = {3, -4, 0, 5, 12};
  const double far = 2305843009213693952.0;  // 2^61
  for (const std::vector<double>& table : std::vector<std::vector<double>>{
           {far, 5}, {9.2e18, 1, far, 2, 2 * far, 3, 1e18, 4, 6, 5}, {6, 2, 5}})
    EXPECT_TRUE(same_bits(literal(v, table, 0.5), testing::column_result(kernel().name, inputs(v, table, 0.5))));
}

TEST_P(SegmentColumn, MatchesTheLiteralReferenceBitForBit) {
  testing::RandomSegments random(20261209);
  for (int round = 0; round < 400; ++round) {
    const std::vector<double> v = random.vect();
    const std::vector<double> table = random.table(v.size());
    const double rho = random.rho();
    const std::vector<double> expected = literal(v, table, rho);
    std::vector<double> plain(v.size(), 0.0);
    kernel().plain(v.data(), v.size(), {table.data(), table.size()}, rho, plain.data());
    EXPECT_TRUE(same_bits(expected, plain)) << kernel().name << " round " << round;
    EXPECT_TRUE(same_bits(expected, testing::column_result(kernel().name, inputs(v, table, rho))))
        << kernel().name << " round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, SegmentColumn, ::testing::ValuesIn(kernels),
                         kernel_name);

// rho, for the kernels that take it.
class SegmentRho : public SegmentColumn {};

TEST_P(SegmentRho, AnEmptyRhoIsRefusedWheneverTheTableHasASegment) {
  const mxArray* vect = make_column({3, 4});
  for (const std::vector<double>& table :
       std::vector<std::vector<double>>{{0, 2}, {0, 0}, {std::nan(""), 2}, {2, 0, 1}})
    for (mxArray* rho : {standin::make_double(0, 0), standin::make_double(1, 0), standin::make_double(0, 3)})
      expect_refused(run(1, inputs(vect, make_row(table), rho)), "rho must have at least one element.");
}

TEST_P(SegmentRho, AnEmptyRhoIsAcceptedWhenNothingWouldReadIt) {
  for (const std::vector<double>& table : std::vector<std::vector<double>>{{}, {1}})
    EXPECT_TRUE(same_bits({0, 0},
                          testing::column_result(kernel().name, inputs(make_column({3, 4}), make_row(table),
                                                                       standin::make_double(0, 0)))));
}

TEST_P(SegmentRho, OnlyTheFirstElementOfRhoCounts) {
  const std::vector<double> v = {3, 4, 0.3, 0.4};
  const std::vector<double> expected = literal(v, {0, 2, 4}, 0.05);
  for (mxArray* rho : {make_row({0.05, 100}), standin::make_double(2, 2, {0.05, -1, std::nan(""), 0})})
    EXPECT_TRUE(same_bits(expected, testing::column_result(kernel().name, inputs(make_column(v), make_row({0, 2, 4}), rho))));
}

INSTANTIATE_TEST_SUITE_P(Kernels, SegmentRho, ::testing::Values(kernels[1], kernels[2]),
                         kernel_name);

}  // namespace
}  // namespace proxkit
