// CWizardAnniversary: the wizard's second page (dialog 212): name, type and
// date. Next checks the date ("Invalid date specified..." keeps the page);
// Back keeps what was typed without a check, so a return shows it again.
#pragma once

#include "framework/dialogs/property_sheet.h"

namespace dialogs {

class CEventWizard;

class CWizardAnniversary : public framework::CPropertyPage {
 public:
  explicit CWizardAnniversary(CEventWizard* wizard);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  LRESULT OnHelp(WPARAM, LPARAM);
  CEventWizard* wizard_;
  bool activated_ = false;
};

}  // namespace dialogs
