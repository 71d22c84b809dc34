// The words a user reads for an error number of the engine: what went
// wrong with the calendar file and, where there is one, what to do. Every
// number gets words; one without its own text names the number after them.
#pragma once

#include <string>

std::string EngineErrorText(int code);
