// A monotonic millisecond count for measuring waits: it never goes back
// when the wall clock is set, and its origin means nothing.
#pragma once

#include <cstdint>

namespace platform {

uint64_t TickMs();

}  // namespace platform
