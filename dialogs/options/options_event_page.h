// COptionsEvents: the "Event" page (dialog 194, help 30): the defaults of
// new events per recurrence type (days prior, alarm lead time and units),
// the default recurrence type and time, all day, end date, alarm, and the
// default calendar of new events.
#pragma once

#include <string>

#include "dialogs/options/options_page.h"

namespace options {

class COptionsEvents : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 30;
  static constexpr int kRows = 5;  // one time, daily, weekly, monthly, yearly
  COptionsEvents();

  short daysPrior[kRows] = {};
  int leadTime[kRows] = {};
  int unitsIndex[kRows] = {};  // -1: a stored text the list does not hold
  int notifyIndex = -1;
  int allDay = 0, showEndDate = 0, alarmEnabled = 0;
  int eventSeconds = 0;        // seconds since midnight
  int defaultCalendarId = -1;  // the calendar new events go to

  void OnOK() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnDefaultCalendar();
  HWND timePicker_ = nullptr;
};

}  // namespace options
