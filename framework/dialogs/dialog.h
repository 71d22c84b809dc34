// CDialog: a dialog from a template (a resource id or a template in
// memory), bound to its object at WM_INITDIALOG.
//
// DoModal runs the dialog on the framework's own modal loop, so messages
// keep their pre-translation and idle processing and thread timers keep
// ticking: the owner is the given parent, else the main window's last
// active pop-up; it is disabled while the dialog runs. It returns the code
// given to EndDialog (any int), or -1 when the dialog could not be created.
// Create makes a modeless dialog (unowned when no owner is given), whose
// EndDialog destroys it. Either first appears centred on its owner
// (first_show_place.h).
//
// OnOK exchanges data (UpdateData(true)) and ends with IDOK only when that
// succeeded; OnCancel ends with IDCANCEL.
#pragma once

#include "framework/dialogs/first_show_place.h"
#include "framework/window.h"

namespace framework {

class CDataExchange;

class CDialog : public CWindow {
 public:
  explicit CDialog(UINT templateId, HWND parent = nullptr);
  explicit CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);

  int DoModal();
  bool Create(HWND owner = nullptr);
  void EndDialog(int code);

  // Moves data between the controls and the members (save = from the
  // controls). False when an exchange failed; the user has been told and
  // the failing control selected.
  bool UpdateData(bool save = true);

  bool PreTranslateMessage(MSG& msg) override;

  // The dialog's help topic: F1 (WM_HELP not handled by the dialog's own
  // map) and ShowHelp ask the application's WinHelp for it; -1, the
  // default, shows nothing.
  void SetHelpContext(int context) { helpContext_ = context; }
  int GetHelpContext() const { return helpContext_; }
  void ShowHelp();

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  // Exchanges data into the controls; TRUE lets the system set the focus.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange& /*dx*/) {}

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Runs one message of a dialog procedure through WindowProc and turns
  // the result into what a dialog procedure answers.
  static INT_PTR DialogMessage(CDialog* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Binds at WM_INITDIALOG (lParam is the object) and dispatches.
  static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HINSTANCE ResourceInstance() const;

  UINT templateId_ = 0;
  const DLGTEMPLATE* template_ = nullptr;
  HWND parent_ = nullptr;

 private:
  HWND CreateFromTemplate(HWND owner);
  void OnOKCommand() { OnOK(); }
  void OnCancelCommand() { OnCancel(); }
  void EnableOwnerAgain();
  bool modal_ = false;
  bool ended_ = false;
  // The owner DoModal disabled, to be enabled again when the dialog ends.
  HWND disabledOwner_ = nullptr;
  int helpContext_ = -1;
  int result_ = 0;
  CFirstShowPlace place_;
};

}  // namespace framework
