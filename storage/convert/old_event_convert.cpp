// A 2.00 record (or a widened 1.2 record) into an event.
#include <memory>

#include "model/events/cal_event.h"
#include "model/events/field_buffer_bytes.h"
#include "storage/convert/old_event_records.h"

namespace {

// Old files store full years; a two-digit one is read as the model reads
// it (1900 + year), so leap-year tests agree with the date made from it.
int FullYear(int year) { return year >= 0 && year <= 99 ? year + 1900 : year; }

bool Storable(const CDateTime& date) {
  return date.GetRawJulianDay() > 0 && date.GetRawJulianDay() <= fieldbytes::kLastJulianDay;
}

void AddMonths(CRecurrenceRule* rule, int mask) {
  for (int month = 1; month <= 12; ++month)
    if (mask & (1 << (month - 1))) rule->byMonth.push_back(static_cast<int16_t>(month));
}

// Positions of the week-positions mask: bits 0..3 first..fourth, bit 4
// last (-1), bit 5 fifth.
int PositionOfBit(int bit) { return bit == 4 ? -1 : bit == 5 ? 5 : bit + 1; }

void ConvertYearly(const OldEventRecord& r, int thisYear, CCalEvent* e) {
  e->recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
  if (!r.noOriginalYear) {
    e->calculateAge = 1;
    e->start = CDateTime(r.day, r.month, r.year);
    return;
  }
  e->calculateAge = 0;
  int year = FullYear(r.nextDay > 0 ? r.nextYear : thisYear);
  if (r.month == 2 && r.day == 29)
    while (!IsLeapYear(year)) --year;  // at most seven steps
  e->start = CDateTime(r.day, r.month, year);
}

void ConvertMonthly(const OldEventRecord& r, const CDateTime& today, CCalEvent* e) {
  CRecurrenceRule* rule = e->recurrence.GetRule();
  rule->frequency = CRecurrenceRule::kMonthly;
  if (r.day == 0) rule->byMonthDay.push_back(-1);
  AddMonths(rule, r.monthsMask);
  if (r.nextDay > 0) {
    e->start = CDateTime(r.nextDay, r.nextMonth, r.nextYear);
    return;
  }
  int month = today.GetMonth();
  int year = today.GetYear();
  if (r.day == 0) {
    // The last day: the current month's, which always exists.
    e->start = CDateTime(DaysInMonth(month, year), month, year);
    return;
  }
  // Back one month at a time to a month that has the day (day <= 31, so
  // a month of 31 days is never more than two steps away).
  while (!IsValidDate(month, r.day, year)) {
    if (--month == 0) {
      month = 12;
      --year;
    }
  }
  e->start = CDateTime(r.day, month, year);
}

void ConvertAdvanced(const OldEventRecord& r, const CDateTime& today, CCalEvent* e) {
  CRecurrenceRule* rule = e->recurrence.GetRule();
  rule->frequency = CRecurrenceRule::kMonthly;
  rule->byMonthDay.push_back(-1);
  for (int day = 1; day <= 31; ++day) rule->byMonthDay.push_back(static_cast<int16_t>(day));
  AddMonths(rule, r.monthsMask);
  for (int bit = 0; bit < 6; ++bit) {
    if (r.weekPositions != 63 && !(r.weekPositions & (1 << bit))) continue;
    for (int weekday = 1; weekday <= 7; ++weekday) {
      if (!(r.weekdays & (1 << (weekday - 1)))) continue;
      if (r.weekPositions == 63) rule->AddByDay(weekday);
      else rule->AddByDayOrdinal(weekday, PositionOfBit(bit));
    }
    if (r.weekPositions == 63) break;
  }
  if (r.lastYear != -1 && r.lastYear > 0 && FullYear(r.lastYear) <= 9999) {
    rule->until = CDateTime(31, 12, FullYear(r.lastYear));
    rule->until.SetTime(23, 59, 59);
  }
  if (r.nextDay > 0) {
    e->start = CDateTime(r.nextDay, r.nextMonth, r.nextYear);
    e->nextOccurrence = e->start;
    e->hasNext = 1;
    return;
  }
  e->start = today;
  CDateTime found = today;
  // For this one search the start is not an occurrence by itself, and the
  // search may look a century ahead.
  const int16_t savedStart = rule->startIsOccurrence;
  const int32_t savedLimit = rule->yearSearchLimit;
  rule->startIsOccurrence = 0;
  rule->yearSearchLimit = 100;
  const int16_t rc = rule->GetNextOccurrence(found);
  rule->startIsOccurrence = savedStart;
  rule->yearSearchLimit = savedLimit;
  if (rc == CRecurrenceRule::kFound) {
    e->start = found;
    e->nextOccurrence = found;
    e->hasNext = 1;
  } else {
    e->hasNext = 0;
  }
}

}  // namespace

std::unique_ptr<CCalEvent> ConvertVersion2Record(const OldEventRecord& r, const CDateTime& today) {
  if (r.month < 1 || r.month > 12 || r.day < 0 || r.day > 31) return nullptr;
  auto e = std::make_unique<CCalEvent>();
  e->recurrence.DeleteRule();
  e->calculateAge = 0;
  const bool oneTime = r.oneTime == 1 || !(r.advanced || r.yearly || r.monthly || r.weekly);
  if (oneTime) {
    e->oneTime = 1;
    e->start = CDateTime(r.day, r.month, r.year);
  } else {
    e->oneTime = 0;
    if (r.advanced) {
      ConvertAdvanced(r, today, e.get());
    } else if (r.yearly) {
      ConvertYearly(r, today.GetYear(), e.get());
    } else if (r.monthly) {
      ConvertMonthly(r, today, e.get());
    } else {
      CRecurrenceRule* rule = e->recurrence.GetRule();
      rule->frequency = CRecurrenceRule::kWeekly;
      rule->interval = r.interval < 1 ? 1 : r.interval;
      e->start = CDateTime(r.day, r.month, r.year);
    }
  }
  if (!Storable(e->start)) return nullptr;

  e->alarmOn = r.alarmOn ? 1 : 0;
  e->leadTime.Clear();
  e->leadTime.sign = 1;
  e->leadTime.minutes = r.leadMinutes > 0 ? r.leadMinutes : 0;
  e->daysPrior = r.daysPrior;
  e->name = r.name;
  e->type = r.type;
  e->notes = r.notes;
  e->alarmSuppressed = r.alarmSuppressed ? 1 : 0;
  e->showEnd = 0;

  if (oneTime || !r.advanced) {
    const CDateTime stored = r.nextDay > 0 ? CDateTime(r.nextDay, r.nextMonth, r.nextYear) : CDateTime();
    if (r.nextDay == -1) {
      e->nextOccurrence = CDateTime();
      e->hasNext = 0;
    } else if (Storable(stored)) {
      e->nextOccurrence = stored;
      e->hasNext = 1;
    } else {
      CDateTime from;
      e->GetNextOccurrenceFrom(from, true);
    }
  }
  if (r.timeOfDay >= 0 && r.timeOfDay < 24 * 60) {
    e->start.SetSecondsOfDay(r.timeOfDay * 60);
    if (!e->nextOccurrence.IsEmpty()) e->nextOccurrence.SetSecondsOfDay(r.timeOfDay * 60);
    e->allDay = 0;
  } else {
    e->allDay = 1;
  }
  e->end = e->start;
  if (!Storable(e->nextOccurrence)) e->nextOccurrence = CDateTime();
  return e;
}
