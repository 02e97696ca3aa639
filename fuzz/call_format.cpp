#include "fuzz/call_format.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace proxkit::fuzz {
namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::int8_t signed_byte() { return static_cast<std::int8_t>(byte()); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

double from_bits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

std::uint64_t to_bits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

constexpr std::uint64_t quiet_nan_bits = 0x7ff8000000000000u;

// A size of an earlier input, so that tables and indices land on and around
// the lengths and dimensions they are checked against.
double relative_base(unsigned which, const std::vector<const mxArray*>& earlier) {
  const std::size_t input = which / 3;
  if (input >= earlier.size()) return 0.0;
  const mxArray* a = earlier[input];
  switch (which % 3) {
    case 0:
      return static_cast<double>(mxGetNumberOfElements(a));
    case 1:
      return static_cast<double>(mxGetM(a));
    default:
      return static_cast<double>(mxGetN(a));
  }
}

double element(Reader& in, double previous, const std::vector<const mxArray*>& earlier) {
  const std::uint8_t t = in.byte();
  const unsigned variant = t / 16u;
  switch (t % 16u) {
    case kZero:
      return 0.0;
    case kNegativeZero:
      return -0.0;
    case kNaN:
      return from_bits(quiet_nan_bits);
    case kInfinity:
      return HUGE_VAL;
    case kNegativeInfinity:
      return -HUGE_VAL;
    case kSubnormal: {
      const double x = (in.byte() + 1.0) * std::ldexp(1.0, -1074);
      return variant % 2 ? -x : x;
    }
    case kSmallInteger:
      return in.signed_byte();
    case kByte:
      return in.byte();
    case kQuarter:
      return in.signed_byte() / 4.0;
    case kIndex: {
      // A valid 1-based index: lists of positions that all pass validation
      // are what reach a kernel's grouped loops, and mutation rarely makes them.
      const double size = relative_base(in.byte() % 6u, earlier);
      return 1.0 + std::fmod(in.byte(), size < 1.0 ? 1.0 : size);
    }
    case kPowerOfTwo: {
      static const double offsets[] = {0.0, -1.0, 1.0, 0.5};
      const double x = std::ldexp(1.0, in.signed_byte()) + offsets[variant % 4];
      return (variant / 4) % 2 ? -x : x;
    }
    case kExtreme: {
      static const double extremes[] = {DBL_MAX, -DBL_MAX, 1e300, -1e300,
                                        DBL_MIN, 9223372036854775808.0, -9223372036854775808.0,
                                        18446744073709551616.0};
      return extremes[in.byte() % 8];
    }
    case kRelative: {
      const double base = relative_base(in.byte() % 6u, earlier);
      return base + in.signed_byte() / 2.0;
    }
    case kOtherNaN: {
      static const std::uint64_t nans[] = {0x7ff0000000000001u, 0xfff8000000000000u,
                                           0x7ff8000000000001u, 0x7ff4000000000000u};
      return from_bits(nans[in.byte() % 4]);
    }
    case kBits: {
      std::uint64_t bits = 0;
      for (int k = 0; k < 8; ++k) bits |= static_cast<std::uint64_t>(in.byte()) << (8 * k);
      return from_bits(bits);
    }
    default:  // kNext
      return previous + 1.0;
  }
}

std::vector<double> elements(Reader& in, std::size_t count, const std::vector<const mxArray*>& earlier) {
  std::vector<double> values(count);
  double previous = -1.0;
  for (double& x : values) previous = x = element(in, previous, earlier);
  return values;
}

// x converted to T the way a saturating cast does: NaN to 0, out-of-range
// values to the nearest end, others truncated.
template <class T>
T saturate(double x) {
  if (std::isnan(x)) return T(0);
  if (x <= static_cast<double>(std::numeric_limits<T>::lowest())) return std::numeric_limits<T>::lowest();
  if (x >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(x);
}

template <class T>
void append(std::vector<unsigned char>& raw, T value) {
  const auto* p = reinterpret_cast<const unsigned char*>(&value);
  raw.insert(raw.end(), p, p + sizeof value);
}

std::vector<unsigned char> converted(mxClassID id, const std::vector<double>& values) {
  std::vector<unsigned char> raw;
  for (double x : values) {
    switch (id) {
      case mxSINGLE_CLASS:
        append(raw, !(std::fabs(x) > FLT_MAX) ? static_cast<float>(x) : x > 0 ? HUGE_VALF : -HUGE_VALF);
        break;
      case mxLOGICAL_CLASS:
        append(raw, static_cast<std::uint8_t>(x != 0.0));
        break;
      case mxCHAR_CLASS:
      case mxUINT16_CLASS:
        append(raw, saturate<std::uint16_t>(x));
        break;
      case mxINT8_CLASS:
        append(raw, saturate<std::int8_t>(x));
        break;
      case mxUINT8_CLASS:
        append(raw, saturate<std::uint8_t>(x));
        break;
      case mxINT16_CLASS:
        append(raw, saturate<std::int16_t>(x));
        break;
      case mxINT32_CLASS:
        append(raw, saturate<std::int32_t>(x));
        break;
      case mxUINT32_CLASS:
        append(raw, saturate<std::uint32_t>(x));
        break;
      case mxINT64_CLASS:
        append(raw, saturate<std::int64_t>(x));
        break;
      case mxUINT64_CLASS:
        append(raw, saturate<std::uint64_t>(x));
        break;
      default:
        append(raw, x);
        break;
    }
  }
  return raw;
}

constexpr mxClassID integer_classes[] = {mxINT8_CLASS,  mxUINT8_CLASS,  mxINT16_CLASS, mxUINT16_CLASS,
                                         mxINT32_CLASS, mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS};

constexpr unsigned large_dimensions = 192;  // dimension bytes from here on give 64 ... 127

std::size_t dimension(std::uint8_t d) { return d < large_dimensions ? d % 64u : 64u + (d - large_dimensions); }

const mxArray* input(Reader& in, const std::vector<const mxArray*>& earlier) {
  const std::uint8_t k = in.byte();
  const unsigned variant = k / 16u;
  if (k % 16u == kRepeat) {
    if (earlier.empty()) return standin::make_double(0, 0);
    return earlier[variant % earlier.size()];
  }
  const std::size_t rows = dimension(in.byte());
  const std::size_t cols = dimension(in.byte());
  const std::size_t count = rows * cols;
  switch (k % 16u) {
    case kSparse: {
      const std::size_t nzmax = std::min<std::size_t>(in.byte(), count);
      return standin::make_sparse(rows, cols, nzmax, elements(in, nzmax, earlier));
    }
    case kComplex:
      return standin::make_of_class(mxDOUBLE_CLASS, rows, cols, true,
                                    converted(mxDOUBLE_CLASS, elements(in, count, earlier)));
    case kSingle:
    case kLogical:
    case kChar:
    case kInteger: {
      const mxClassID id = k % 16u == kSingle    ? mxSINGLE_CLASS
                           : k % 16u == kLogical ? mxLOGICAL_CLASS
                           : k % 16u == kChar    ? mxCHAR_CLASS
                                                 : integer_classes[variant % 8];
      return standin::make_of_class(id, rows, cols, false, converted(id, elements(in, count, earlier)));
    }
    case kContainer:
      return standin::make_of_class(variant % 2 ? mxSTRUCT_CLASS : mxCELL_CLASS, rows, cols);
    default:
      return standin::make_double(rows, cols, elements(in, count, earlier));
  }
}

}  // namespace

DecodedCall decode_call(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t header = in.byte();
  DecodedCall call;
  call.nlhs = (header / 8) % 8;
  const int nrhs = header % 8;
  for (int i = 0; i < nrhs; ++i) call.inputs.push_back(input(in, call.inputs));
  return call;
}

CallWriter::CallWriter(int nrhs, int nlhs) {
  if (nrhs < 0 || nrhs > 7 || nlhs < 0 || nlhs > 7) throw std::invalid_argument("counts out of range");
  bytes_.push_back(static_cast<std::uint8_t>(nrhs + 8 * nlhs));
}

void CallWriter::dims(std::size_t rows, std::size_t cols) {
  if (rows >= 128 || cols >= 128) throw std::invalid_argument("dimension out of range");
  for (std::size_t d : {rows, cols})
    bytes_.push_back(static_cast<std::uint8_t>(d < 64 ? d : large_dimensions + (d - 64)));
}

void CallWriter::value(double x) {
  const auto tag = [this](Tag t) { bytes_.push_back(t); };
  const auto operand = [this](int b) { bytes_.push_back(static_cast<std::uint8_t>(b)); };
  const std::uint64_t bits = to_bits(x);
  if (bits == to_bits(0.0)) {
    tag(kZero);
  } else if (bits == to_bits(-0.0)) {
    tag(kNegativeZero);
  } else if (bits == quiet_nan_bits) {
    tag(kNaN);
  } else if (x == HUGE_VAL) {
    tag(kInfinity);
  } else if (x == -HUGE_VAL) {
    tag(kNegativeInfinity);
  } else if (x == std::trunc(x) && x >= -128 && x <= 127) {
    tag(kSmallInteger);
    operand(static_cast<int>(x));
  } else if (x == std::trunc(x) && x >= 128 && x <= 255) {
    tag(kByte);
    operand(static_cast<int>(x));
  } else if (x * 4 == std::trunc(x * 4) && x * 4 >= -128 && x * 4 <= 127) {
    tag(kQuarter);
    operand(static_cast<int>(x * 4));
  } else {
    tag(kBits);
    for (int k = 0; k < 8; ++k) operand(static_cast<int>((bits >> (8 * k)) & 0xffu));
  }
}

CallWriter& CallWriter::full(std::size_t rows, std::size_t cols, const std::vector<double>& values) {
  return of_kind(kDouble, rows, cols, values);
}

CallWriter& CallWriter::sparse(std::size_t rows, std::size_t cols, const std::vector<double>& stored) {
  bytes_.push_back(kSparse);
  dims(rows, cols);
  if (stored.size() > rows * cols || stored.size() > 255) throw std::invalid_argument("too many stored values");
  bytes_.push_back(static_cast<std::uint8_t>(stored.size()));
  for (double x : stored) value(x);
  return *this;
}

CallWriter& CallWriter::of_kind(std::uint8_t kind, std::size_t rows, std::size_t cols,
                                const std::vector<double>& values) {
  if (kind % 16 == kSparse || kind % 16 == kRepeat) throw std::invalid_argument("kind has its own writer");
  if (values.size() > rows * cols) throw std::invalid_argument("more values than elements");
  bytes_.push_back(kind);
  dims(rows, cols);
  if (kind % 16 == kContainer) return *this;
  for (double x : values) value(x);
  for (std::size_t k = values.size(); k < rows * cols; ++k) value(0.0);
  return *this;
}

}  // namespace proxkit::fuzz
