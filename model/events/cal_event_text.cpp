// CCalEvent: the display texts of one occurrence.
#include "model/events/cal_event.h"

#include <cstdio>

#include "platform/date_format.h"

namespace {

std::string Number(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", value);
  return buf;
}

platform::CivilTime LocalCivil(const CDateTime& value) {
  platform::CivilTime c;
  value.GetCivilTime(&c, CDateTime::kAsLocal);
  return c;
}

}  // namespace

void CCalEvent::GetTextFields(EventTextFields& fields, const CDateTime& date) {
  fields.name = GetOccurrenceName(date);
  fields.type = GetOccurrenceType(date);
  // Dates and times are those the occurrence actually has (a moved one's
  // moved times); the identity stays the scheduled date.
  const CDateRange range = GetOccurrenceRange(date);
  const platform::CivilTime startLocal = LocalCivil(range.start);
  fields.startDate = hasNext ? platform::FormatShortDate(startLocal) : "n/a";
  if (fields.startDate.size() > 19) fields.startDate.resize(19);
  fields.dayName = platform::FormatAbbreviatedDayName(startLocal);
  fields.startTime = allDay ? std::string() : platform::FormatTimeNoSeconds(startLocal);
  fields.endDate.clear();
  fields.endTime.clear();
  if (showEnd) {
    const platform::CivilTime endLocal = LocalCivil(range.end.IsEmpty() ? range.start : range.end);
    fields.endDate = hasNext ? platform::FormatShortDate(endLocal) : "n/a";
    if (fields.endDate.size() > 19) fields.endDate.resize(19);
    fields.endTime = allDay ? std::string() : platform::FormatTimeNoSeconds(endLocal);
  }
  if (calculateAge) {
    age = range.start.GetYear(CDateTime::kAsLocal) - start.GetYear(CDateTime::kAsLocal);
    fields.age = Number(age);
  } else {
    fields.age.clear();
  }
  if (!hasNext) {
    fields.daysLeft = "n/a";
  } else {
    int32_t days = range.start.GetJulianDay(CDateTime::kAsLocal) - CDateTime::Today().GetRawJulianDay();
    fields.daysLeft = days == 0 ? "Today!!" : Number(days);
  }
  fields.hasNotes = GetOccurrenceNotes(date).empty() ? 0 : 1;
  fields.alarmOn = GetOccurrenceAlarmEnabled(date) ? 1 : 0;
  fields.snoozed = IsOccurrenceSnoozed(date) ? 1 : 0;
  fields.acknowledged = acknowledged ? 1 : 0;
}
