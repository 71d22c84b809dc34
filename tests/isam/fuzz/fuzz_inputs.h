// The bodies of the engine's fuzz targets, shared by the libFuzzer
// executables (scripts/fuzz) and the ordinary test that replays every input
// that ever failed (tests/isam/fuzz_regressions/). A body returns normally
// on any input; a fault it finds aborts (or trips the sanitizers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace isam_fuzz {

// The input is a calendar host file: it is written to `path`, opened as a
// calendar, every index walked both ways, the data file walked, records
// read by key, one added, one rewritten and one deleted, and closed. Walks
// that do not end within what the file can hold abort.
void RunCalendarInput(const uint8_t* data, std::size_t size, const std::string& path);

// The input is an event record: decoded, and when that succeeds encoded,
// decoded and encoded again; the two encodings must agree.
void RunEventRecordInput(const uint8_t* data, std::size_t size);

// A sound calendar host with a few events at `path`, and at
// `unfinished_path` the same file as a writer that died before closing it
// leaves it (the seeds of the calendar target's corpus): true when made.
bool MakeSeedCalendar(const std::string& path, const std::string& unfinished_path);

}  // namespace isam_fuzz
