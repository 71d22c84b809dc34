// The calling thread's last-error value: the system's own per-thread value
// on Windows (GetLastError), a thread-local number elsewhere. Layers that
// report failure as false with a code (the mail client) leave it here.
//
// On Windows any later system call may change it, so set it last, just
// before returning.
#pragma once

#include <cstdint>

namespace platform {

void SetLastErrorCode(uint32_t code);
uint32_t LastErrorCode();

}  // namespace platform
