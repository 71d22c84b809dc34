// CCalWizSkyledger: the calendar wizard's last page (359 "Skyledger
// Calendar Sharing"): two texts and a link to the service's home page.
// Back skips the Alarms page when Select Calendars did.
#pragma once

#include "controls/hyper_link.h"
#include "storage/ui/cal_wiz_page.h"

class CCalWizSkyledger : public CCalWizPage {
 public:
  explicit CCalWizSkyledger(CCalWizSheet* sheet);

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;

 private:
  shellcontrols::CHyperLink link_;
};
