// CCalWizAlarm: the calendar wizard's "Alarms" page (348): the ticked
// calendars that are still closed (list 1449, item data their ids), and
// the alarm given to every event of them when Next opens them: "Enable
// Alarms" (1028), the lead time (1029, 0..1000, spin 1119) and its units
// (1276), first the program's defaults for a yearly event.
#pragma once

#include <string>
#include <vector>

#include "storage/calendar_wizard.h"
#include "storage/ui/cal_wiz_page.h"

class CCalWizAlarm : public CCalWizPage {
 public:
  explicit CCalWizAlarm(CCalWizSheet* sheet);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void EnableLead();
  int alarmOn_ = 0;
  UINT leadTime_ = 0;
  std::string units_;
  std::vector<calwizard::Row> calendars_;
};
