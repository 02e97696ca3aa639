// The frame every plug-in shares: argument counts, access to inputs, the
// segment table, creation of results and error raising, all through the host
// interface (gateway/host.h), so that each gateway is compiled unchanged
// against MEX or Octave-native.  Each plug-in's gateway runs, in this order:
// the count check, input access (class checks included), shape checks,
// creation of its results, and then the kernel's plain function on the
// host's storage.
//
// Input classes: the values of a kernel (vect, U', V, X, S and v) are real
// double or single arrays, and the plug-in runs the kernel of their class,
// which is the class of its results; a scalar parameter (rho, t, tol) of
// the other class is converted to it, a double one rounded to single as the
// hosts do in a mixed operation.  Tables, indices and dimensions stay
// double.  Any other input (integer, logical, char, complex, sparse where a
// full array is expected, cell, struct, ...; single for a table) is never
// read; it is refused, naming its argument, before anything is created or
// written.
//
// No object with a destructor is alive in a gateway wherever the host can
// raise (any check, any creation of a result): see gateway/host.h.
#ifndef PROXKIT_GATEWAY_H
#define PROXKIT_GATEWAY_H

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "core/segment_table.h"
#if defined(PROXKIT_HOST_OCTAVE)
#include "gateway/host_octave.h"
#else
#include "gateway/host_mex.h"
#endif

// The interface every gateway relies on (gateway/host.h), checked against
// whichever binding this plug-in is compiled with.
namespace proxkit::host::interface_check {
using std::declval;
using std::is_same_v;
static_assert(std::is_convertible_v<decltype(declval<Arguments>()[0]), Argument>);
static_assert(std::is_integral_v<Dimension>);
static_assert(is_same_v<decltype(is_real_double(declval<Argument>(), true)), bool>);
static_assert(is_same_v<decltype(is_real_single(declval<Argument>(), true)), bool>);
static_assert(is_same_v<decltype(storage_of<double>(declval<Argument>())), DoubleArray>);
static_assert(is_same_v<decltype(storage_of<float>(declval<Argument>())), ValueArray<float>>);
static_assert(is_same_v<decltype(writable_storage<double>(declval<Arguments>(), 0, "")), double*>);
static_assert(is_same_v<decltype(writable_storage<float>(declval<Arguments>(), 0, "")), float*>);
static_assert(is_same_v<decltype(stored_count(declval<Argument>())), std::size_t>);
static_assert(is_same_v<decltype(new_result<double>(declval<Results>(), 0, std::size_t{}, std::size_t{},
                                                    Contents::zeros)),
                        double*>);
static_assert(is_same_v<decltype(new_result<float>(declval<Results>(), 0, std::size_t{}, std::size_t{},
                                                   Contents::zeros)),
                        float*>);
static_assert(is_same_v<decltype(raise("")), void> && is_same_v<decltype(print("")), void>);
#ifndef PROXKIT_GATEWAY
#error "the host binding defines no PROXKIT_GATEWAY"
#endif
}  // namespace proxkit::host::interface_check

namespace proxkit::gateway {

using host::Contents;
using host::DoubleArray;
using host::raise;
using host::storage_of;
using host::ValueArray;

inline constexpr const char* out_of_bound_message =
    "INDEX OUT OF BOUND: the last index is out of bound.";

inline void require(bool condition, const char* message) {
  if (!condition) raise(message);
}

// The count check: exactly `inputs` arguments and at most `max_results`
// requested results, else the kernel's one usage message.
inline void check_counts(int nlhs, int nrhs, int inputs, int max_results, const char* usage) {
  require(nrhs == inputs && nlhs <= max_results, usage);
}

// Raises a message about one argument: `format` holds one %s, the argument's
// name.  The text is composed on the stack because the error call does not
// return to release anything.
[[noreturn]] inline void raise_about(const char* name, const char* format) {
  char message[96];
  std::snprintf(message, sizeof message, format, name);
  raise(message);
}

// Refuses an argument that has no element to read.
template <class T>
void require_element(const ValueArray<T>& a, const char* name) {
  if (a.size == 0) raise_about(name, "%s must have at least one element.");
}

// A table, an index list or a dimension: a real, full double array.
inline DoubleArray full_double(host::Argument a, const char* name) {
  if (!host::is_real_double(a, false))
    raise_about(name, host::is_real_single(a, false) ? "%s must be a real, full double array; single is for values only."
                                                     : "%s must be a real, full double array.");
  return storage_of<double>(a);
}

// The class of a kernel's values, which chooses its kernel.
enum class ValueClass { double_values, single_values };

template <class T>
inline constexpr ValueClass class_of = std::is_same_v<T, float> ? ValueClass::single_values : ValueClass::double_values;

// The class of a value argument: a real double or single array (and full,
// unless sparse is allowed), else refused, naming the argument.  Sparse
// single (MATLAB R2025a and later; Octave has none) is refused too: every
// kernel that takes a sparse array writes its double storage.
inline ValueClass value_class(host::Argument a, const char* name, bool sparse_allowed = false) {
  if (host::is_real_double(a, sparse_allowed)) return ValueClass::double_values;
  if (host::is_real_single(a, false)) return ValueClass::single_values;
  if (sparse_allowed && host::is_real_single(a, true))
    raise_about(name, "%s must be a real double or single array, and double when sparse.");
  raise_about(name, sparse_allowed ? "%s must be a real double or single array."
                                   : "%s must be a real, full double or single array.");
}

// Runs body(T{}) with T the type of the values' class: double or float.
template <class Body>
void with_values(ValueClass values, Body body) {
  if (values == ValueClass::single_values)
    body(float{});
  else
    body(double{});
}

template <class U>
double first_of(const ValueArray<U>& values, const char* name, bool required) {
  if (required) require_element(values, name);
  return values.size > 0 ? values.data[0] : std::numeric_limits<double>::quiet_NaN();
}

// The first element of a scalar parameter (rho, t, tol), a real, full
// double or single array, as a double (a single one widened exactly); a
// kernel on single values rounds it to single, once.  An empty one is
// refused when `required`, else NaN is returned.
inline double first_element(host::Argument a, const char* name, bool required) {
  if (value_class(a, name) == ValueClass::single_values) return first_of(storage_of<float>(a), name, required);
  return first_of(storage_of<double>(a), name, required);
}

// The segment table `accIdx` for a vector of n elements: class check, then
// the one validation, of its last entry.
inline SegmentTable segment_table(host::Argument accIdx, std::size_t n) {
  const DoubleArray bounds = full_double(accIdx, "accIdx");
  const SegmentTable table{bounds.data, bounds.size};
  require(last_entry_in_bounds(table, n), out_of_bound_message);
  return table;
}

// The parameter `rho` of a segment kernel on values of class T: the first
// element of a real, full double or single array, further elements ignored.
// The kernel uses it once per segment, so an empty `rho` is refused whenever
// the table has a segment (even an empty one).  With no segment nothing uses
// it and the call goes on; the NaN returned then is never read by the kernel.
template <class T>
T rho_parameter(host::Argument a, SegmentTable table) {
  return static_cast<T>(first_element(a, "rho", table.count >= 2));
}

// What the result of grpshrink or grpsign holds before the kernel runs: those
// kernels write every position of every segment and rely on zeros
// elsewhere, so the zeros are needed only when the segments, taken in table
// order, leave a position uncovered.  The walk is conservative: a gap that a
// later, out-of-order segment would fill still asks for zeros.
inline Contents segment_result_contents(SegmentTable table, std::size_t n) {
  std::size_t covered = 0;  // positions [0, covered) lie in some segment
  for (std::size_t k = 0; k + 1 < table.count; ++k) {
    const Segment segment = segment_range(table.bounds[k], table.bounds[k + 1], n);
    if (segment.begin == segment.end) continue;
    if (segment.begin > covered) return Contents::zeros;
    if (segment.end > covered) covered = segment.end;
  }
  return covered < n ? Contents::zeros : Contents::written_by_kernel;
}

inline constexpr const char* result_too_large_message = "the result is too large for this build of the plug-in.";

// True when the host's dimension type holds n.  A plug-in built by hand on
// MATLAB's 32-bit-dimension interface (mex -compatibleArrayDims; none of the
// project's builds is) has a 32-bit signed mwSize, and Octave's is signed: a
// larger dimension would be cut, creating a shorter array than the kernel
// fills.
template <class Size>
constexpr bool dimension_fits(std::size_t n) {
  return static_cast<std::uintmax_t>(n) <=
         static_cast<std::uintmax_t>(static_cast<std::make_unsigned_t<Size>>(std::numeric_limits<Size>::max()));
}

// Creates an m-by-n result of class T (double or float) and stores it in
// plhs[slot] at once, so the host owns it from then on; refuses a shape the
// host's dimension type cannot hold.  `contents` says whether the kernel
// relies on zeros in it or writes every element itself.
template <class T>
T* create_result(host::Results plhs, int slot, std::size_t m, std::size_t n, Contents contents) {
  require(dimension_fits<host::Dimension>(m) && dimension_fits<host::Dimension>(n), result_too_large_message);
  return host::new_result<T>(plhs, slot, m, n, contents);
}

}  // namespace proxkit::gateway

#endif
