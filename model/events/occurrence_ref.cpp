// COccurrenceRef: forwarding to the event, colour, order within a day, text
// search and the calendar-cell label.
#include "model/events/occurrence_ref.h"

#include <cstdio>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"

namespace {

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Seconds of day, as local time, of where the occurrence takes place: the
// moved start of a moved occurrence (its label shows that time, so the cell
// must sort by it too), else its scheduled time, which is the event's start
// time. A start without a time of day sorts as 2000 seconds (just after
// half past midnight), as lists have always shown it.
int32_t StartSecondsForOrder(const CCalEvent& event, const CDateTime& scheduled) {
  int32_t s = event.GetOccurrenceRange(scheduled).start.GetSecondsOfDay(CDateTime::kAsLocal);
  return s == CDateTime::kNoTimeOfDay ? 2000 : s;
}

}  // namespace

bool COccurrenceRef::IsAcknowledged() const { return event && event->IsOccurrenceAcknowledged(date); }

bool COccurrenceRef::IsSnoozed() const { return event && event->IsOccurrenceSnoozed(date); }

void COccurrenceRef::GetTextFields(EventTextFields& fields) const {
  if (event) event->GetTextFields(fields, date);
}

std::string COccurrenceRef::GetNotes() const { return event ? event->GetOccurrenceNotes(date) : std::string(); }

uint32_t COccurrenceRef::GetColor() const {
  if (!event) return static_cast<uint32_t>(g_Settings.BlankTypeColor);
  if (g_Settings.UseAcknowledgedColor && IsAcknowledged()) return static_cast<uint32_t>(g_Settings.CalAcknowledgedColor);
  return g_Settings.GetTypeColor(event->GetOccurrenceType(date));
}

bool COccurrenceRef::IsBefore(const COccurrenceRef& other) const {
  if (!event || !other.event) return event == nullptr && other.event != nullptr;
  int32_t a = StartSecondsForOrder(*event, date);
  int32_t b = StartSecondsForOrder(*other.event, other.date);
  if (a != b) return a < b;
  // Byte-wise, as unsigned characters, so multibyte names order the same
  // everywhere.
  return event->GetOccurrenceName(date).compare(other.event->GetOccurrenceName(other.date)) < 0;
}

bool COccurrenceRef::MatchesText(const std::string& text, bool caseSensitive) const {
  if (!event) return false;
  std::string haystack =
      event->GetOccurrenceName(date) + "  " + event->GetOccurrenceType(date) + "  " + event->GetOccurrenceNotes(date);
  if (!caseSensitive) return UpperAscii(haystack).find(UpperAscii(text)) != std::string::npos;
  return haystack.find(text) != std::string::npos;
}

void COccurrenceRef::GetDisplayText(std::string& text, const CDateTime& day, int* continues) const {
  text.clear();
  if (continues) *continues = 0;
  if (!event) return;
  const CDateRange range = event->GetOccurrenceRange(date);
  const int32_t startDay = range.start.GetJulianDay(CDateTime::kAsLocal);
  const int32_t endDay = range.end.IsEmpty() ? startDay : range.end.GetJulianDay(CDateTime::kAsLocal);
  const int32_t shownDay = day.GetJulianDay(CDateTime::kAsLocal);
  const bool allDay = event->IsAllDay(date);
  text = event->GetOccurrenceName(date);
  if (shownDay == startDay) {
    if (!allDay) text = range.start.FormatTime(CDateTime::kAsLocal) + " " + text;
    if (g_Settings.show_age && event->calculateAge) {
      char buf[32];
      std::snprintf(buf, sizeof buf, ", %d yrs",
                    day.GetYear(CDateTime::kAsLocal) - event->start.GetYear(CDateTime::kAsLocal));
      text += buf;
    }
  }
  if (event->GetShowEnd(date)) {
    if (continues) *continues = shownDay != endDay ? 1 : 0;
    if (shownDay == endDay && !allDay && !range.end.IsEmpty()) text += " " + range.end.FormatTime(CDateTime::kAsLocal);
  }
}
