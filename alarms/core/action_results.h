// The texts of the file-or-program action's outcomes.
#pragma once

#include <cstdint>
#include <string>

// The error text for a result of the system's "open" call: the known codes
// 0..32 have their own texts; any other code up to 32 (a failure the table
// does not know) gives "Could not open the file (error %d)."; above 32
// (success) the text is empty.
std::string RunResultText(intptr_t result);
