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
Array single_column(std::vector<double> values) {
  const std::size_t n = values.size();
  return {STANDIN_SINGLE, n, 1, std::move(values)};
}

Case returns(std::string name, std::vector<Array> inputs, std::vector<Array> results, int nlhs = 1) {
  Case c;
  c.name = std::move(name);
  c.nlhs = nlhs;
  c.inputs = std::move(inputs);
  c.results = std::move(results);
  return c;
}

Case refuses(std::string name, std::vector<Array> inputs, std::string message, int nlhs = 1) {
  Case c;
  c.name = std::move(name);
  c.nlhs = nlhs;
  c.inputs = std::move(inputs);
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

std::vector<Case> grpnorm_cases() {
  const std::string usage = "Usage: out = grpnorm (vect, accIdx)";
  const std::string out_of_bound = "INDEX OUT OF BOUND: the last index is out of bound.";
  const Array vect = column({3, 4, 0, 5, 12});
  std::vector<Case> cases = {
      returns("worked example", {vect, row({0, 2, 5})}, {scalar(18)}),
      returns("one entry, no segment", {vect, row({3})}, {scalar(0)}),
      returns("empty first segment", {column({3, 4}), row({0, 0, 2})}, {scalar(5)}),
      returns("positions outside every segment", {column({100, 3, 4, 100}), row({1, 3})}, {scalar(5)}),
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
      refuses("single vect", {single_column({3, 4}), row({0, 2})}, "vect must be a real, full double array."),
  };
  Sampler s(0x67726e6f726d);
  for (int k = 0; k < 40; ++k) {
    const std::size_t n = s.below(24);
    Case c;
    c.name = "sampled " + std::to_string(k);
    c.inputs = {column(s.values(n)), row(sampled_table(s, n))};
    cases.push_back(c);
  }
  return cases;
}

}  // namespace

const std::map<std::string, std::vector<Case>>& cases_by_kernel() {
  static const std::map<std::string, std::vector<Case>> table = {
      {"grpnorm", grpnorm_cases()},
  };
  return table;
}

}  // namespace smoke
