// CDateTimeList: an ascending list of date-time values without duplicates,
// ordered and compared by the CDateTime comparison rule (a UTC value and its
// local-time copy are the same entry), with the lookup of the first entry on
// or after a moment. See SortedDateList for the operations.
#pragma once

#include "model/dates/date_time.h"
#include "model/dates/sorted_date_list.h"

struct DateTimeListKey {
  const CDateTime& operator()(const CDateTime& value) const { return value; }
};

class CDateTimeList : public SortedDateList<CDateTime, DateTimeListKey> {
 public:
  CDateTimeList() = default;
  CDateTimeList(const CDateTimeList&) = default;
  CDateTimeList& operator=(const CDateTimeList&) = default;
  virtual ~CDateTimeList() = default;
};
