// COptionsPage: what the pages of the Options sheet share. Each page has
// a fixed help topic that its Help button (3) and F1 show, and copies the
// settings into its members when first shown (OnInitDialog) and back on
// the sheet's OK (OnOK); a page never shown is never touched.
#pragma once

#include <string>

#include "framework/dialogs/property_sheet.h"

namespace options {

class COptionsPage : public framework::CPropertyPage {
 public:
  COptionsPage(UINT templateId, DWORD helpContext) : CPropertyPage(templateId), helpContext_(helpContext) {}

  DWORD HelpContext() const { return helpContext_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  // Check box state as 0/1 and back.
  int Checked(int id) const;
  void SetChecked(int id, int on);
  // Shows or hides and enables or disables a control together.
  void ShowItem(int id, bool show);
  void EnableItem(int id, bool enable);
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);

 private:
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  DWORD helpContext_;
};

}  // namespace options
