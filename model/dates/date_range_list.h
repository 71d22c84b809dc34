// CDateRangeList: an ascending list of date ranges, ordered and compared by
// their starts alone (CDateTime comparison rule): a second range with the
// start of an entry is dropped even when its end differs. The lookup of the
// first entry on or after a moment compares starts and copies both ends.
// See SortedDateList for the operations.
#pragma once

#include "model/dates/date_range.h"
#include "model/dates/sorted_date_list.h"

struct DateRangeListKey {
  const CDateTime& operator()(const CDateRange& range) const { return range.start; }
};

class CDateRangeList : public SortedDateList<CDateRange, DateRangeListKey> {
 public:
  CDateRangeList() = default;
  CDateRangeList(const CDateRangeList&) = default;
  CDateRangeList& operator=(const CDateRangeList&) = default;
  virtual ~CDateRangeList() = default;
};
