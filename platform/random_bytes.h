// Unpredictable bytes from the system's generator (MIME boundaries).
#pragma once

#include <cstddef>

namespace platform {

// Fills length bytes; false when the system gives none.
bool RandomBytes(void* buffer, size_t length);

}  // namespace platform
