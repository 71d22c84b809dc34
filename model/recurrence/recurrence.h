// CRecurrence: an event's recurrence set - a rule (RRULE), an optional
// exclusion rule (EXRULE), added occurrences (RDATE) and excluded dates
// (EXDATE) - with the length of one occurrence. Its one computation,
// NextInstance, gives the first instance on or after a moment as a start and
// an end. Every occurrence computation of an event goes through it.
//
// The series start always is an instance (unless excluded); a moment at or
// before it yields it, without looking at the rule or the added dates.
#pragma once

#include <cstdint>
#include <memory>

#include "model/dates/date_range.h"
#include "model/dates/date_range_set.h"
#include "model/dates/date_time.h"
#include "model/dates/date_time_set.h"
#include "model/dates/duration.h"
#include "model/recurrence/recurrence_rule.h"

class CRecurrence {
 public:
  static constexpr int16_t kNone = CRecurrenceRule::kNone;
  static constexpr int16_t kFound = CRecurrenceRule::kFound;
  static constexpr int16_t kEnded = CRecurrenceRule::kEnded;

  // Length of one occurrence (event end minus start).
  CDuration occurrenceLength;
  // RDATE: added occurrences in start order; an end of Julian day 0 means
  // the entry has no end of its own. A lookup before the first entry finds
  // the first entry.
  CDateRangeSet addedDates;
  // EXDATE: excluded occurrence starts. A lookup before the first entry
  // finds the first entry.
  CDateTimeSet excludedDates;

  // An empty set over the given series start (the event's start; not
  // owned).
  explicit CRecurrence(const CDateTime* seriesStart = nullptr);
  virtual ~CRecurrence();
  CRecurrence(const CRecurrence&) = delete;
  // Copies the length, both lists and both rules (the copies run over this
  // set's own series start).
  CRecurrence& operator=(const CRecurrence& other);

  // Points this set and its rules at another series start.
  void SetSeriesStart(const CDateTime* seriesStart);
  const CDateTime* GetSeriesStart() const { return seriesStart_; }

  // The RRULE, created (over this set's series start) when there is none.
  CRecurrenceRule* GetRule();
  // The RRULE or nullptr; never creates one.
  CRecurrenceRule* FindRule() const { return rule_.get(); }
  // Deletes the RRULE; the set has none until the next GetRule.
  void DeleteRule();

  // The EXRULE, created when there is none. An exclusion rule excludes only
  // what its own BY lists select: unlike an RRULE, it does not take the
  // series start as its first occurrence (else every exclusion rule would
  // exclude the series start).
  CRecurrenceRule* GetExclusionRule();
  CRecurrenceRule* FindExclusionRule() const { return exclusionRule_.get(); }
  void DeleteExclusionRule();

  // In: range.start is the moment to search from. Out: range holds the
  // instance's start and end (the end of an added date's own range, else
  // start + occurrenceLength). Returns
  //   kFound (1) - found;
  //   kNone (0) / kEnded (2) - nothing left: the RRULE's own answer when
  //     neither the RRULE nor an added date gives a candidate (kEnded when
  //     there is no RRULE), or kNone when a run of excluded candidates goes
  //     on beyond the search horizon; range is then left alone except that
  //     its end is cleared.
  // A set without a series start answers kNone.
  int16_t NextInstance(CDateRange& range);

 private:
  bool IsExcluded(const CDateTime& candidate);

  const CDateTime* seriesStart_ = nullptr;
  std::unique_ptr<CRecurrenceRule> rule_;
  std::unique_ptr<CRecurrenceRule> exclusionRule_;
};
