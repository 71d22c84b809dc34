// CWizardAlarm: the wizard's third page (dialog 214): the reminder (alarm
// on, lead time and units, sound file) and the days of upcoming status.
#pragma once

#include <windows.h>

#include "framework/dialogs/property_sheet.h"

namespace dialogs {

class CEventWizard;

class CWizardAlarm : public framework::CPropertyPage {
 public:
  explicit CWizardAlarm(CEventWizard* wizard);
  ~CWizardAlarm() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  BOOL OnWizardFinish() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnEnabled();
  void OnSound();
  void EnableLead();
  LRESULT OnHelp(WPARAM, LPARAM);
  CEventWizard* wizard_;
  bool activated_ = false;
  HBITMAP soundPicture_ = nullptr;
};

}  // namespace dialogs
