// The status log "ENGSTAT.LOG" in the current directory: appended lines of
// the local time in asctime form (which ends in a line break), a tab, the
// text, and ": <value>" when value is not 0.
#pragma once

namespace isam {

constexpr const char kStatusLogName[] = "ENGSTAT.LOG";
constexpr int kStatusLogFatalValue = -199;  // the fatal path: one try, no number

// Appends one entry. Ordinary entries try to open the log up to 11 times,
// giving back one engine file handle between tries; value -199 tries once.
// A value below -198 is written as -value - 199 (so -199 writes none).
// When the log cannot be written the failure is shown once per process
// in a message box and the call returns false: the engine goes on.
bool WriteStatusLog(const char* text, int value);

// Formats the entry exactly as written (for tests): stamp, tab, text, number.
void FormatStatusLogEntry(char* out, int size, const char* stamp, const char* text, int value);

// Test support: forget that a failure was already reported.
void ResetStatusLogFailureReport();

}  // namespace isam
