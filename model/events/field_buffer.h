// CFieldBuffer: builds the variable-length records in which calendar files
// store events. A record is a run of tagged items, each
//
//   offset 0  2 bytes  tag
//   offset 2  2 bytes  data length n (the 4-byte header not counted)
//   offset 4  n bytes  data
//
// all little-endian, with no padding, count or terminator. Structured
// values (a date-time, a duration, a recurrence rule, an occurrence
// override or state, a date range) are items whose data is itself a run of
// items; their layouts are in field_buffer_items.cpp and rule_codec.cpp.
// Reading is CFieldReader (field_buffer_reader.h).
//
// Every Put appends one whole item or nothing: it answers true when the
// item was written (or, for the ...IfSet forms, empty texts and lists, when
// there was nothing to write) and false when it could not be, leaving the
// buffer as it was before the call. Reasons: the buffer could not grow (out
// of memory; the user is told "Error writing event to file.\n\nOut of
// memory."), the data does not fit the 16-bit item length (a text of 65535
// characters or more), or a value does not fit its stored width. A failed
// Put also sets the failure mark, so a record writer can put all its items
// and check once (WriteFailed) before storing the record: a record that
// lost an item must not be stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/events/field_values.h"

class CFieldBuffer {
 public:
  static constexpr uint32_t kInitialCapacity = 2000;
  static constexpr uint32_t kGrowthHeadroom = 300;
  static constexpr uint32_t kMaxItemData = 0xFFFF;
  static constexpr uint32_t kItemHeaderSize = 4;

  // Allocates kInitialCapacity bytes (capacity 0 when that fails).
  CFieldBuffer();
  virtual ~CFieldBuffer();
  CFieldBuffer(const CFieldBuffer&) = delete;
  CFieldBuffer& operator=(const CFieldBuffer&) = delete;

  // ---- The record.
  const uint8_t* GetData() const { return data_; }
  uint32_t GetUsed() const { return used_; }
  uint32_t GetCapacity() const { return capacity_; }
  // Starts a new record: used 0, failure mark cleared.
  void Reset();
  // Cuts the record back to `used` bytes (no more than it holds).
  void Truncate(uint32_t used);
  // True when a Put failed since the last Reset.
  bool WriteFailed() const { return failed_; }

  // Makes room for n more bytes: when the capacity is short, the buffer is
  // reallocated to capacity + n + kGrowthHeadroom. False (and the message
  // box) when that fails; the buffer and its contents are unchanged.
  bool Grow(uint32_t n);

  // Appends raw bytes (the record header of the file format).
  bool PutRaw(const void* bytes, uint32_t n);

  // ---- Scalars. Values must fit their width (byte -128..127, short
  // -32768..32767); the IfSet forms write nothing for -2, the value that
  // means "use the program's setting".
  bool PutByte(uint16_t tag, int32_t value);
  bool PutShort(uint16_t tag, int32_t value);
  bool PutInt(uint16_t tag, int32_t value);
  bool PutByteIfSet(uint16_t tag, int32_t value);
  bool PutShortIfSet(uint16_t tag, int32_t value);
  bool PutIntIfSet(uint16_t tag, int32_t value);

  // ---- Lists: one signed byte or one 16-bit word per element; nothing
  // for an empty list. Byte-list elements must fit a signed byte.
  bool PutByteList(uint16_t tag, const std::vector<int16_t>& values);
  bool PutWordList(uint16_t tag, const std::vector<int16_t>& values);

  // ---- Texts: the characters and a NUL; nothing for an empty text. A text
  // of 65535 characters or more does not fit an item and is refused.
  bool PutString(uint16_t tag, const std::string& text);
  bool PutStringValue(uint16_t tag, const std::string& text) { return PutString(tag, text); }

  // ---- Structured values.
  // 32-bit Julian day, 32-bit seconds of day (as stored), 8-bit zone kind,
  // TZID and NUL (a single NUL without TZID): 10 + TZID length bytes.
  // Refused outside what the reader accepts (Julian day 0..5373484, seconds
  // -1..86399, zone kind 0..2), so a stored record always loads again.
  bool PutDateTime(uint16_t tag, const CDateTime& value);
  // 32-bit years, months, weeks, days, hours, minutes, seconds (weeks
  // before days), 16-bit sign: 30 bytes. Refused when a part lies outside
  // 0..100000000 (parts are magnitudes; the sign gives the direction).
  bool PutDuration(uint16_t tag, const CDuration& value);
  // Nested: 500 frequency (an Easter rule as 7 with 513 = 1), 511 week
  // start, 501 interval, 503 COUNT, 504/505 BYDAY unless filled by
  // defaults, 506 BYMONTHDAY, 509 BYWEEKNO, 510 BYMONTH unless filled by
  // defaults, 507 BYYEARDAY, 508 BYSETPOS, 502 UNTIL when set, 512 offset
  // days. Refused when a value lies outside what the reader accepts
  // (CFieldReader::ReadRecurrenceRule).
  bool PutRecurrenceRule(uint16_t tag, const CRecurrenceRule& rule);
  // Nested: 16 scheduled date; when moved 6 end then 8 start; 23 name,
  // 2 type, 9 notes and 56 URL by their mask bits; with the alarm bit
  // 35 lead time then 34 alarm on (16-bit).
  bool PutOccurrenceOverride(uint16_t tag, const COccurrenceOverride& value, const CDateTime& scheduled);
  // Nested: 36 acknowledged (16-bit), 39 snooze time, 16 occurrence date.
  bool PutOccurrenceState(uint16_t tag, const COccurrenceState& value, const CDateTime& date);
  // Nested: 8 start, 6 end.
  bool PutDateRange(uint16_t tag, const CDateRange& value);

  // ---- Building nested items. BeginNested reserves the 4-byte header and
  // returns its offset (false when even that fails); EndNested writes the
  // header with the length of everything appended since. EndNested fails
  // and removes the whole nested item when anything inside it failed or it
  // grew past kMaxItemData.
  bool BeginNested(uint16_t tag, uint32_t* headerOffset);
  bool EndNested(uint16_t tag, uint32_t headerOffset);

  // Tests: growth past this capacity fails as an exhausted heap would.
  void SetCapacityLimitForTesting(uint32_t limit) { capacityLimit_ = limit; }

 private:
  // Appends one item of the given data, or nothing.
  bool PutItem(uint16_t tag, const void* data, uint32_t n);
  bool Fail();

  uint8_t* data_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t used_ = 0;
  bool failed_ = false;
  uint32_t failures_ = 0;                // failed Puts ever, so a nested item sees those inside it
  std::vector<uint32_t> nestedFailures_;  // failures_ when each open nested item began
  uint32_t capacityLimit_ = 0xFFFFFFFFu;
};
