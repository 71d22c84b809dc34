// CDateTimeSet: the date list as used for a recurrence's excluded dates, an
// event's moved-occurrence dates and its due alarm dates. Same operations as
// CDateTimeList.
#pragma once

#include "model/dates/date_time_list.h"

class CDateTimeSet : public CDateTimeList {
 public:
  CDateTimeSet() = default;
  CDateTimeSet(const CDateTimeSet&) = default;
  CDateTimeSet& operator=(const CDateTimeSet&) = default;
  ~CDateTimeSet() override = default;
};
