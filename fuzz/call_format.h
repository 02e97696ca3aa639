// The byte format in which a fuzzer describes one whole call of a plug-in,
// and its two directions: decode_call turns any bytes into a call through the
// stand-in host, CallWriter writes the bytes of a chosen call (the seeds).
//
// Every byte string is a valid call; bytes read past the end are zero, so a
// truncated input still describes a call.
//
//   call    := header input*                    (nrhs inputs)
//   header  := h            nrhs = h % 8, nlhs = (h / 8) % 8
//   input   := kind rows cols [nzmax] element*  (a repeat is its kind byte alone)
//   rows, cols: one byte d each: d % 64 below 192, else 64 + (d - 192), so
//               mostly small, and up to 127 (several of the kernels' blocks)
//   nzmax   := one byte, capped at rows*cols     (sparse only)
//   element := tag [operand bytes]               (one per stored value)
//
// The kind byte k picks the class with k % 16 (see Kind), the integer class
// and the earlier input to repeat with k / 16.  Elements of every numeric
// class are decoded as doubles and converted (saturating) to the class; a
// complex array's imaginary part is zero; containers have no elements.
#ifndef PROXKIT_FUZZ_CALL_FORMAT_H
#define PROXKIT_FUZZ_CALL_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standin.h"

namespace proxkit::fuzz {

enum Kind : std::uint8_t {
  kDouble = 0,   // 0 ... 6 and 15: a real, full double array
  kSparse = 7,   // a sparse double array
  kComplex = 8,  // a complex double array
  kSingle = 9,
  kLogical = 10,
  kChar = 11,
  kInteger = 12,  // int8, uint8, ..., uint64 by k / 16 % 8
  kRepeat = 13,   // the very same array as earlier input k / 16 % (inputs so far)
  kContainer = 14,  // a cell (k / 16 even) or a struct
};

// Element tags, t % 16; a sign or variant comes from t / 16.
enum Tag : std::uint8_t {
  kZero = 0,          // +0.0
  kNegativeZero = 1,  // -0.0
  kNaN = 2,           // the quiet NaN
  kInfinity = 3,
  kNegativeInfinity = 4,
  kSubnormal = 5,     // (b + 1) * 2^-1074, negative when t / 16 is odd
  kSmallInteger = 6,  // int8 b
  kByte = 7,          // uint8 b
  kQuarter = 8,       // int8 b / 4
  kIndex = 9,         // 1 + c % size, size being numel, rows or cols of input 0 or 1 (b % 6)
  kPowerOfTwo = 10,   // 2^(int8 b), plus 0, -1, +1 or 0.5 by t / 16 % 4, negated when t / 64 is odd
  kExtreme = 11,      // one of a few extremes, by b % 8
  kRelative = 12,     // numel, rows or cols of input 0 or 1 (b % 6), plus int8 c / 2
  kOtherNaN = 13,     // a signalling or negative NaN, by b % 4
  kBits = 14,         // eight bytes: the double's bits, little-endian
  kNext = 15,         // the previous element plus 1 (0 first)
};

// A decoded call: inputs in order, owned by the stand-in host until
// standin::release_all().
struct DecodedCall {
  int nlhs = 0;
  std::vector<const mxArray*> inputs;
};

DecodedCall decode_call(const std::uint8_t* data, std::size_t size);

// Writes the bytes of a chosen call; every value is encoded exactly.
class CallWriter {
 public:
  CallWriter(int nrhs, int nlhs);
  CallWriter& full(std::size_t rows, std::size_t cols, const std::vector<double>& values);
  CallWriter& row(const std::vector<double>& values) { return full(1, values.size(), values); }
  CallWriter& column(const std::vector<double>& values) { return full(values.size(), 1, values); }
  CallWriter& scalar(double value) { return full(1, 1, {value}); }
  CallWriter& sparse(std::size_t rows, std::size_t cols, const std::vector<double>& stored);
  // An array of any kind but sparse or repeat, its elements taken from
  // `values` and then zeros.
  CallWriter& of_kind(std::uint8_t kind, std::size_t rows, std::size_t cols,
                      const std::vector<double>& values);
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void dims(std::size_t rows, std::size_t cols);
  void value(double x);
  std::vector<std::uint8_t> bytes_;
};

}  // namespace proxkit::fuzz

#endif
