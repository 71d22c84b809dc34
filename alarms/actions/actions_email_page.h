// CActionsEmail: the "Send Email" page (dialog 118): e-mail on, recipients,
// subject and message templates, Test (sends now) and Setup (the "Email
// Options" dialog over the global transport settings).
#pragma once

#include <string>

#include "framework/dialogs/property_sheet.h"

class CCalEvent;

namespace alarms {

class CActionsEmail : public framework::CPropertyPage {
 public:
  CActionsEmail();

  std::string message, subject, recipients;
  int enabled = 0;
  CCalEvent* event = nullptr;

  void OnOK() override;
  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void UpdateEnabled();
  void OnTest();
  void OnSetup();
};

}  // namespace alarms
