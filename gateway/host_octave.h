// The Octave-native binding of the host interface (gateway/host.h): each
// kernel becomes an .oct function of GNU Octave, with the steps, messages and
// ownership of its MEX plug-in, at Octave's own cost of a call.
//
// - Inputs are read where Octave holds them: const storage pointers, the
//   ones Octave's MEX layer hands out, so nothing is copied or unshared.
//   That holds for the kinds of value whose storage is the value itself (a
//   full matrix, a scalar, a sparse matrix; in single a full matrix and a
//   scalar); any other real double or single input (a range such as 1:n, a
//   diagonal or permutation matrix, sort's lazy index, an integer literal of
//   2^53 or more, which Octave stores as a 64-bit integer) is first made a
//   full array of its values, of its own class.
// - nzassign writes through the storage pointer of S, so the caller's
//   variable and every variable sharing its storage see the values, as with
//   the MEX plug-in in Octave; unlike the MEX plug-in, it first drops what
//   Octave keeps beside S's storage, and refuses an S made a full array
//   above, where the write would reach no variable (see writable_storage).
// - Results are handed to Octave once, with no second array and no copy
//   out, and are zero-filled only where a kernel relies on zeros; large ones
//   are advised for huge pages before anything touches them (see
//   advise_huge_pages).
// - A refusal ends the call with error ("<kernel>: <text>") and an empty
//   identifier, the text the MEX plug-in gives in Octave; printing goes to
//   the same stream as mexPrintf's.
// - help <kernel> shows the help file beside the .oct file, read when
//   Octave loads the function, as it reads the one beside a MEX plug-in.
#ifndef PROXKIT_HOST_OCTAVE_H
#define PROXKIT_HOST_OCTAVE_H

#include <octave/oct.h>
#include <octave/parse.h>
#include <octave/ov-float.h>
#include <octave/ov-flt-re-mat.h>
#include <octave/ov-re-mat.h>
#include <octave/ov-re-sparse.h>
#include <octave/ov-scalar.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "gateway/host.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace proxkit::host {

using Argument = const octave_value&;

struct Arguments {
  const octave_value_list* list;   // what the gateway reads
  const octave_value_list* given;  // what the caller passed
  const octave_value& operator[](int i) const { return (*list)(i); }
};

struct Results {
  octave_value_list* slots;
};

using Dimension = octave_idx_type;

inline bool is_real_double(Argument a, bool sparse_allowed) {
  return a.is_double_type() && !a.iscomplex() && (sparse_allowed || !a.issparse());
}

// Octave has no sparse single arrays: sparse_allowed changes nothing.
inline bool is_real_single(Argument a, bool sparse_allowed) {
  return a.is_single_type() && !a.iscomplex() && (sparse_allowed || !a.issparse());
}

// The storage Octave's MEX layer would hand out for a.
template <class T>
T* storage_pointer(Argument a) {
  return static_cast<T*>(const_cast<void*>(a.mex_get_data()));
}

template <class T>
ValueArray<T> storage_of(Argument a) {
  const dim_vector dims = a.dims();
  std::size_t cols = 1;
  for (int d = 1; d < dims.ndims(); ++d) cols *= static_cast<std::size_t>(dims(d));
  return {storage_pointer<T>(a), static_cast<std::size_t>(a.numel()), static_cast<std::size_t>(dims(0)), cols};
}

// A refusal on its way out of the gateway to call(), which alone knows the
// kernel's name.  Trivially destructible; its text is copied because
// gateways compose some messages on the stack.
struct Refusal {
  char text[128];
};

[[noreturn]] inline void raise(const char* text) {
  Refusal refusal{};
  std::snprintf(refusal.text, sizeof refusal.text, "%s", text);
  throw refusal;
}

// The kinds of value whose storage is the value itself: a full matrix, a
// scalar, a sparse matrix, and their single forms.  Every other kind (a
// range, a diagonal or permutation matrix, a lazy index, an integer-stored
// double, a kind Octave may add later) is read as a full copy (see
// read_as_full_copy).
inline bool holds_own_storage(const octave_value& a) {
  const int kind = a.type_id();
  return kind == octave_matrix::static_type_id() || kind == octave_scalar::static_type_id() ||
         kind == octave_sparse_matrix::static_type_id() || kind == octave_float_matrix::static_type_id() ||
         kind == octave_float_scalar::static_type_id();
}

// The storage of input i, once Octave no longer keeps anything it found
// about the values there: a full matrix keeps the index vector it made when
// it served as an index and the matrix type found when it was solved with, a
// sparse matrix its matrix type, and a write would leave them stale (a(i) or
// A \ b would answer for the old values).  The caches live in the value,
// which every variable assigned from it shares, and are dropped without
// copying the storage: the write must still reach all of them.  A value
// read as a full copy is refused, as a write there would be lost, unless
// it is empty (nothing is written) or an integer-stored scalar (accepted as
// ever).
template <class T>
T* writable_storage(Arguments prhs, int i, const char* name) {
  const octave_value& given = (*prhs.given)(i);
  if (!holds_own_storage(given) && given.numel() != 0 && !given.is_magic_int()) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "%s has no storage of its own for the write to land in; make it a full matrix first: %s = full (%s).",
                  name, name, name);
    raise(text);
  }
  const octave_value& a = prhs[i];
  octave_base_value& held = *a.internal_rep();
  if (a.type_id() == octave_matrix::static_type_id())
    static_cast<octave_matrix&>(held).matrix_ref();
  else if (a.type_id() == octave_float_matrix::static_type_id())
    static_cast<octave_float_matrix&>(held).matrix_ref();
  else if (a.type_id() == octave_sparse_matrix::static_type_id())
    static_cast<octave_sparse_matrix&>(held).matrix_type(MatrixType());
  return storage_pointer<T>(a);
}

inline std::size_t stored_count(Argument a) { return static_cast<std::size_t>(a.issparse() ? a.nnz() : a.numel()); }

// Results of at least this many bytes are advised for huge pages: the first
// touch of fresh 4 KB pages costs more than the kernel itself on some
// virtual machines, while a smaller result is not worth a system call.
inline constexpr std::size_t huge_page_bytes = std::size_t{1} << 21;
inline constexpr std::size_t advised_result_bytes = 2 * huge_page_bytes;

// Advises the whole huge pages inside [data, data + count) for transparent
// huge pages, before anything touches them (advice only: where the system
// ignores it or has no such pages, nothing changes).  Only the aligned
// interior is advised, so no byte outside the result's own allocation is.
template <class T>
void advise_huge_pages([[maybe_unused]] T* data, [[maybe_unused]] std::size_t count) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (count < advised_result_bytes / sizeof(T)) return;
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (first + huge_page_bytes - 1) & ~std::uintptr_t{huge_page_bytes - 1};
  const std::uintptr_t end = (first + count * sizeof(T)) & ~std::uintptr_t{huge_page_bytes - 1};
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

// The allocator Octave's arrays free their storage with (Octave builds
// differ: std::allocator or a polymorphic one), so that storage allocated
// here can be handed to an array that takes ownership of it.
template <class T, class Alloc>
Alloc allocator_of(const Array<T, Alloc>&);

// Octave's full array and its value kind, for each class of result.
template <class T>
struct ResultKind;
template <>
struct ResultKind<double> {
  using Full = NDArray;
  using Value = octave_matrix;
};
template <>
struct ResultKind<float> {
  using Full = FloatNDArray;
  using Value = octave_float_matrix;
};

// A new m-by-n result in slot `slot`, owned by Octave as soon as it exists.
// Its storage comes straight from the allocator, so the first touch is the
// zero fill requested here or the kernel's own writes.
template <class T>
T* new_result(Results results, int slot, std::size_t m, std::size_t n, Contents contents) {
  using Full = typename ResultKind<T>::Full;
  using Allocator = decltype(allocator_of(std::declval<const Full&>()));
  using AllocatorTraits = std::allocator_traits<Allocator>;
  const dim_vector dims(static_cast<octave_idx_type>(m), static_cast<octave_idx_type>(n));
  const octave_idx_type count = dims.safe_numel();
  Allocator allocator;
  T* data = AllocatorTraits::allocate(allocator, static_cast<std::size_t>(count));
  Array<T> owner;
  try {
    owner = Array<T>(data, dims, allocator);
  } catch (...) {
    AllocatorTraits::deallocate(allocator, data, static_cast<std::size_t>(count));
    throw;
  }
  // Not octave_value (NDArray), which turns a 1-by-1 array into a scalar
  // of storage of its own; call() does that once the kernel has written.
  (*results.slots)(slot) = octave_value(new typename ResultKind<T>::Value(Full(owner)));
  advise_huge_pages(data, static_cast<std::size_t>(count));
  if (contents == Contents::zeros) std::fill_n(data, count, T{0});
  return data;
}

inline void print(const char* text) { octave_stdout << text; }

// True for a real, full double or single input the gateway must not read
// where Octave holds it: every kind of value but a full matrix and a
// scalar, whose storage is the value itself (a real sparse double is always
// a sparse matrix, read where it is).  A float diagonal matrix (eye (3,
// 'single')) is one such kind.  A range, a diagonal or a permutation matrix
// has no such storage; a lazy index (sort's second output) hands out a copy
// while it goes on indexing with an index vector of its own, so a write
// there would make what it shows and what it does as an index differ; an
// integer-stored double holds the integer's bits.  A kind Octave may add
// later is made full too, not trusted.
inline bool read_as_full_copy(const octave_value& a) {
  return (is_real_double(a, false) || is_real_single(a, false)) && !holds_own_storage(a);
}

// A full array of storage of its own: the values of a lazy index share its
// cached copy.
template <class Full>
octave_value own_copy(Full values) {
  values.make_unique();
  return octave_value(values);
}

// Runs a kernel's gateway on one call from Octave, with the result slots and
// the outcome of Octave's MEX layer: nlhs is nargout, there is always room
// for a first result (ans when nargout is 0), and a refusal is raised as
// "<kernel>: <text>".
template <class Gateway>
octave_value_list call(const char* kernel, Gateway gateway, const octave_value_list& args, int nargout) {
  octave_value_list full_inputs;
  const octave_value_list* inputs = &args;
  for (octave_idx_type i = 0; i < args.length(); ++i) {
    if (!read_as_full_copy(args(i))) continue;
    if (inputs == &args) {
      full_inputs = args;
      inputs = &full_inputs;
    }
    full_inputs(i) = args(i).is_single_type() ? own_copy(args(i).float_array_value()) : own_copy(args(i).array_value());
  }
  octave_value_list results(std::max(nargout, 1));
  try {
    gateway(nargout, Results{&results}, static_cast<int>(inputs->length()), Arguments{inputs, &args});
  } catch (const Refusal& refusal) {
    error("%s: %s", kernel, refusal.text);
  }
  if (nargout == 0 && results(0).is_undefined()) results.resize(0);
  for (octave_idx_type i = 0; i < results.length(); ++i)
    if (results(i).is_defined()) results(i).maybe_mutate();
  return results;
}

// The help of an .oct file: the help file of the same name beside it, as
// for a MEX plug-in; empty when there is none or it cannot be read (the
// function still loads).  Read through get_help_from_file, which Octave
// exports on every version: the help system's own reader is a member of a
// class Octave never exported, and from Octave 11 on its library lacks it.
inline std::string help_beside(const std::string& library) {
  const std::string file = library.substr(0, library.rfind('.')) + ".m";
  std::string text;
  try {
    bool found = false;
    std::string path;
    if (std::ifstream(file).good()) text = octave::get_help_from_file(file, found, path);
  } catch (...) {
    text.clear();
  }
  return text;
}

// What DEFUN_DLD's installer does, with the help read from the help file.
inline octave_function* install(octave_builtin::fcn function, const octave::dynamic_library& library,
                                const char* kernel, bool relative) {
  octave_dld_function* loaded = octave_dld_function::create(function, library, kernel, help_beside(library.file_name()));
  if (relative) loaded->mark_relative();
  return loaded;
}

}  // namespace proxkit::host

// The kernel's .oct function and its gateway, whose parameters keep the
// names of mexFunction's.
#define PROXKIT_GATEWAY(kernel)                                                                         \
  static void kernel##_gateway(int nlhs, proxkit::host::Results plhs, int nrhs, proxkit::host::Arguments prhs); \
  FORWARD_DECLARE_FUN(kernel);                                                                          \
  extern "C" OCTAVE_EXPORT octave_function* G##kernel(const octave::dynamic_library& library, bool relative) { \
    check_version(OCTAVE_API_VERSION, #kernel);                                                         \
    return proxkit::host::install(F##kernel, library, #kernel, relative);                               \
  }                                                                                                     \
  DECLARE_FUN(kernel, args, nargout) { return proxkit::host::call(#kernel, kernel##_gateway, args, nargout); } \
  static void kernel##_gateway([[maybe_unused]] int nlhs, [[maybe_unused]] proxkit::host::Results plhs, \
                               [[maybe_unused]] int nrhs, [[maybe_unused]] proxkit::host::Arguments prhs)

#endif
