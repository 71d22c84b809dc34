#include "shell/core/cal_page.h"

#include <algorithm>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "shell/core/cal_geometry.h"

namespace {
// Julian day and seconds of a value on the same basis as another's.
bool After(const CDateTime& a, const CDateTime& b) {
  int32_t da, sa, db, sb;
  a.GetComparableParts(b, &da, &sa, &db, &sb);
  return da != db ? da > db : sa > sb;
}
int32_t LocalDay(const CDateTime& v) { return v.GetJulianDay(CDateTime::kAsLocal); }
}  // namespace

CCalPage::CCalPage() : m_start(CDateTime::Today()) {}

CCalPage::~CCalPage() = default;

void CCalPage::Clear() {
  for (DayList& list : m_days) list.clear();
}

int CCalPage::SlotOf(const CDateTime& day) const {
  if (day.IsEmpty()) return -1;
  if (m_mode == kWeek) return calgeom::WeekSlotOf(day, g_Settings.CalendarStartDay);
  return day.GetDay(CDateTime::kAsLocal);
}

const CCalPage::DayList* CCalPage::LookupDay(int slot) const {
  if (slot < 0 || slot >= kSlotCount || m_days[slot].empty()) return nullptr;
  return &m_days[slot];
}

void CCalPage::AddOccurrence(const CDateTime& day, const COccurrenceRef& ref) {
  int slot = SlotOf(day);
  if (slot < 0 || slot >= kSlotCount) return;
  DayList& list = m_days[slot];
  auto at = std::find_if(list.begin(), list.end(), [&](const COccurrenceRef& e) { return !e.IsBefore(ref); });
  list.insert(at, ref);
}

void CCalPage::Append(int32_t julianDay, const COccurrenceRef& ref) {
  int slot = SlotOf(CDateTime(julianDay, CDateTime::kFloating));
  if (slot >= 0 && slot < kSlotCount) m_days[slot].push_back(ref);
}

std::string CCalPage::GetDayText(const CDateTime& day) const {
  std::string out;
  const DayList* list = LookupDate(day);
  if (!list) return out;
  for (const COccurrenceRef& ref : *list) {
    std::string label;
    int continues = 0;
    ref.GetDisplayText(label, day, &continues);
    if (!out.empty()) out += '\n';
    out += label;
  }
  return out;
}

void CCalPage::Build(const ICalPageSource& source, const CDateTime& start, short mode, const CDateTime& today) {
  m_start = start;
  m_mode = mode;
  Clear();
  if (mode != kMonth && mode != kWeek) return;
  CDateTime from = start;
  CDateTime to = start;
  if (mode == kMonth) {
    to = CDateTime(start.GetDaysInMonth(CDateTime::kAsLocal), start.GetMonth(CDateTime::kAsLocal),
                   start.GetYear(CDateTime::kAsLocal));
  } else {
    to.AddDays(6);
  }
  if (to.IsEmpty()) return;
  to.SetTime(23, 59, 59);
  for (CCalEvent* event : source.GetPageEvents()) {
    if (event) AddEvent(*event, source, from, to, today);
  }
  // Appended in walk order; one stable sort per day gives the insertion
  // order (equal entries: the one added last first) without the quadratic
  // inserts.
  for (DayList& list : m_days) {
    if (list.size() < 2) continue;
    std::reverse(list.begin(), list.end());
    std::stable_sort(list.begin(), list.end(),
                     [](const COccurrenceRef& a, const COccurrenceRef& b) { return a.IsBefore(b); });
  }
}

void CCalPage::AddEvent(CCalEvent& event, const ICalPageSource& source, const CDateTime& from, const CDateTime& to,
                        const CDateTime& today) {
  if (event.disabled || event.deleted || source.IsTypeHidden(event.type)) return;
  const bool showEnd = event.GetShowEnd(event.start);
  CDateTime search = from;
  // An occurrence that began before the page and runs into it is found by
  // starting one occurrence's length earlier.
  if (showEnd) search.SubtractDuration(event.GetOccurrenceLength());
  int16_t result = CCalEvent::kNone;
  if (event.start < search) {
    result = event.GetNextOccurrenceFrom(search, false);
  } else if (event.hasNext) {
    search = event.start;
    result = event.GetNextOccurrenceFrom(search, false);
  }
  const int displayMode = source.GetDisplayMode();
  const int32_t todayDay = LocalDay(today);
  const int32_t fromDay = LocalDay(from);
  const int32_t toDay = LocalDay(to);
  while (result == CCalEvent::kFound) {
    // `search` is the scheduled date: the occurrence's state and name are
    // keyed by it; its actual times may differ when it was moved.
    CDateRange range = event.GetOccurrenceRange(search);
    CDateTime s = range.start;
    CDateTime e = showEnd && !range.end.IsEmpty() ? range.end : s;
    if (After(s, to)) break;
    if (!After(from, e)) {
      const bool acknowledged = event.IsOccurrenceAcknowledged(search);
      bool taken;
      if (acknowledged) {
        taken = g_Settings.ShowAcknowledgedCalendar != 0;
      } else if (displayMode != 0) {
        taken = true;
      } else {
        const uint32_t ahead = static_cast<uint32_t>(LocalDay(s) - todayDay);
        taken = ahead <= static_cast<uint32_t>(std::max<int>(event.daysPrior, 0));
      }
      if (taken) {
        const int32_t first = std::max(LocalDay(s), fromDay);
        const int32_t last = std::min(LocalDay(e), toDay);
        for (int32_t d = first; d <= last; ++d) Append(d, COccurrenceRef(&event, search));
      }
    }
    if (event.oneTime) break;
    const CDateTime before = search;
    search = event.StepPastOccurrence(before);
    result = event.GetNextOccurrenceFrom(search, false);
    // A series that does not move forward would never end the walk.
    if (result == CCalEvent::kFound && !After(event.GetOccurrenceRange(search).start, range.start) &&
        search == before)
      break;
  }
}
