// The two sides' raw clock readings, behind the test override in
// clock_common.cpp. Internal to platform/.
#pragma once

#include "platform/civil_time.h"

namespace platform {
CivilTime SystemUtcNow();
CivilTime SystemLocalNow();
}  // namespace platform
