// The bounds-checked walk over tagged items and the typed reads of one
// item, structured items included (the rule is in rule_codec.cpp).
#include "model/field_buffer_reader.h"

#include "model/date_range.h"
#include "model/date_time.h"
#include "model/duration.h"
#include "model/field_buffer_bytes.h"
#include "model/field_buffer_tags.h"
#include "model/occurrence_override.h"
#include "model/occurrence_state.h"

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

bool CFieldReader::ReadOccurrenceOverride(const FieldItem& item, COccurrenceOverride* value,
                                          CDateTime* scheduled) {
  COccurrenceOverride o;
  CDateTime date;
  bool haveDate = false;
  CFieldReader r(item);
  FieldItem f;
  while (r.Next(&f)) {
    bool ok = true;
    int16_t flag = 0;
    switch (f.tag) {
      case fieldtag::kScheduledDate:
        ok = ReadDateTime(f, &date);
        haveDate = ok;
        break;
      case fieldtag::kEnd:
        ok = ReadDateTime(f, &o.end);
        o.moved = 1;
        break;
      case fieldtag::kStart:
        ok = ReadDateTime(f, &o.start);
        o.moved = 1;
        break;
      case fieldtag::kName:
        ok = ReadString(f, &o.name);
        o.mask |= COccurrenceOverride::kName;
        break;
      case fieldtag::kType:
        ok = ReadString(f, &o.type);
        o.mask |= COccurrenceOverride::kType;
        break;
      case fieldtag::kNotes:
        ok = ReadString(f, &o.notes);
        o.mask |= COccurrenceOverride::kNotes;
        break;
      case fieldtag::kUrl:
        ok = ReadString(f, &o.url);
        o.mask |= COccurrenceOverride::kUrl;
        break;
      case fieldtag::kLeadTime:
        ok = ReadDuration(f, &o.leadTime);
        o.mask |= COccurrenceOverride::kAlarm;
        break;
      case fieldtag::kAlarmOn:
        ok = ReadShort(f, &flag);
        o.alarmOn = flag;
        o.mask |= COccurrenceOverride::kAlarm;
        break;
      default:
        break;
    }
    if (!ok) return false;
  }
  if (r.HasError() || !haveDate) return false;
  *value = o;
  *scheduled = date;
  return true;
}

bool CFieldReader::ReadOccurrenceState(const FieldItem& item, COccurrenceState* value, CDateTime* date) {
  COccurrenceState s;
  CDateTime d;
  bool haveDate = false;
  CFieldReader r(item);
  FieldItem f;
  while (r.Next(&f)) {
    bool ok = true;
    int16_t flag = 0;
    switch (f.tag) {
      case fieldtag::kScheduledDate:
        ok = ReadDateTime(f, &d);
        haveDate = ok;
        break;
      case fieldtag::kAcknowledged:
        ok = ReadShort(f, &flag);
        s.acknowledged = flag;
        break;
      case fieldtag::kSnoozeTime:
      case fieldtag::kSnoozeTimeOld:
        ok = ReadDateTime(f, &s.snoozeTime);
        break;
      default:
        break;
    }
    if (!ok) return false;
  }
  if (r.HasError() || !haveDate) return false;
  *value = s;
  *date = d;
  return true;
}

bool CFieldReader::ReadDateRange(const FieldItem& item, CDateRange* value) {
  CDateRange range;
  bool haveStart = false;
  CFieldReader r(item);
  FieldItem f;
  while (r.Next(&f)) {
    bool ok = true;
    if (f.tag == fieldtag::kStart) {
      ok = ReadDateTime(f, &range.start);
      haveStart = ok;
    } else if (f.tag == fieldtag::kEnd) {
      ok = ReadDateTime(f, &range.end);
    }
    if (!ok) return false;
  }
  if (r.HasError() || !haveStart) return false;
  *value = range;
  return true;
}
