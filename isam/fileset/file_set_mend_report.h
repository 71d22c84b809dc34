// What the open after a crash did to a file set, for the application to
// tell its user: how many records it kept, which records it set aside (the
// change in flight: a record whose bytes its check value denies, or that
// holds space never written) and whether it built the indexes again. One
// report per thread, filled by the mend (file_set_recovery.h) and taken by
// the caller once the open returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace isam {

struct FileControlBlock;

struct MendReport {
  bool mended = false;    // the open found a writer that never closed and mended
  bool rebuilt = false;   // every index was built again from the records
  int32_t kept = 0;       // live records after the mend
  // The bytes each set-aside record held when it was let go (at most
  // kSetAsideKeep of each): not an event's, since they fail their check,
  // but what is left of one may still name it.
  std::vector<std::vector<uint8_t>> set_aside;
  // Stretches of bytes no sound header began, passed over (made free
  // space) on the way to the next sound one: whatever they held is lost.
  int32_t passed_over = 0;
  std::string file;       // the data file's name
};

constexpr uint32_t kSetAsideKeep = 4096;

// Starts a new report for the data file (the one before is dropped).
void BeginMendReport(const FileControlBlock* fcb);

// Notes the record at `position` (used length `used`) as set aside, with a
// status-log line; once per position and report. Reads the bytes itself.
void NoteSetAside(FileControlBlock* fcb, uint32_t position, uint32_t used);

// Notes a stretch of unreadable bytes passed over (with a status-log line).
void NotePassedOver(uint32_t position);

// Ends the report with the records kept and whether the indexes were built again.
void EndMendReport(int32_t kept, bool rebuilt);

// Hands the calling thread's last report over and clears it (an empty
// report, mended false, when no open mended since the last take).
MendReport TakeMendReport();

}  // namespace isam
