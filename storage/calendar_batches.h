// The batches of a bulk change over events of several calendars: each
// calendar's batch (CCalendarFile::BeginBatch) begins when the change
// first reaches one of its events, and all end together.
#pragma once

#include <algorithm>
#include <vector>

#include "storage/calendar_file.h"

class CalendarBatches {
 public:
  CalendarBatches() = default;
  ~CalendarBatches() { End(); }
  CalendarBatches(const CalendarBatches&) = delete;
  CalendarBatches& operator=(const CalendarBatches&) = delete;

  void Join(CCalendarFile* calendar) {
    if (calendar == nullptr || std::find(begun_.begin(), begun_.end(), calendar) != begun_.end()) return;
    calendar->BeginBatch();
    begun_.push_back(calendar);
  }
  // Ends every batch begun: false when an end failed (reported).
  bool End() {
    bool ok = true;
    for (CCalendarFile* calendar : begun_) ok = calendar->EndBatch() != 0 && ok;
    begun_.clear();
    return ok;
  }

 private:
  std::vector<CCalendarFile*> begun_;
};
