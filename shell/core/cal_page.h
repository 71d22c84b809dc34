// CCalPage: one calendar page, a month or a week, as the occurrences of
// each day in display order. The month and week views fill their cells
// from it, the page painters (shell/calendar/cal_page_painter.h) draw it for
// printing and the clipboard month picture, and the day views build the
// document's own page, which the mini month reads for its bold days.
//
// The page reads the events through ICalPageSource, so it is built and
// tested without the document or a window. It is not updated
// incrementally: its owner rebuilds it after any change of the events,
// the filter, the display mode or the range shown.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"

class CCalEvent;

// What the page needs of the document.
class ICalPageSource {
 public:
  virtual ~ICalPageSource() = default;
  // Every loaded event, in array order.
  virtual const std::vector<CCalEvent*>& GetPageEvents() const = 0;
  // 1 when the type filter hides events of this type.
  virtual int IsTypeHidden(const std::string& type) const = 0;
  // 1 all events, 0 upcoming events only.
  virtual int GetDisplayMode() const = 0;
};

class CCalPage {
 public:
  using DayList = std::vector<COccurrenceRef>;
  static constexpr short kMonth = 0;
  static constexpr short kWeek = 1;
  static constexpr int kSlotCount = 32;

  CCalPage();
  virtual ~CCalPage();

  // Empties the page and fills it with the occurrences between `start`
  // and the end of its month (kMonth: callers pass day 1) or the six days
  // after it (kWeek). Other modes only store start and mode and leave the
  // page empty. `today` decides the upcoming-only display mode.
  void Build(const ICalPageSource& source, const CDateTime& start, short mode, const CDateTime& today);
  void Build(const ICalPageSource& source, const CDateTime& start, short mode) {
    Build(source, start, mode, CDateTime::Today());
  }
  // Leaves every day list empty.
  void Clear();
  // Inserts a reference into the list of `day`'s slot, before the first
  // entry it does not sort after (so of equal entries the one added last
  // comes first).
  void AddOccurrence(const CDateTime& day, const COccurrenceRef& ref);
  // The list of a slot (0..31), or null when the slot is out of range or
  // empty.
  const DayList* LookupDay(int slot) const;
  // The list of `day` by the page's mode (null for an empty day or a day
  // the page cannot hold).
  const DayList* LookupDate(const CDateTime& day) const { return LookupDay(SlotOf(day)); }
  // The labels of the day's occurrences in list order, joined by "\n";
  // empty for a day without occurrences.
  std::string GetDayText(const CDateTime& day) const;

  const CDateTime& GetStart() const { return m_start; }
  short GetMode() const { return m_mode; }
  // Day of month (kMonth) or week slot (kWeek) of a date; -1 for no date.
  int SlotOf(const CDateTime& day) const;

 private:
  void AddEvent(CCalEvent& event, const ICalPageSource& source, const CDateTime& from, const CDateTime& to,
                const CDateTime& today);
  void Append(int32_t julianDay, const COccurrenceRef& ref);

  CDateTime m_start;
  short m_mode = kMonth;
  std::array<DayList, kSlotCount> m_days;
};
