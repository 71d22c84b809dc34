#include "platform/tick.h"

#include <windows.h>

namespace platform {

uint64_t TickMs() { return GetTickCount64(); }

}  // namespace platform
