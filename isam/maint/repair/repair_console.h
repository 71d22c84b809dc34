// Output of the repair messages (printf-style) to the repair console.
#pragma once

namespace isam::maint {

void RepairPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace isam::maint
