// The records of the program's older event files and their conversion
// into events.
//
//   1.2  "events.dat": fixed 112-byte records from offset 0, no header.
//   2.00 (also written by 3.0): a 24-byte header "Almacora 2.00 Event
//        File", then fixed 458-byte records.
//   3.50 a 24-byte header "Almacora 3.50 Event File", then records of a
//        4-byte prefix (byte 1 non-zero: deleted; bytes 2-3 the body
//        length) and a body of tagged items (old_event_files.h).
//
// All numbers are little-endian signed 16-bit values; texts are fixed
// fields, NUL-terminated when shorter than the field (copied bounded, so a
// field without NUL is taken whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/dates/date_time.h"

class CCalEvent;

constexpr size_t kOldHeaderSize = 24;
constexpr size_t kRecord12Size = 112;
constexpr size_t kRecord20Size = 458;

// A 2.00 record as read; a 1.2 record widens into one.
struct OldEventRecord {
  int16_t month = 0;
  int16_t day = 0;  // 0 in a monthly record: the last day of the month
  int16_t year = 0;
  int16_t timeOfDay = -1;  // minutes after midnight; negative: no time
  int16_t leadMinutes = 10;
  int16_t alarmOn = 0;
  int16_t daysPrior = 0;
  std::string name;
  std::string type;
  std::string notes;
  int16_t alarmSuppressed = 0;
  int16_t monthly = 0;
  int16_t yearly = 0;
  int16_t noOriginalYear = 0;
  int16_t oneTime = 0;  // one-time when 1
  int16_t advanced = 0;
  int16_t monthsMask = 4095;  // bit n-1: month n
  // Bits 0..3 first..fourth, bit 4 last, bit 5 fifth; 63 every week.
  int16_t weekPositions = 0;
  int16_t weekdays = 0;  // bit n-1: weekday n (1 Monday .. 7 Sunday)
  int16_t lastYear = -1;
  int16_t weekly = 0;
  int16_t interval = 1;
  int16_t nextDay = 0;  // 0 not stored, -1 no next occurrence
  int16_t nextMonth = 0;
  int16_t nextYear = 0;
};

// Decodes one record of kRecord12Size / kRecord20Size bytes. The 1.2 form
// gives what 1.2 lacks the values above: no time, lead time 10 minutes,
// alarm off, no notes, not advanced, all months, last year -1, not weekly,
// interval 1, no stored next occurrence.
OldEventRecord DecodeRecord12(const uint8_t* data);
OldEventRecord DecodeRecord20(const uint8_t* data);

// The event of a record, made with the program's event defaults, or null
// when the record cannot be a date: a day above 31 or below 0 (0 only in
// a monthly record), a month outside 1..12, or a start the program cannot
// store. `today` is the current local date (the current month and year of
// records that need one, and the start of advanced searches).
std::unique_ptr<CCalEvent> ConvertVersion2Record(const OldEventRecord& record, const CDateTime& today);
