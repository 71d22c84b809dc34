// The file set a calendar keeps its events in: a variable-length data file
// (fixed part 14: record kind, sequence number, change serial and the first
// item header) with a unique 200-byte UID index taken from the first field
// of the variable part and a change-serial index with duplicates.
//
// Built here so the storage layer and the engine's own tests describe the
// set the same way. The block points into the object: keep it alive (and
// unmoved) while the set is open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_mend_report.h"

namespace isam {

constexpr int16_t kCalendarHostMode = 515;     // shared, kept open, superfile host
constexpr int16_t kCalendarDataMode = 71;      // shared, kept open, variable, 0x40
constexpr int16_t kCalendarIndexMode = 67;     // shared, kept open, 0x40
// The same without the shared bit: for filling a new calendar that no one
// else can have open yet. An exclusive file takes no byte-range locks.
constexpr int16_t kCalendarHostAloneMode = kCalendarHostMode & ~1;
constexpr int16_t kCalendarDataAloneMode = kCalendarDataMode & ~1;
constexpr int16_t kCalendarIndexAloneMode = kCalendarIndexMode & ~1;
constexpr int16_t kCalendarRecordLength = 14;
constexpr int kCalendarUidKeyLength = 200;
constexpr int kCalendarSerialKeyLength = 8;
constexpr char kCalendarMemberName[] = "events";
// The open's answer for a set it could not make whole (kErrFileDamaged).
// What an open did after a crash is in TakeMendReport
// (fileset/file_set_mend_report.h).
constexpr int kCalendarFileDamaged = 690;
// The open's answer for a resource chain with a bad mark in it (the set's
// stored definition cannot be read).
constexpr int kCalendarResourcesDamaged = 407;

// The event records still whole in the calendar file at `path`, whatever
// its header, stretches and indexes hold: every record stretch, wherever it
// lies, whose bytes match their check value and read as an event record
// (kind 0 or 1, then 1, then a UID), one per UID (of two, the higher change
// serial), in UID order. For a calendar to be built anew from its records
// when the open refused it (the file is only read). 0, 12 when it cannot be
// opened, 36 when it cannot be read whole.
int ReadSoundCalendarRecords(const std::string& path, std::vector<std::vector<uint8_t>>* records);

class CalendarFileSet {
 public:
  // `name`: the name the set's files are made from (the member name
  // "<path>!events" inside a calendar host, or a plain base name).
  // `alone`: the data and index members are opened exclusive
  // (kCalendar*AloneMode) rather than shared.
  explicit CalendarFileSet(const std::string& name, bool alone = false);
  CalendarFileSet(const CalendarFileSet&) = delete;
  CalendarFileSet& operator=(const CalendarFileSet&) = delete;

  IfilBlock* block() { return &block_; }
  int data_file() const { return block_.assigned; }
  int uid_key() const { return block_.assigned < 0 ? -1 : block_.assigned + 1; }
  int serial_key() const { return block_.assigned < 0 ? -1 : block_.assigned + 2; }

  // "<path>!events".
  static std::string MemberName(const std::string& path);

 private:
  std::string name_;
  KeySegment uid_segment_{0, kCalendarUidKeyLength, 4};
  KeySegment serial_segment_{6, 4, 1};
  uint8_t pad_ = 0x20;
  IndexDefinition indexes_[2];
  IfilBlock block_;
};

}  // namespace isam
