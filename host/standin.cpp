// The stand-in host: the host operations that the plug-ins call, and the
// test-side API of standin.h.
#include "standin.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

struct mxArray_tag {
  mxClassID id = mxDOUBLE_CLASS;
  bool complex = false;
  bool sparse = false;
  size_t m = 0;
  size_t n = 0;
  size_t nzmax = 0;
  void* real = nullptr;  // exactly element_count * element_size bytes
  void* imag = nullptr;
  std::vector<mwIndex> ir;
  std::vector<mwIndex> jc;

  ~mxArray_tag() {
    std::free(real);
    std::free(imag);
  }
};

namespace {

// Thrown by mexErrMsgTxt through the plug-in's frames back to call().
struct Raised {
  std::string text;
  bool out_of_memory = false;
};

std::vector<std::unique_ptr<mxArray>>& arena() {
  static std::vector<std::unique_ptr<mxArray>> arrays;
  return arrays;
}

int created_count = 0;
std::string printed_text;
size_t allocation_limit = SIZE_MAX;

// What Octave says when it cannot allocate an array.
const char* const out_of_memory_text = "out of memory or dimension too large for Octave's index type";

size_t element_size(mxClassID id) {
  switch (id) {
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
      return 8;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
      return 4;
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
    case mxCHAR_CLASS:
      return 2;
    case mxCELL_CLASS:
    case mxSTRUCT_CLASS:
      return sizeof(void*);
    default:
      return 1;
  }
}

// Zero-filled storage of exactly `bytes` bytes; never null, so that an empty
// array still has a distinct (zero-length) allocation a sanitizer can watch.
void* exact_storage(size_t bytes) {
  void* p = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (p == nullptr) throw std::bad_alloc();
  if (bytes == 0) {
    std::free(p);
    p = std::malloc(0);
    if (p == nullptr) throw std::bad_alloc();
  }
  return p;
}

mxArray* adopt(std::unique_ptr<mxArray> a) {
  arena().push_back(std::move(a));
  return arena().back().get();
}

// The bytes of an m-by-n array of `id`, or SIZE_MAX when that overflows.
size_t storage_bytes(mxClassID id, size_t m, size_t n) {
  const size_t size = element_size(id);
  if (n != 0 && m > SIZE_MAX / n) return SIZE_MAX;
  if (m * n > SIZE_MAX / size) return SIZE_MAX;
  return m * n * size;
}

template <class T>
double first_as_double(const void* storage) {
  T value;
  std::memcpy(&value, storage, sizeof value);
  return static_cast<double>(value);
}

mxArray* new_array(mxClassID id, size_t m, size_t n, bool complex) {
  if (storage_bytes(id, m, n) == SIZE_MAX) throw std::bad_alloc();
  auto a = std::make_unique<mxArray>();
  a->id = id;
  a->complex = complex;
  a->m = m;
  a->n = n;
  a->real = exact_storage(m * n * element_size(id));
  if (complex) a->imag = exact_storage(m * n * element_size(id));
  return adopt(std::move(a));
}

}  // namespace

extern "C" {

double* mxGetPr(const mxArray* a) { return static_cast<double*>(a->real); }
void* mxGetData(const mxArray* a) { return a->real; }
size_t mxGetNumberOfElements(const mxArray* a) { return a->m * a->n; }
size_t mxGetM(const mxArray* a) { return a->m; }
size_t mxGetN(const mxArray* a) { return a->n; }

double mxGetScalar(const mxArray* a) {
  if (a->m * a->n == 0 || (a->sparse && a->nzmax == 0)) return 0.0;
  // Like the real hosts: the first element (the real part when complex)
  // converted from its own class; 0 for containers.
  switch (a->id) {
    case mxDOUBLE_CLASS:
      return first_as_double<double>(a->real);
    case mxSINGLE_CLASS:
      return first_as_double<float>(a->real);
    case mxINT8_CLASS:
      return first_as_double<int8_t>(a->real);
    case mxUINT8_CLASS:
      return first_as_double<uint8_t>(a->real);
    case mxINT16_CLASS:
      return first_as_double<int16_t>(a->real);
    case mxUINT16_CLASS:
    case mxCHAR_CLASS:
      return first_as_double<uint16_t>(a->real);
    case mxINT32_CLASS:
      return first_as_double<int32_t>(a->real);
    case mxUINT32_CLASS:
      return first_as_double<uint32_t>(a->real);
    case mxINT64_CLASS:
      return first_as_double<int64_t>(a->real);
    case mxUINT64_CLASS:
      return first_as_double<uint64_t>(a->real);
    case mxLOGICAL_CLASS:
      return *static_cast<const unsigned char*>(a->real) != 0 ? 1.0 : 0.0;
    default:
      return 0.0;
  }
}

mwSize mxGetNzmax(const mxArray* a) { return a->sparse ? a->nzmax : a->m * a->n; }
mwIndex* mxGetJc(const mxArray* a) { return a->sparse ? const_cast<mwIndex*>(a->jc.data()) : nullptr; }
mxClassID mxGetClassID(const mxArray* a) { return a->id; }
bool mxIsDouble(const mxArray* a) { return a->id == mxDOUBLE_CLASS; }
bool mxIsSingle(const mxArray* a) { return a->id == mxSINGLE_CLASS; }
bool mxIsComplex(const mxArray* a) { return a->complex; }
bool mxIsSparse(const mxArray* a) { return a->sparse; }

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID id, mxComplexity complexity) {
  // Like the real hosts, an array that cannot be allocated ends the call
  // with the host's error; the plug-in never sees a null handle.
  const size_t bytes = storage_bytes(id, m, n);
  if (bytes == SIZE_MAX || bytes > allocation_limit) throw Raised{out_of_memory_text, true};
  mxArray* a;
  try {
    a = new_array(id, m, n, complexity == mxCOMPLEX);
  } catch (const std::bad_alloc&) {
    throw Raised{out_of_memory_text, true};
  }
  ++created_count;
  return a;
}

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity) {
  return mxCreateNumericMatrix(m, n, mxDOUBLE_CLASS, complexity);
}

void mexErrMsgTxt(const char* message) { throw Raised{message}; }

int mexPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    printed_text.append(text.data(), static_cast<size_t>(length));
  }
  va_end(again);
  return length;
}

}  // extern "C"

namespace standin {

Plugin::Plugin(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
  entry_ = reinterpret_cast<Entry>(dlsym(handle_, "mexFunction"));
  if (entry_ == nullptr) {
    dlclose(handle_);
    throw std::runtime_error(path + " exports no mexFunction");
  }
}

Plugin::~Plugin() { dlclose(handle_); }

Call call(const Plugin& plugin, int nlhs, const std::vector<const mxArray*>& inputs, int slots) {
  if (slots < 0) slots = nlhs > 0 ? nlhs : 1;
  // Exactly `slots` result slots on the heap: a write past them is caught.
  std::unique_ptr<mxArray*[]> plhs(new mxArray*[static_cast<size_t>(slots)]());
  std::unique_ptr<const mxArray*[]> prhs(new const mxArray*[inputs.size()]());
  std::copy(inputs.begin(), inputs.end(), prhs.get());

  Call result;
  created_count = 0;
  printed_text.clear();
  try {
    plugin.entry()(nlhs, plhs.get(), static_cast<int>(inputs.size()), prhs.get());
  } catch (const Raised& raised) {
    result.raised = true;
    result.error = raised.text;
    result.out_of_memory = raised.out_of_memory;
  }
  result.created = created_count;
  result.printed = printed_text;
  result.out.assign(plhs.get(), plhs.get() + slots);
  return result;
}

mxArray* make_double(size_t m, size_t n, const std::vector<double>& values) {
  mxArray* a = new_array(mxDOUBLE_CLASS, m, n, false);
  if (values.size() > m * n) throw std::invalid_argument("more values than elements");
  if (!values.empty()) std::memcpy(a->real, values.data(), values.size() * sizeof(double));
  return a;
}

mxArray* make_single(size_t m, size_t n, const std::vector<float>& values) {
  mxArray* a = new_array(mxSINGLE_CLASS, m, n, false);
  if (values.size() > m * n) throw std::invalid_argument("more values than elements");
  if (!values.empty()) std::memcpy(a->real, values.data(), values.size() * sizeof(float));
  return a;
}

mxArray* make_column(const std::vector<double>& values) {
  return make_double(values.size(), 1, values);
}

mxArray* make_row(const std::vector<double>& values) {
  return make_double(1, values.size(), values);
}

mxArray* make_scalar(double value) { return make_double(1, 1, {value}); }

mxArray* make_sparse(size_t m, size_t n, size_t nzmax, const std::vector<double>& values, mxClassID id) {
  if (values.size() > nzmax || nzmax > m * n) throw std::invalid_argument("bad sparse shape");
  if (id != mxDOUBLE_CLASS && id != mxSINGLE_CLASS) throw std::invalid_argument("no sparse array of this class");
  auto a = std::make_unique<mxArray>();
  a->id = id;
  a->sparse = true;
  a->m = m;
  a->n = n;
  a->nzmax = nzmax;
  a->real = exact_storage(nzmax * element_size(id));
  for (size_t k = 0; k < values.size(); ++k) {
    if (id == mxSINGLE_CLASS)
      static_cast<float*>(a->real)[k] = static_cast<float>(values[k]);
    else
      static_cast<double*>(a->real)[k] = values[k];
  }
  // The first values.size() positions in column-major order are stored.
  a->ir.resize(nzmax == 0 ? 1 : nzmax);
  a->jc.assign(n + 1, 0);
  for (size_t k = 0; k < values.size(); ++k) {
    a->ir[k] = k % m;
    a->jc[k / m + 1] = k + 1;
  }
  for (size_t j = 1; j <= n; ++j)
    if (a->jc[j] < a->jc[j - 1]) a->jc[j] = a->jc[j - 1];
  return adopt(std::move(a));
}

mxArray* make_of_class(mxClassID id, size_t m, size_t n, bool complex, const std::vector<unsigned char>& raw) {
  mxArray* a = new_array(id, m, n, complex);
  if (raw.size() > storage_bytes(id, m, n)) throw std::invalid_argument("more bytes than storage");
  if (!raw.empty()) std::memcpy(a->real, raw.data(), raw.size());
  return a;
}

std::vector<double> values(const mxArray* a) {
  if (a->id != mxDOUBLE_CLASS) throw std::invalid_argument("not a double array");
  const size_t count = a->sparse ? a->nzmax : a->m * a->n;
  const double* p = static_cast<const double*>(a->real);
  return std::vector<double>(p, p + count);
}

std::vector<float> singles(const mxArray* a) {
  if (a->id != mxSINGLE_CLASS || a->sparse) throw std::invalid_argument("not a full single array");
  const float* p = static_cast<const float*>(a->real);
  return std::vector<float>(p, p + a->m * a->n);
}

std::vector<unsigned char> bytes(const mxArray* a) {
  const size_t count = a->sparse ? a->nzmax * element_size(a->id) : storage_bytes(a->id, a->m, a->n);
  const auto* real = static_cast<const unsigned char*>(a->real);
  std::vector<unsigned char> all(real, real + count);
  if (a->imag != nullptr) {
    const auto* imag = static_cast<const unsigned char*>(a->imag);
    all.insert(all.end(), imag, imag + count);
  }
  return all;
}

void set_allocation_limit(size_t bytes) { allocation_limit = bytes; }

size_t rows(const mxArray* a) { return a->m; }
size_t cols(const mxArray* a) { return a->n; }

void release(mxArray* a) {
  auto& arrays = arena();
  for (auto it = arrays.begin(); it != arrays.end(); ++it)
    if (it->get() == a) {
      arrays.erase(it);
      return;
    }
}

void release_all() { arena().clear(); }

}  // namespace standin
