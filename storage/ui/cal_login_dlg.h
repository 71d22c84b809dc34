// CCalLoginDlg: dialog 344 "Almacora - Calendar Login", asked when a server
// refuses a calendar's login. It starts with the calendar's user name,
// password and remember flag; without offerRemember the remember box is
// disabled and hidden. IDOK with the three values, IDCANCEL with them as
// they were.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CCalLoginDlg : public framework::CDialog {
 public:
  explicit CCalLoginDlg(HWND parent = nullptr);

  std::string userName;
  std::string password;
  int remember = 1;
  bool offerRemember = true;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
};
