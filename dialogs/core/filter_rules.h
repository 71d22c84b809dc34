// The Filtering dialog's OK without a window: which types are hidden, and
// the start-up filter text it stores.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The names whose show flag is 0, in list order joined by "~" (no leading
// or trailing "~"); empty when nothing is hidden or `reapply` is off.
// *filterOn is 1 when any type is hidden (whatever `reapply`), else 0.
std::string JoinStartupFilter(const std::vector<std::string>& names, const std::vector<uint16_t>& shown, bool reapply,
                              int* filterOn);
