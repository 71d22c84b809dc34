#include "platform/last_error.h"

namespace platform {

namespace {
thread_local uint32_t t_lastError = 0;
}

void SetLastErrorCode(uint32_t code) { t_lastError = code; }
uint32_t LastErrorCode() { return t_lastError; }

}  // namespace platform
