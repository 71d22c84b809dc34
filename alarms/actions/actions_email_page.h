// CActionsEmail: the "Send Email" page (dialog 118): e-mail on, recipients,
// subject and message templates, Test (sends now; by SMTP on a worker,
// under a progress window) and Setup (the "Email Options" dialog over the
// global transport settings).
#pragma once

#include <memory>
#include <string>

#include "framework/dialogs/property_sheet.h"

class CCalEvent;

namespace alarms {

class CMailTestProgressDlg;

class CActionsEmail : public framework::CPropertyPage {
 public:
  CActionsEmail();
  ~CActionsEmail() override;

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

  std::unique_ptr<CMailTestProgressDlg> progress_;
};

}  // namespace alarms
