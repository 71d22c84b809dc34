// CDateRangeSet: the range list as used for a recurrence's added dates (each
// an occurrence start with an optional own end). Same operations as
// CDateRangeList.
#pragma once

#include "model/dates/date_range_list.h"

class CDateRangeSet : public CDateRangeList {
 public:
  CDateRangeSet() = default;
  CDateRangeSet(const CDateRangeSet&) = default;
  CDateRangeSet& operator=(const CDateRangeSet&) = default;
  ~CDateRangeSet() override = default;
};
