#include "storage/ui/cal_wiz_skyledger.h"

#include <prsht.h>

#include "res/resource.h"
#include "storage/ui/cal_publish_dlg.h"
#include "storage/ui/cal_wiz_sheet.h"

CCalWizSkyledger::CCalWizSkyledger(CCalWizSheet* sheet) : CCalWizPage(IDD_CALWIZ_SKYLEDGER, sheet) {}

BOOL CCalWizSkyledger::OnInitDialog() {
  const BOOL result = CCalWizPage::OnInitDialog();
  if (link_.SubclassDlgItem(IDC_CALWIZ_LINK, GetSafeHwnd())) {
    link_.SetLinkTarget(skyledger::kHomePage);
    link_.Init();
  }
  return result;
}

BOOL CCalWizSkyledger::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  return TRUE;
}

LRESULT CCalWizSkyledger::OnWizardBack() { return wizard_->AlarmStepDue() ? 0 : IDD_CALWIZ_CALENDARS; }
