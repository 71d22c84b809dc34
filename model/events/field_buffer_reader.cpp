// The bounds-checked walk over tagged items and the typed reads of one
// item, structured items included (the rule is in rule_codec.cpp).
#include "model/events/field_buffer_reader.h"

#include "model/dates/date_range.h"
#include "model/dates/date_time.h"
#include "model/dates/duration.h"
#include "model/events/field_buffer_bytes.h"
#include "model/events/field_buffer_tags.h"
#include "model/events/occurrence_override.h"
#include "model/events/occurrence_state.h"

bool CFieldReader::Next(FieldItem* item) {
  if (error_) return false;
  const size_t left = size_ - offset_;
  if (left == 0) return false;
  if (left < 4) {
    for (size_t i = offset_; i < size_; ++i) {
      if (data_[i] != 0) {
        error_ = true;
        return false;
      }
    }
    offset_ = size_;
    return false;
  }
  const uint8_t* p = data_ + offset_;
  const uint16_t length = fieldbytes::Get16(p + 2);
  if (length > left - 4) {
    error_ = true;
    return false;
  }
  item->tag = fieldbytes::Get16(p);
  item->length = length;
  item->data = p + 4;
  offset_ += 4 + static_cast<size_t>(length);
  return true;
}

bool CFieldReader::ReadByte(const FieldItem& item, int16_t* value) {
  if (item.length != 1) return false;
  *value = static_cast<int8_t>(item.data[0]);
  return true;
}

bool CFieldReader::ReadShort(const FieldItem& item, int16_t* value) {
  if (item.length != 2) return false;
  *value = static_cast<int16_t>(fieldbytes::Get16(item.data));
  return true;
}

bool CFieldReader::ReadInt(const FieldItem& item, int32_t* value) {
  if (item.length != 4) return false;
  *value = static_cast<int32_t>(fieldbytes::Get32(item.data));
  return true;
}

bool CFieldReader::ReadByteList(const FieldItem& item, std::vector<int16_t>* values) {
  std::vector<int16_t> out;
  out.reserve(item.length);
  for (uint16_t i = 0; i < item.length; ++i) out.push_back(static_cast<int8_t>(item.data[i]));
  values->swap(out);
  return true;
}

bool CFieldReader::ReadWordList(const FieldItem& item, std::vector<int16_t>* values) {
  if (item.length % 2 != 0) return false;
  std::vector<int16_t> out;
  out.reserve(item.length / 2);
  for (uint16_t i = 0; i + 1 < item.length; i += 2)
    out.push_back(static_cast<int16_t>(fieldbytes::Get16(item.data + i)));
  values->swap(out);
  return true;
}

bool CFieldReader::ReadString(const FieldItem& item, std::string* text) {
  if (item.length == 0 || item.data[item.length - 1] != 0) return false;
  *text = reinterpret_cast<const char*>(item.data);  // ends at the first NUL, inside the item
  return true;
}

bool CFieldReader::ReadDateTime(const FieldItem& item, CDateTime* value) {
  if (item.length < 10 || item.data[item.length - 1] != 0) return false;
  const int32_t day = static_cast<int32_t>(fieldbytes::Get32(item.data));
  const int32_t seconds = static_cast<int32_t>(fieldbytes::Get32(item.data + 4));
  const int kind = item.data[8];
  if (!fieldbytes::StorableDateTime(day, seconds, kind)) return false;
  CDateTime v;
  v.SetParts(day, seconds, kind);
  v.SetTzid(reinterpret_cast<const char*>(item.data + 9));
  *value = v;
  return true;
}

bool CFieldReader::ReadDuration(const FieldItem& item, CDuration* value) {
  if (item.length != 30) return false;
  int32_t parts[7];
  for (int i = 0; i < 7; ++i) {
    parts[i] = static_cast<int32_t>(fieldbytes::Get32(item.data + 4 * i));
    if (!fieldbytes::StorableDurationPart(parts[i])) return false;
  }
  CDuration d;
  d.years = parts[0];
  d.months = parts[1];
  d.weeks = parts[2];
  d.days = parts[3];
  d.hours = parts[4];
  d.minutes = parts[5];
  d.seconds = parts[6];
  d.sign = static_cast<int16_t>(fieldbytes::Get16(item.data + 28));
  *value = d;
  return true;
}

namespace {

// Walks the items nested in `item`, handing each to readField, which
// answers false for a malformed one. False when any item failed or the walk
// itself did; the caller then drops everything it gathered.
template <typename ReadField>
bool ReadNestedItems(const FieldItem& item, ReadField readField) {
  CFieldReader r(item);
  FieldItem f;
  while (r.Next(&f)) {
    if (!readField(f)) return false;
  }
  return !r.HasError();
}

}  // namespace

bool CFieldReader::ReadOccurrenceOverride(const FieldItem& item, COccurrenceOverride* value,
                                          CDateTime* scheduled) {
  COccurrenceOverride o;
  CDateTime date;
  bool haveDate = false;
  const bool ok = ReadNestedItems(item, [&](const FieldItem& f) {
    int16_t flag = 0;
    switch (f.tag) {
      case fieldtag::kScheduledDate:
        haveDate = ReadDateTime(f, &date);
        return haveDate;
      case fieldtag::kEnd:
        o.moved = 1;
        return ReadDateTime(f, &o.end);
      case fieldtag::kStart:
        o.moved = 1;
        return ReadDateTime(f, &o.start);
      case fieldtag::kName:
        o.mask |= COccurrenceOverride::kName;
        return ReadString(f, &o.name);
      case fieldtag::kType:
        o.mask |= COccurrenceOverride::kType;
        return ReadString(f, &o.type);
      case fieldtag::kNotes:
        o.mask |= COccurrenceOverride::kNotes;
        return ReadString(f, &o.notes);
      case fieldtag::kUrl:
        o.mask |= COccurrenceOverride::kUrl;
        return ReadString(f, &o.url);
      case fieldtag::kLeadTime:
        o.mask |= COccurrenceOverride::kAlarm;
        return ReadDuration(f, &o.leadTime);
      case fieldtag::kAlarmOn:
        o.mask |= COccurrenceOverride::kAlarm;
        if (!ReadShort(f, &flag)) return false;
        o.alarmOn = flag;
        return true;
      default:
        return true;
    }
  });
  if (!ok || !haveDate) return false;
  *value = o;
  *scheduled = date;
  return true;
}

bool CFieldReader::ReadOccurrenceState(const FieldItem& item, COccurrenceState* value, CDateTime* date) {
  COccurrenceState s;
  CDateTime d;
  bool haveDate = false;
  const bool ok = ReadNestedItems(item, [&](const FieldItem& f) {
    int16_t flag = 0;
    switch (f.tag) {
      case fieldtag::kScheduledDate:
        haveDate = ReadDateTime(f, &d);
        return haveDate;
      case fieldtag::kAcknowledged:
        if (!ReadShort(f, &flag)) return false;
        s.acknowledged = flag;
        return true;
      case fieldtag::kSnoozeTime:
      case fieldtag::kSnoozeTimeOld:
        return ReadDateTime(f, &s.snoozeTime);
      default:
        return true;
    }
  });
  if (!ok || !haveDate) return false;
  *value = s;
  *date = d;
  return true;
}

bool CFieldReader::ReadDateRange(const FieldItem& item, CDateRange* value) {
  CDateRange range;
  bool haveStart = false;
  const bool ok = ReadNestedItems(item, [&](const FieldItem& f) {
    if (f.tag == fieldtag::kStart) {
      haveStart = ReadDateTime(f, &range.start);
      return haveStart;
    }
    if (f.tag == fieldtag::kEnd) return ReadDateTime(f, &range.end);
    return true;
  });
  if (!ok || !haveStart) return false;
  *value = range;
  return true;
}
