// CWizardPage1: the wizard's first page (dialog 211): the kind of event
// ("Birthday", "Anniversary") and, optionally, the calendar it goes to.
#pragma once

#include <string>

#include "framework/dialogs/property_sheet.h"

namespace dialogs {

class CEventWizard;

class CWizardPage1 : public framework::CPropertyPage {
 public:
  explicit CWizardPage1(CEventWizard* wizard);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnSelectCalendar();
  LRESULT OnHelp(WPARAM, LPARAM);
  CEventWizard* wizard_;
  std::string kind_;
};

}  // namespace dialogs
