// CAboutDlg: dialog 100, "About Almacora", with links to the maker's
// e-mail address and web site.
#pragma once

#include "framework/dialogs/dialog.h"
#include "controls/hyper_link.h"

class CAboutDlg : public framework::CDialog {
 public:
  explicit CAboutDlg(HWND parent = nullptr);

  static constexpr const char* kSalesAddress = "sales@corvelle.example";
  static constexpr const char* kWebSite = "http://www.corvelle.example/";

 protected:
  BOOL OnInitDialog() override;

 private:
  shellcontrols::CHyperLink email_, webSite_;
};
