// What each kernel's plug-in must do on every platform.
//
// Each kernel has a function that lists its cases: the worked examples with
// their exact results, its messages, and sampled calls over awkward values,
// whose outcomes are compared with the Linux x86-64 build's.  To add a
// kernel, write its function and add it to the table at the end.  A plug-in
// whose kernel has no entry is still loaded and its entry point looked up.
#include "cases.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace smoke {
namespace {

Array column(std::vector<double> values) {
  const std::size_t n = values.size();
  return {STANDIN_DOUBLE, n, 1, std::move(values)};
}
Array row(std::vector<double> values) {
  const std::size_t n = values.size();
  return {STANDIN_DOUBLE, 1, n, std::move(values)};
}
Array scalar(double value) { return {STANDIN_DOUBLE, 1, 1, {value}}; }
Array matrix(std::size_t rows, std::size_t cols, std::vector<double> values) {
  return {STANDIN_DOUBLE, rows, cols, std::move(values)};
}
Array sparse(std::size_t rows, std::size_t cols, std::vector<double> stored) {
  return {STANDIN_SPARSE, rows, cols, std::move(stored)};
}
// A column of 2^31 elements, one more than a 32-bit signed dimension holds,
// of which only the first few are stored.
Array huge_column(std::vector<double> first) {
  return {STANDIN_CLAIMED, std::size_t{1} << 31, 1, std::move(first)};
}
// The same array in single, its values rounded to single as the host
// rounds them when it makes the array (out-of-range ones to infinities).
Array single(Array a) {
  a.kind = STANDIN_SINGLE;
  for (double& x : a.values) x = static_cast<float>(x);
  return a;
}
const std::string single_table = "accIdx must be a real, full double array; single is for values only.";

Case call(std::string name, int nlhs, std::vector<Array> inputs) {
  Case c;
  c.name = std::move(name);
  c.nlhs = nlhs;
  c.inputs = std::move(inputs);
  return c;
}

Case returns(std::string name, std::vector<Array> inputs, std::vector<Array> results, int nlhs = 1) {
  Case c = call(std::move(name), nlhs, std::move(inputs));
  c.results = std::move(results);
  return c;
}

Case refuses(std::string name, std::vector<Array> inputs, std::string message, int nlhs = 1) {
  Case c = call(std::move(name), nlhs, std::move(inputs));
  c.error = std::move(message);
  return c;
}

double from_bits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = from_bits(0x7ff8000000000000u);
// The NaN that this processor's arithmetic makes of 0/0, Inf/Inf and 0*Inf.
// IEEE 754 leaves its sign open: x86 sets it (0xfff8...), Arm clears it
// (0x7ff8...).
double arithmetic_nan() {
  volatile double zero = 0.0;
  return zero / zero;
}
const double default_nan = arithmetic_nan();
// Copied values must keep every bit, a signalling NaN's included.
const double signalling_nan = from_bits(0x7ff4000000000001u);
const std::string out_of_bound = "INDEX OUT OF BOUND: the last index is out of bound.";

// A case whose call writes into its inputs.
Case writes(std::string name, int nlhs, std::vector<Array> inputs, std::vector<Array> after) {
  Case c = call(std::move(name), nlhs, std::move(inputs));
  c.results = std::vector<Array>{};
  c.inputs_after = std::move(after);
  return c;
}

// Awkward doubles from a fixed sequence, built from bits alone so that every
// platform draws the same ones: all magnitudes from subnormal to overflow
// when squared, signed zeros, infinities and NaNs.
class Sampler {
 public:
  explicit Sampler(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {  // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717u;
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

  double value() {
    const std::uint64_t r = next();
    switch (r % 16) {
      case 0: return from_bits((r & (1u << 8)) ? 0x8000000000000000u : 0);  // +-0
      case 1: return (r & (1u << 8)) ? inf : -inf;
      case 2: return nan;
      case 3: return from_bits(r >> 12);                                       // subnormal
      default: {
        // A normal double with an exponent from about 1e-170 to 1e170.
        const std::uint64_t exponent = 1023 - 565 + (r >> 40) % 1130;
        return from_bits((r & 0x800000000000000u) << 4 | exponent << 52 | (r & 0xfffffffffffffu));
      }
    }
  }
  std::vector<double> values(std::size_t n) {
    std::vector<double> v(n);
    for (double& x : v) x = value();
    return v;
  }

 private:
  std::uint64_t state_;
};

// A segment table over n elements: mostly in order, with fractional,
// negative, NaN and repeated entries, and a last entry that is sometimes
// above n.
std::vector<double> sampled_table(Sampler& s, std::size_t n) {
  std::vector<double> table(s.below(7));
  for (double& b : table) {
    const std::size_t kind = s.below(8);
    if (kind == 0) b = nan;
    else if (kind == 1) b = -static_cast<double>(s.below(3)) - 0.5;
    else if (kind == 2) b = static_cast<double>(s.below(2 * n + 2)) / 2;
    else b = static_cast<double>(s.below(n + 1));
  }
  if (!table.empty() && s.below(6) == 0) table.back() = static_cast<double>(n) + 0.5;
  return table;
}

// A sampled call: its outcome is compared with the Linux x86-64 build's.
Case sampled(int k, std::vector<Array> inputs) { return call("sampled " + std::to_string(k), 1, std::move(inputs)); }

// Sampled calls of a segment kernel on `cases`: a vector, a table and, for
// the kernels that take it, rho; the last quarter in single (their values
// rounded to single, out-of-range ones to infinities), with a rho of
// either class.
void add_sampled_segment_calls(std::vector<Case>& cases, std::uint64_t seed, int count, bool with_rho) {
  Sampler s(seed);
  for (int k = 0; k < count + count / 4; ++k) {
    const std::size_t n = s.below(24);
    const bool in_single = k >= count;
    std::vector<Array> inputs = {column(s.values(n)), row(sampled_table(s, n))};
    if (in_single) inputs[0] = single(inputs[0]);
    if (with_rho) inputs.push_back(in_single && k % 2 == 0 ? single(scalar(s.value())) : scalar(s.value()));
    cases.push_back(sampled(k, std::move(inputs)));
  }
}

std::vector<Case> grpnorm_cases() {
  const std::string usage = "Usage: out = grpnorm (vect, accIdx)";
  const Array vect = column({3, 4, 0, 5, 12});
  std::vector<Case> cases = {
      returns("worked example", {vect, row({0, 2, 5})}, {scalar(18)}),
      returns("one entry, no segment", {vect, row({3})}, {scalar(0)}),
      returns("empty first segment", {column({3, 4}), row({0, 0, 2})}, {scalar(5)}),
      returns("positions outside every segment", {column({100, 3, 4, 100}), row({1, 3})}, {scalar(5)}),
      // A start past the vector is an empty segment on every build, even one
      // too large for a 32-bit size type.
      returns("start 2^32 + 1", {column({3, 4, 5}), row({4294967297.0, 3})}, {scalar(0)}),
      returns("last entry N - 0.5", {vect, row({0, 2, 4.5})}, {scalar(18)}),
      returns("no result requested", {vect, row({0, 2, 5})}, {scalar(18)}, 0),
      returns("NaN element", {column({1, nan, 1}), row({0, 1, 3})}, {scalar(nan)}),
      // Squares in double: overflow to +Inf and underflow into subnormals
      // (the x87 unit would keep both: 1.4142135623730951e155 and 5e-160).
      returns("squares overflow", {column({1e155, 1e155}), row({0, 2})}, {scalar(inf)}),
      returns("squares underflow", {column({3e-160, 4e-160}), row({0, 2})},
              {scalar(from_bits(0x1edc1e38d52b1210u))}),
      refuses("one input", {vect}, usage),
      refuses("three inputs", {vect, row({0, 5}), row({0})}, usage),
      refuses("two results", {vect, row({0, 5})}, usage, 2),
      refuses("last entry above N", {vect, row({0, 2, 5.5})}, out_of_bound),
      returns("single worked example", {single(vect), row({0, 2, 5})}, {single(scalar(18))}),
      refuses("single accIdx", {vect, single(row({0, 2}))}, single_table),
      returns("2^31 elements, a 1-by-1 result", {huge_column({3, 4}), row({0, 2})}, {scalar(5)}),
  };
  add_sampled_segment_calls(cases, 0x67726e6f726d, 40, false);
  return cases;
}

std::vector<Case> grpclip_cases() {
  const std::string usage = "Usage: out = grpclip (vect, accIdx)";
  std::vector<Case> cases = {
      returns("worked example", {row({3, 4, 0.3, 0.4}), row({0, 2, 4})}, {column({0.6, 0.8, 0.3, 0.4})}),
      returns("norm exactly 1", {column({1, 0}), row({0, 2})}, {column({1, 0})}),
      returns("NaN segment unchanged", {column({nan, 5}), row({0, 2})}, {column({nan, 5})}),
      returns("infinite segment", {column({inf, 3, -2}), row({0, 3})}, {column({default_nan, 0, -0.0})}),
      returns("squares overflow", {column({1e200, -1}), row({0, 2})}, {column({0, -0.0})}),
      returns("positions outside copied", {column({signalling_nan, 3, 4, -0.0}), row({1, 3})},
              {column({signalling_nan, 0.6, 0.8, -0.0})}),
      returns("signalling NaN segment copied", {column({signalling_nan, 0.5}), row({0, 2})},
              {column({signalling_nan, 0.5})}),
      returns("start 2^32 + 1", {column({3, 4, 5}), row({4294967297.0, 3})}, {column({3, 4, 5})}),
      returns("single", {single(row({3, 4, 0.25, 0.5})), row({0, 2, 4})}, {single(column({0.6, 0.8, 0.25, 0.5}))}),
      refuses("three inputs", {column({1}), row({0, 1}), row({0})}, usage),
      refuses("last entry above N", {column({1, 2}), row({0, 3})}, out_of_bound),
      refuses("single accIdx", {single(column({1, 2})), single(row({0, 2}))}, single_table),
  };
  add_sampled_segment_calls(cases, 0x677270636c6970, 20, false);
  return cases;
}

std::vector<Case> grpshrink_cases() {
  const std::string usage = "Usage: out = grpshrink (vect, accIdx, rho)";
  std::vector<Case> cases = {
      returns("worked example", {column({3, 4, 0.3, 0.4}), row({0, 2, 4}), scalar(1)},
              {column({2.4000000000000004, 3.2, 0, 0})}),
      returns("negative element scaled by 0", {column({-0.3, 0.4}), row({0, 2}), scalar(1)}, {column({-0.0, 0})}),
      returns("zero segment, negative rho", {column({0, 0}), row({0, 2}), scalar(-1)},
              {column({default_nan, default_nan})}),
      returns("positions outside are 0", {column({7, 3, 4, 7}), row({1, 3}), scalar(1)}, {column({0, 2.4000000000000004, 3.2, 0})}),
      returns("start 2^32 + 1", {column({3, 4, 5}), row({4294967297.0, 3}), scalar(0.01)}, {column({0, 0, 0})}),
      refuses("two inputs", {column({1}), row({0, 1})}, usage),
      refuses("empty rho", {column({3, 4}), row({0, 2}), matrix(0, 0, {})}, "rho must have at least one element."),
      // 3 * (1 - 1/5) in single is single (2.4); a double rho is rounded first.
      returns("single", {single(column({3, 4, 0.3, 0.4})), row({0, 2, 4}), scalar(1)},
              {single(column({2.4, 3.2, 0, 0}))}),
      returns("single rho, double values", {column({3, 4, 0.3, 0.4}), row({0, 2, 4}), single(scalar(1))},
              {column({2.4000000000000004, 3.2, 0, 0})}),
      refuses("sparse rho", {column({3, 4}), row({0, 2}), sparse(1, 1, {1})},
              "rho must be a real, full double or single array."),
  };
  add_sampled_segment_calls(cases, 0x67727073687269, 20, true);
  return cases;
}

std::vector<Case> grpsign_cases() {
  const std::string usage = "Usage: out = grpsign (vect, accIdx, rho)";
  std::vector<Case> cases = {
      returns("worked example", {column({3, 4}), row({0, 2}), scalar(0.01)}, {column({0.6, 0.8})}),
      returns("norm below 10 rho", {column({3, 4}), row({0, 2}), scalar(1)}, {column({0, 0})}),
      returns("norm exactly 10 rho", {column({3, 4}), row({0, 2}), scalar(0.5)}, {column({0.6, 0.8})}),
      returns("zero segment, rho 0", {column({0, 0}), row({0, 2}), scalar(0)}, {column({default_nan, default_nan})}),
      returns("start 2^32 + 1", {column({3, 4, 5}), row({4294967297.0, 3}), scalar(0.01)}, {column({0, 0, 0})}),
      refuses("two results", {column({1}), row({0, 1}), scalar(1)}, usage, 2),
      returns("single", {single(column({3, 4})), row({0, 2}), single(scalar(0.01))}, {single(column({0.6, 0.8}))}),
  };
  add_sampled_segment_calls(cases, 0x67727073676e, 20, true);
  return cases;
}

std::vector<Case> pairdot_cases() {
  const std::string usage = "Usage: out = pairdot_native (U', V, iR, iC)";
  const Array Ut = matrix(2, 2, {1, 2, 3, 4});
  const Array V = matrix(2, 2, {5, 6, 7, 8});
  std::vector<Case> cases = {
      returns("worked example", {Ut, V, row({1, 2}), row({2, 1})}, {row({23, 39})}),
      returns("no position", {Ut, V, row({}), column({})}, {row({})}),
      returns("rank 0", {matrix(0, 2, {}), matrix(0, 3, {}), row({1, 2}), row({3, 1})}, {row({0, 0})}),
      // Offset (1.5 - 1) * 4 = 2: the product runs over 3, 4, 5, 6 of U'.
      returns("fractional entry", {matrix(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
                                   matrix(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
                                   row({1.5}), column({1})},
              {row({50})}),
      returns("single", {single(Ut), single(V), row({1, 2}), row({2, 1})}, {single(row({23, 39}))}),
      refuses("factors of two classes", {Ut, single(V), row({1}), row({1})},
              "U' and V must be of one class, double or single."),
      refuses("single positions", {single(Ut), single(V), single(row({1})), row({1})},
              "iR must be a real, full double array; single is for values only."),
      refuses("three inputs", {Ut, V, row({1})}, usage),
      refuses("different ranks", {Ut, matrix(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}), row({1}), row({4})},
              "the columns of U must the same as the rows of V"),
      refuses("rank above a dimension", {matrix(3, 2, {1, 2, 3, 4, 5, 6}), matrix(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}),
                                         row({1}), row({1})},
              "r must be less or equal than min(m,n)"),
      refuses("lengths differ", {Ut, V, row({1, 2}), row({1})}, "iR and iC do not have the same length"),
      refuses("row 0", {Ut, V, row({0}), row({1})}, "iR must hold row numbers of U from 1 to m."),
      refuses("column beyond n", {Ut, V, row({1}), row({3})}, "iC must hold column numbers of V from 1 to n."),
  };
  Sampler s(0x70616972646f74);
  for (int k = 0; k < 20; ++k) {
    const std::size_t r = s.below(5);
    const std::size_t m = r + s.below(4);
    const std::size_t n = r + s.below(4);
    const std::size_t count = s.below(6);
    std::vector<double> iR(count);
    std::vector<double> iC(count);
    for (double& i : iR) i = m == 0 ? 1 : static_cast<double>(1 + s.below(m));
    for (double& i : iC) i = n == 0 ? 1 : static_cast<double>(1 + s.below(n));
    cases.push_back(sampled(k, {matrix(r, m, s.values(r * m)), matrix(r, n, s.values(r * n)), row(iR), row(iC)}));
  }
  return cases;
}

std::vector<Case> nzassign_cases() {
  const std::string usage = "Usage: nzassign ( S, v )";
  const Array S = sparse(3, 3, {1, 2, 3});
  return {
      writes("every stored value, bit for bit", 0, {S, row({7, -0.0, signalling_nan})},
             {sparse(3, 3, {7, -0.0, signalling_nan}), row({7, -0.0, signalling_nan})}),
      writes("shorter v", 0, {S, row({9})}, {sparse(3, 3, {9, 2, 3}), row({9})}),
      writes("empty v", 0, {S, row({})}, {S, row({})}),
      writes("full S", 0, {matrix(2, 2, {1, 2, 3, 4}), column({5, 6})}, {matrix(2, 2, {5, 6, 3, 4}), column({5, 6})}),
      writes("full single S", 0, {single(matrix(2, 2, {1, 2, 3, 4})), single(column({5, -0.0}))},
             {single(matrix(2, 2, {5, -0.0, 3, 4})), single(column({5, -0.0}))}),
      refuses("double v, single S", {single(matrix(1, 2, {1, 2})), row({9})}, "v must be of the class of S.", 0),
      refuses("single v, sparse S", {S, single(row({9}))}, "v must be of the class of S.", 0),
      refuses("a result requested", {S, row({9})}, usage, 1),
      refuses("v longer than S holds", {S, row({1, 2, 3, 4})}, "v must not have more elements than S has stored values.", 0),
  };
}

std::vector<Case> rowball_cases() {
  // The worked rows (3, 1, -2) and (3, 1, 2), both with t = 2.
  const Array X = matrix(2, 3, {3, 3, 1, 1, -2, 2});
  Case warning = returns("negative t", {X, scalar(2), scalar(3), scalar(-1)},
                         {matrix(2, 3, {0, 0, 0, 0, 0, 0}), column({0, 0}), column({0, 0})}, 3);
  warning.printed = "\n t should be nonnegative!";
  std::vector<Case> cases = {
      returns("worked example", {X, scalar(2), scalar(3), scalar(2)},
              {matrix(2, 3, {1.5, 1.5, 0, 0, -0.5, 0.5}), column({1.5, 1.5}), column({2, 2})}, 3),
      returns("one result slot", {X, scalar(2), scalar(3), scalar(2)}, {matrix(2, 3, {1.5, 1.5, 0, 0, -0.5, 0.5})}),
      returns("row inside the ball", {row({1, -0.0, 1}), scalar(1), scalar(3), scalar(2)},
              {row({1, -0.0, 1}), scalar(0), scalar(0)}, 3),
      returns("NaN row", {row({nan, -0.0, 4}), scalar(1), scalar(3), scalar(1)}, {row({0, 0, 4}), scalar(0), scalar(0)}, 3),
      warning,
      returns("single", {single(X), scalar(2), scalar(3), single(scalar(2))},
              {single(matrix(2, 3, {1.5, 1.5, 0, 0, -0.5, 0.5})), single(column({1.5, 1.5})), single(column({2, 2}))}, 3),
      // The default tolerance stops at theta 1.999999995; tol 0 is exact.
      returns("tol 0", {row({3, 1.99999999}), scalar(1), scalar(2), scalar(1), scalar(0)},
              {row({1, 0}), scalar(2)}, 2),
      refuses("negative tol", {X, scalar(2), scalar(3), scalar(2), scalar(-1e-300)}, "tol must be a non-negative number.", 3),
      refuses("single m", {X, single(scalar(2)), scalar(3), scalar(2)},
              "m must be a real, full double array; single is for values only.", 3),
      refuses("three inputs", {X, scalar(2), scalar(3)}, "Usage: [P, theta, iterations] = rowball (X, m, n, t)", 3),
      refuses("X shorter than m*n", {X, scalar(3), scalar(3), scalar(2)}, "X must have at least m*n elements.", 3),
  };
  // theta is 3 up to rounding: compared across builds.
  cases.push_back(call("t = 0", 3, {row({3, 1, 2}), scalar(1), scalar(3), scalar(0)}));
  Sampler s(0x726f7762616c6c);
  // Half of them tall enough to fill the vectors and blocks of rows of the
  // widest path, with rows left over.
  for (int k = 0; k < 20; ++k) {
    const std::size_t m = k % 2 == 0 ? s.below(4) : 8 + s.below(64);
    const std::size_t n = s.below(6);
    Case c = sampled(k, {matrix(m, n, s.values(m * n)), scalar(static_cast<double>(m)), scalar(static_cast<double>(n)),
                         scalar(k % 4 == 0 ? s.value() : static_cast<double>(s.below(5)))});
    c.nlhs = 3;
    cases.push_back(c);
  }
  return cases;
}

}  // namespace

const std::map<std::string, std::vector<Case>>& cases_by_kernel() {
  static const std::map<std::string, std::vector<Case>> table = {
      {"grpnorm", grpnorm_cases()},     {"grpclip", grpclip_cases()}, {"grpshrink", grpshrink_cases()},
      {"grpsign", grpsign_cases()},     {"pairdot", pairdot_cases()}, {"nzassign", nzassign_cases()},
      {"rowball", rowball_cases()},
  };
  return table;
}

}  // namespace smoke
