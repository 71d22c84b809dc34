// CDateRange: a start and an optional end. An end of Julian day 0 means the
// range has no end of its own. The default range has both ends empty.
#pragma once

#include "model/dates/date_time.h"

class CDateRange {
 public:
  CDateTime start;
  CDateTime end;

  CDateRange() = default;
  CDateRange(const CDateTime& startValue, const CDateTime& endValue) : start(startValue), end(endValue) {}
  explicit CDateRange(const CDateTime& startValue) : start(startValue) {}

  bool HasEnd() const { return !end.IsEmpty(); }
  // Both ends identical member by member (Julian day, seconds, zone kind,
  // TZID).
  bool IsIdenticalTo(const CDateRange& other) const {
    return start.IsIdenticalTo(other.start) && end.IsIdenticalTo(other.end);
  }
};
