// CRecurrenceRule: one recurrence rule (an RRULE or EXRULE) of an event and
// its one question: which is the first occurrence on or after a moment?
//
// The stored part is public: frequency, interval, week start, UNTIL, COUNT,
// a day offset added to every occurrence, and the seven BY lists. The codec,
// the iCalendar converter and the editor fill it directly. Everything else
// is expansion state the rule rebuilds by itself when the stored part or the
// series start changes.
//
// Semantics worth knowing:
//   - The series start always counts as the first occurrence (it is returned
//     for any moment at or before it), whether or not the BY lists select it;
//     under COUNT it is counted once.
//   - The BY lists follow the RRULE model; levels they leave open are taken
//     from the series start (moved back by the offset days): the month and
//     day for yearly rules, the day of month for monthly ones, the weekday
//     for weekly ones, the time of day for daily and coarser ones.
//   - A yearly rule starting on 29 February with no BY lists falls on
//     28 February in common years.
//   - BYWEEKNO counts ISO 8601 weeks of ISO week-years (week 1 may begin in
//     the December before), whatever WKST says: weeks always begin on
//     Monday here, although other iCalendar programs number them from
//     WKST. Deliberate, so stored rules keep the weeks they always had. BYDAY ordinals count within the month for
//     monthly rules and for yearly rules with BYMONTH, else within the year;
//     finer rules ignore them.
//   - Easter rules (frequency 8) give Easter Sunday of every interval-th
//     year at the start's time of day, plus the offset days.
//   - A search looks at most yearSearchLimit years (plus one interval) past
//     the year of the moment asked about; a rule that never matches answers
//     0 after that bounded search.
//   - Hours, minutes and seconds are not stored; the sets below may be
//     filled by callers that build rules in code, and are empty otherwise.
#pragma once

#include <cstdint>
#include <atomic>
#include <memory>
#include <vector>

#include "model/dates/date_time.h"
#include "model/dates/sorted_word_array.h"

namespace rrule {
class Expander;
}

class CRecurrenceRule {
 public:
  enum Frequency : int16_t {
    kUnset = 0,
    kSecondly = 1,
    kMinutely = 2,
    kHourly = 3,
    kDaily = 4,
    kWeekly = 5,
    kMonthly = 6,
    kYearly = 7,
    kEaster = 8,
  };
  // Results of GetNextOccurrence.
  static constexpr int16_t kNone = 0;
  static constexpr int16_t kFound = 1;
  static constexpr int16_t kEnded = 2;

  // ---- Stored fields.
  int16_t frequency = kUnset;
  int32_t interval = 1;
  int32_t weekStart = 1;  // WKST, 1 Monday .. 7 Sunday
  CDateTime until;        // unset when Julian day and seconds are 0
  int32_t count = 0;      // 0 = unset
  int32_t offsetDays = 0;
  std::vector<int16_t> byWeekNo;       // signed ISO weeks
  std::vector<int16_t> byYearDay;      // signed days of the year
  std::vector<int16_t> byMonthDay;     // signed days of the month
  std::vector<int16_t> byDayWeekdays;  // 1..7
  std::vector<int16_t> byDayOrdinals;  // parallel: 0 every, n the n-th, -n n-th from the end
  std::vector<int16_t> bySetPos;       // signed positions in one period
  std::vector<int16_t> byMonth;        // 1..12
  // The yearly rule (CZoneRule text, model/dates/zone_rule.h) of the zone
  // of a named-zone series start: the series then keeps its wall-clock time
  // and weekdays in that zone. Empty, unreadable, or with any other start:
  // a named-zone series runs on UTC.
  std::string zone;
  // The wall-clock time (floating, on the zone's clock) at which a
  // named-zone series start was written, kept only where the zone reads the
  // start's moment otherwise: a time in the hour skipped by a change
  // forward, whose moment reads an hour later. Its first occurrence is that
  // moment; the later ones fall at the written time. Heeded only while the
  // zone gives it the series start's moment (a moved start drops it).
  CDateTime writtenStart;

  // ---- Not stored.
  // 1: the series start always counts as the first occurrence. The program
  // never clears it.
  int16_t startIsOccurrence = 1;
  // Years past the year asked about that a search may look (plus the span
  // of one interval). 10 in every rule.
  int32_t yearSearchLimit = 10;
  // BYMONTH / BYDAY were filled by defaults, not by the user. This engine
  // never fills the stored lists itself; the flags are kept for callers
  // that mark lists they filled, and ResetExpansion empties such lists.
  int16_t byMonthAutoFilled = 0;
  int16_t byDayAutoFilled = 0;
  // Allowed hours, minutes and seconds; empty: taken from the series start
  // (or every value for the finer frequencies).
  CSortedWordArray hours, minutes, seconds;

  // A rule of no frequency, interval 1, week start Monday, no limits, over
  // the given series start (not owned; may be null until set).
  explicit CRecurrenceRule(const CDateTime* seriesStart = nullptr);
  virtual ~CRecurrenceRule();
  CRecurrenceRule(const CRecurrenceRule&) = delete;
  // Copies the stored fields, both flags, the limit and the filled flags;
  // keeps this rule's own series start; drops all expansion state (and the
  // hour, minute and second sets).
  CRecurrenceRule& operator=(const CRecurrenceRule& other);

  void SetSeriesStart(const CDateTime* seriesStart) { seriesStart_ = seriesStart; }
  const CDateTime* GetSeriesStart() const { return seriesStart_; }

  // COUNT 0, offset 0, UNTIL unset; empties the seven BY lists and the hour,
  // minute and second sets; drops the cached occurrences. Frequency,
  // interval and week start stay.
  void Clear();
  // Appends a BYDAY entry: every such weekday, or the ordinal-th.
  void AddByDay(int weekday);
  void AddByDayOrdinal(int weekday, int ordinal);
  // Before the rule is shown or edited: drops the cached occurrences,
  // empties BYDAY / BYMONTH when they are marked as filled by defaults
  // (clearing the marks) and empties the hour, minute and second sets.
  void ResetExpansion();

  bool IsUntilSet() const { return until.GetRawJulianDay() != 0 || until.GetRawSecondsOfDay() != 0; }

  // Replaces `date` by the first occurrence on or after it, in the zone
  // kind `date` had. Returns
  //   kFound (1) - found;
  //   kNone (0)  - no further occurrence within the search limit, or the
  //                rule cannot produce any (no series start, frequency
  //                unset or unknown, interval below 1, impossible BY
  //                values); `date` is left alone;
  //   kEnded (2) - `date` lies past the series' end: after UNTIL, or after
  //                the COUNT-th occurrence; `date` is left alone.
  // UNTIL is inclusive. Two threads may ask at once (the caches are
  // guarded); changing the stored fields while another thread asks is not
  // safe.
  int16_t GetNextOccurrence(CDateTime& date);

  // Keeps `wall` as writtenStart when it is such a written time of the
  // series start (see above), else empties writtenStart.
  void SetWrittenStart(const CDateTime& wall);
  // The series start on its zone's wall clock (floating): the written time
  // where it is kept, else the zone's reading of the start. Empty when the
  // series does not run on a zone's clock (no zone rule, or a start that is
  // not a named-zone time of day).
  CDateTime StartAsWritten() const;

  // Anything beyond what the simple editor shows: COUNT, UNTIL, an offset,
  // BYMONTHDAY, BYSETPOS, BYWEEKNO, BYYEARDAY, a BYMONTH not filled by
  // defaults, any BYDAY entry.
  bool HasAdvancedCriteria() const;

 private:
  struct Compiled;

  // Rebuilds the expansion state when the stored fields or the series start
  // changed since it was built. False when nothing can match.
  bool Prepare(Compiled& c);
  bool IsPrepared(const Compiled& c) const;
  int64_t ToStartClock(const Compiled& c, const CDateTime& value) const;
  CDateTime FromStartClock(const Compiled& c, int64_t moment, const CDateTime& like) const;
  int16_t NextCounted(Compiled& c, int64_t from, int64_t* found);
  // GetNextOccurrence on the given expansion state.
  int16_t Answer(Compiled& c, CDateTime& date);

  const CDateTime* seriesStart_ = nullptr;
  // A question is using compiled_; a question asked meanwhile uses state of
  // its own.
  std::atomic<bool> busy_{false};
  std::unique_ptr<Compiled> compiled_;
};
