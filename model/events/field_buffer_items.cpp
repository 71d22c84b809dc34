// The structured items of the tagged-field codec: date-time, duration,
// occurrence override, occurrence state and date range.
#include <cstring>

#include "model/dates/date_range.h"
#include "model/dates/date_time.h"
#include "model/dates/duration.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_bytes.h"
#include "model/events/field_buffer_tags.h"
#include "model/events/occurrence_override.h"
#include "model/events/occurrence_state.h"

bool CFieldBuffer::PutDateTime(uint16_t tag, const CDateTime& value) {
  const std::string& tzid = value.GetTzid();
  if (tzid.size() + 10 > kMaxItemData) return Fail();
  // A value the reader would refuse (seconds past one day from an unchecked
  // SetTime, a negative day) must not make the whole record unreadable.
  if (!fieldbytes::StorableDateTime(value.GetRawJulianDay(), value.GetRawSecondsOfDay(), value.GetZoneKind()))
    return Fail();
  // Zone names are short: the usual item is built on the stack.
  uint8_t local[64] = {};
  std::vector<uint8_t> large;
  uint8_t* b = local;
  if (10 + tzid.size() > sizeof local) {
    large.assign(10 + tzid.size(), 0);
    b = large.data();
  }
  fieldbytes::Put32(&b[0], static_cast<uint32_t>(value.GetRawJulianDay()));
  fieldbytes::Put32(&b[4], static_cast<uint32_t>(value.GetRawSecondsOfDay()));
  b[8] = static_cast<uint8_t>(value.GetZoneKind());
  if (!tzid.empty()) std::memcpy(&b[9], tzid.data(), tzid.size());
  return PutItem(tag, b, static_cast<uint32_t>(10 + tzid.size()));
}

bool CFieldBuffer::PutDuration(uint16_t tag, const CDuration& value) {
  uint8_t b[30];
  const int32_t parts[7] = {value.years, value.months, value.weeks, value.days,
                            value.hours, value.minutes, value.seconds};
  for (int i = 0; i < 7; ++i) {
    // Parts are magnitudes; one the reader would refuse (a negative amount
    // given to a lead time) fails the write instead of the next load.
    if (!fieldbytes::StorableDurationPart(parts[i])) return Fail();
    fieldbytes::Put32(b + 4 * i, static_cast<uint32_t>(parts[i]));
  }
  fieldbytes::Put16(b + 28, static_cast<uint16_t>(value.sign));
  return PutItem(tag, b, sizeof b);
}

bool CFieldBuffer::PutOccurrenceOverride(uint16_t tag, const COccurrenceOverride& value,
                                         const CDateTime& scheduled) {
  uint32_t header = 0;
  if (!BeginNested(tag, &header)) return false;
  PutDateTime(fieldtag::kScheduledDate, scheduled);
  if (value.IsMoved()) {
    PutDateTime(fieldtag::kEnd, value.end);
    PutDateTime(fieldtag::kStart, value.start);
  }
  if (value.Overrides(COccurrenceOverride::kName)) PutString(fieldtag::kName, value.name);
  if (value.Overrides(COccurrenceOverride::kType)) PutString(fieldtag::kType, value.type);
  if (value.Overrides(COccurrenceOverride::kNotes)) PutString(fieldtag::kNotes, value.notes);
  // The URL has a tag of its own, so an occurrence's own address survives
  // a save; readers that predate it skip it.
  if (value.Overrides(COccurrenceOverride::kUrl)) PutString(fieldtag::kUrl, value.url);
  if (value.Overrides(COccurrenceOverride::kAlarm)) {
    PutDuration(fieldtag::kLeadTime, value.leadTime);
    PutShort(fieldtag::kAlarmOn, value.alarmOn ? 1 : 0);
  }
  return EndNested(tag, header);
}

bool CFieldBuffer::PutOccurrenceState(uint16_t tag, const COccurrenceState& value, const CDateTime& date) {
  uint32_t header = 0;
  if (!BeginNested(tag, &header)) return false;
  PutShort(fieldtag::kAcknowledged, value.acknowledged ? 1 : 0);
  PutDateTime(fieldtag::kSnoozeTime, value.snoozeTime);
  PutDateTime(fieldtag::kScheduledDate, date);
  return EndNested(tag, header);
}

bool CFieldBuffer::PutDateRange(uint16_t tag, const CDateRange& value) {
  uint32_t header = 0;
  if (!BeginNested(tag, &header)) return false;
  PutDateTime(fieldtag::kStart, value.start);
  PutDateTime(fieldtag::kEnd, value.end);
  return EndNested(tag, header);
}
