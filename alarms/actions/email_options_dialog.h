// CEmailOptionsDialog: the modal "Email Options" dialog (dialog 317): Simple
// MAPI with a profile or the shared session, or SMTP with server, port,
// sender and login. It edits only its members; the caller copies the
// settings in and, after OK, back.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CProgramSettings;

namespace alarms {

class CEmailOptionsDialog : public framework::CDialog {
 public:
  explicit CEmailOptionsDialog(HWND parent = nullptr);

  std::string server;
  UINT port = 0;
  std::string fromName, fromAddr;
  int loginMethod = 0;
  std::string password, profile;
  int shared = 0;
  std::string user;
  int transport = 0;  // radio index: 0 Simple MAPI, 1 SMTP

  void CopyFrom(const CProgramSettings& settings);
  void CopyTo(CProgramSettings& settings) const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void UpdateEnabled();
};

}  // namespace alarms
