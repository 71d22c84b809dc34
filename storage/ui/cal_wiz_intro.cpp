#include "storage/ui/cal_wiz_intro.h"

#include <prsht.h>

#include "res/resource.h"
#include "storage/ui/cal_wiz_sheet.h"

CCalWizIntro::CCalWizIntro(CCalWizSheet* sheet) : CCalWizPage(IDD_CALWIZ_INTRO, sheet) {}

BOOL CCalWizIntro::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_NEXT);
  return TRUE;
}
