// Property sheets over the system's PropertySheet. A page's window is made
// only when the page is first shown; pages bind at WM_INITDIALOG, the sheet
// at PSCB_INITIALIZED (by subclassing, its own procedure kept).
//
// OK first asks the active page's OnKillActive (FALSE keeps the sheet open
// on that page), then calls OnOK of every page whose window was made, in
// page order; pages never shown are not touched. Cancel calls OnCancel of
// the made pages. F1 (WM_HELP) anywhere in the sheet goes to the active
// page, whatever has the focus. In wizard mode OnWizardNext / OnWizardBack
// answer 0 for the neighbouring page, -1 to stay, or a page's template id.
// The sheet first appears centred on its owner (first_show_place.h).
#pragma once

#include <string>
#include <vector>

#include "framework/dialogs/dialog.h"

namespace framework {

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  explicit CPropertyPage(UINT templateId, const std::string& caption = std::string());
  explicit CPropertyPage(const DLGTEMPLATE* dialogTemplate, const std::string& caption = std::string());

  CPropertySheet* GetSheet() const { return sheet_; }
  const std::string& GetCaption() const { return caption_; }

  virtual BOOL OnSetActive() { return TRUE; }
  // By default saves the page's data; FALSE keeps the page.
  virtual BOOL OnKillActive() { return UpdateData(true) ? TRUE : FALSE; }
  void OnOK() override {}
  void OnCancel() override {}
  virtual LRESULT OnWizardNext() { return 0; }
  virtual LRESULT OnWizardBack() { return 0; }
  virtual BOOL OnWizardFinish() { return TRUE; }

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  friend class CPropertySheet;
  static INT_PTR CALLBACK StaticPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  CPropertySheet* sheet_ = nullptr;
  std::string caption_;
};

class CPropertySheet : public CWindow {
 public:
  explicit CPropertySheet(const std::string& caption, HWND parent = nullptr, UINT startPage = 0);

  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  CPropertyPage* GetPage(int index) const { return pages_[static_cast<size_t>(index)]; }
  CPropertyPage* GetActivePage() const;
  void SetWizardMode() { wizard_ = true; }
  // PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH combined.
  void SetWizardButtons(DWORD flags);

  // Runs the sheet modally; IDOK after OK or Finish, else IDCANCEL (-1
  // when it could not be shown).
  int DoModal();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);
  CFirstShowPlace place_;
  std::string caption_;
  HWND parent_;
  UINT startPage_;
  bool wizard_ = false;
  bool forwardingHelp_ = false;  // passing WM_HELP to the active page
  std::vector<CPropertyPage*> pages_;
};

}  // namespace framework
