// The gateway's guard for builds on the host's 32-bit-dimension interface,
// where mwSize is a signed 32-bit int: no dimension above 2^31 - 1 reaches
// the host's creation call.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "gateway/gateway.h"

namespace {

using proxkit::gateway::dimension_fits;

static_assert(dimension_fits<std::int32_t>(2147483647u));
static_assert(!dimension_fits<std::int32_t>(2147483648u));
static_assert(!dimension_fits<std::int32_t>(std::numeric_limits<std::size_t>::max()));
static_assert(dimension_fits<std::size_t>(std::numeric_limits<std::size_t>::max()));
static_assert(dimension_fits<std::int64_t>(std::size_t{1} << 40));

}  // namespace
