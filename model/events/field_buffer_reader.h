// CFieldReader: walks the tagged items of a record (or of one nested item)
// without ever reading past the bytes it was given, and the typed reads of
// one item's data.
//
// Records come from files that may be damaged or written by other
// versions, so nothing in them is trusted: every length is checked against
// the bytes that are left, every value against its range. A malformed item
// stops the walk with an error; an item of an unknown tag is skipped by its
// length, which is how files of newer versions stay readable.
//
// Every Read answers true and fills the out value, or answers false and
// leaves the out value unchanged (nested reads fill a copy first).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/events/field_values.h"

struct FieldItem {
  uint16_t tag = 0;
  uint16_t length = 0;
  const uint8_t* data = nullptr;  // `length` bytes, inside the walked record
};

class CFieldReader {
 public:
  // Walks size bytes from data (not copied; must outlive the reader).
  CFieldReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // Walks the data of a nested item.
  explicit CFieldReader(const FieldItem& item) : data_(item.data), size_(item.length) {}

  // The next item: true and *item; false at the end of the data or when the
  // next item is malformed (its header is cut off or its length runs past
  // the end), which HasError then tells. A tail of fewer than four zero
  // bytes counts as padding, not as an item.
  bool Next(FieldItem* item);
  bool HasError() const { return error_; }
  // Marks the walk as failed (a typed read of one of its items failed).
  void SetError() { error_ = true; }
  // Bytes walked so far.
  size_t GetOffset() const { return offset_; }

  // ---- Typed reads of one item's data. Scalars need exactly their width;
  // bytes are sign-extended.
  static bool ReadByte(const FieldItem& item, int16_t* value);
  static bool ReadShort(const FieldItem& item, int16_t* value);
  static bool ReadInt(const FieldItem& item, int32_t* value);
  // One signed byte / one 16-bit word per element (a word list needs an
  // even length).
  static bool ReadByteList(const FieldItem& item, std::vector<int16_t>* values);
  static bool ReadWordList(const FieldItem& item, std::vector<int16_t>* values);
  // A NUL-terminated text filling the item (the NUL must be its last byte;
  // the text ends at its first NUL).
  static bool ReadString(const FieldItem& item, std::string* text);
  // Julian day 0..5373484 (31 December 9999), seconds of day -1..86399,
  // zone kind 0..2, NUL-terminated TZID.
  static bool ReadDateTime(const FieldItem& item, CDateTime* value);
  // 30 bytes; every part 0..100000000 (a larger one cannot come from the
  // program and would overflow the date arithmetic).
  static bool ReadDuration(const FieldItem& item, CDuration* value);
  // The nested rule items, in any order, unknown tags skipped. Frequency
  // 0..7 (0 unset; 513 = 1 makes it 8, wherever it stands), week start
  // 1..7, COUNT 0 or more, BYDAY
  // weekdays 1..7 with ordinals -53..53 (as many as weekdays; missing
  // ordinals read as 0), BYMONTHDAY -31..31, BYWEEKNO -53..53, BYYEARDAY
  // and BYSETPOS -366..366 (none of these 0), BYMONTH 1..12. The rule's
  // stored fields are replaced as a whole; its series start is kept.
  static bool ReadRecurrenceRule(const FieldItem& item, CRecurrenceRule* rule);
  // The override and its scheduled date (which it must hold).
  static bool ReadOccurrenceOverride(const FieldItem& item, COccurrenceOverride* value, CDateTime* scheduled);
  // The state and its occurrence date (which it must hold).
  static bool ReadOccurrenceState(const FieldItem& item, COccurrenceState* value, CDateTime* date);
  // The range (which must have a start).
  static bool ReadDateRange(const FieldItem& item, CDateRange* value);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
  bool error_ = false;
};
