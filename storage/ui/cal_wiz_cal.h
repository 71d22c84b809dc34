// CCalWizCal: the calendar wizard's "Select Calendars" page (347): a
// check list (1449) of calendars, each item carrying its calendar id, and
// "Enable refresh of calendars via the Internet." (1452). The list is
// filled when the page is first shown; Next goes to the Alarms page only
// when a ticked calendar is closed, else straight to the last page.
#pragma once

#include "storage/ui/cal_wiz_page.h"

class CCalWizCal : public CCalWizPage {
 public:
  explicit CCalWizCal(CCalWizSheet* sheet);

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardNext() override;

 private:
  // The list's ticks and the refresh box into the sheet's rows.
  void ReadChoices();
};
