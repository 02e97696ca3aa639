// Compiles a kernel's vector code once per instruction set of this build.
// Define PROXKIT_PER_SET as the name of a header, then include this file: the
// header is included once inside each set's namespace (core/sets.h), where
// `Set` is the set's tag, `Lanes` its lane struct, and PROXKIT_TARGET the
// attribute that compiles a function for the set alone.  Every function it
// defines takes a Set first, so that on_chosen_set reaches it, and is
// static: each file keeps its own copies, which the compiler inlines as
// freely as it would a file's own functions.  The header includes nothing
// (what it needs comes before this file) and has no include guard.
//
// Adding an instruction set: its lane struct (core/lanes.h), its value,
// detection and name (core/instruction_set.h), its namespace and tag
// (core/sets.h, and a case of on_chosen_set), and its block below.
#include "core/sets.h"

namespace proxkit::baseline {
#define PROXKIT_TARGET
#include PROXKIT_PER_SET
#undef PROXKIT_TARGET
}  // namespace proxkit::baseline

#if PROXKIT_X86_SETS
namespace proxkit::avx2 {
#define PROXKIT_TARGET PROXKIT_TARGET_AVX2
#include PROXKIT_PER_SET
#undef PROXKIT_TARGET
}  // namespace proxkit::avx2

namespace proxkit::avx512 {
#define PROXKIT_TARGET PROXKIT_TARGET_AVX512
#include PROXKIT_PER_SET
#undef PROXKIT_TARGET
}  // namespace proxkit::avx512
#endif

#if PROXKIT_NEON_SET
namespace proxkit::neon {
#define PROXKIT_TARGET
#include PROXKIT_PER_SET
#undef PROXKIT_TARGET
}  // namespace proxkit::neon
#endif

#undef PROXKIT_PER_SET
