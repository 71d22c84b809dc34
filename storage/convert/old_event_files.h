// Reading the program's older event files (old_event_records.h) into an
// IImportTarget. The files are opened read-only and never changed, so a
// read-only file converts and the old file stays as it was.
//
// Every reader reads to the end: a short read ends the file, a record is
// converted whole or not at all (records that cannot be dates, 3.50
// records that are deleted, empty or malformed are skipped), and nothing
// in a damaged file can make it read past its buffers or loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/dates/date_time.h"

class CCalEvent;
class IConvertPrompts;
class IImportTarget;

enum class OldFileVersion { kNone, k12, k20, k35 };

struct OldReadCounts {
  int records = 0;  // records met (deleted 3.50 records included)
  int added = 0;    // events the target stored
  int skipped = 0;  // records not converted
};

// Each reader: true when the file was read (the counts tell the rest);
// false when it could not be opened (the system's text for the error is
// shown, information icon) or its header is not the version's
// ("Error Reading Events File\nNot a Valid 2.0 File" / "... 3.x File",
// exclamation icon). Converted events have no UID: the target gives each a
// new one.
bool ReadEvents12(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts);
bool ReadEvents20(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts);
bool ReadEvents35(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts);
bool ReadOldEvents(OldFileVersion version, const std::string& path, IImportTarget* target, IConvertPrompts* prompts,
                   OldReadCounts* counts);

// The version of a file that is not an engine file: a 3.50 header, a 2.00
// header, or (without either) the file name "events.dat" exactly, in lower
// case, after the last folder separator. False when the file cannot be
// opened (*nativeError: the system's number); *version is kNone for any
// other file.
bool DetectOldEventFile(const std::string& path, OldFileVersion* version, int* nativeError);

// The version's name in messages ("1.2", "2.x / 3.0", "3.x") and the name
// proposed for its converted file ("events12.akv", "events20.akv",
// "events35.akv").
const char* OldFileVersionName(OldFileVersion version);
const char* OldFileProposedName(OldFileVersion version);

// One 3.50 record body: tagged items read by the model's reader, only the
// tags older versions wrote (type, created, end, start, notes, last
// modified, rule, name, calculate age, warning days, next occurrence, show
// end, has next, all-day, alarm on, lead time, acknowledged, occurrence
// state, alarm sound file, alarm-suppressed); others are skipped. Null for
// a malformed body or one without a start date; a body cut short by the end
// of the file keeps the items before the cut. A recurring event without a
// next occurrence gets one from `today`.
std::unique_ptr<CCalEvent> DecodeRecord35(const uint8_t* body, size_t size, bool cutShort, const CDateTime& today);
