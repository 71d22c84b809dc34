// CCalSubscribeDlg: dialog 341 "Almacora - Subscribe to Calendar".
//
// Without a calendar it subscribes to (Subscribe) or previews (Preview) the
// address, showing the transfer in its own bar. With a calendar in preview
// it turns that preview into a subscription. With any other calendar
// (SetCalendar) it edits the subscription: address and local file are
// read-only, Subscribe reads "OK" and saves name, login, refresh at start
// and, for a published calendar, its two publishing boxes.
//
// Before Subscribe and Preview: an empty name is made from the address
// (and marked as such), an empty local file from the name; a name or
// address of another listed calendar keeps the dialog open with a box.
// DoModal: IDOK when something was subscribed, previewed, edited or the
// search started; IDCANCEL otherwise (a failed preview also closes).
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CAlmacoraDoc;
class CCalendarFile;

class CCalSubscribeDlg : public framework::CDialog {
 public:
  CCalSubscribeDlg(CAlmacoraDoc& doc, HWND parent = nullptr);

  // The calendar to edit or to subscribe from its preview; copies its
  // values into the members.
  void SetCalendar(CCalendarFile* calendar);

  std::string name;
  std::string address;
  std::string localFile;
  std::string userName;
  std::string password;
  int refreshAtStartup = 0;
  int publishAlarms = 0;
  int publishAuto = 0;
  bool nameFromAddress = false;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  // While the dialog's own transfer runs, Cancel (Escape, the close box)
  // ends the transfer and the dialog stays.
  void OnCancel() override;
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;

 private:
  // Editing a listed subscription (not a preview).
  bool IsEditing() const;
  bool IsPreview() const;
  // The checks before Subscribe and Preview; false keeps the dialog open.
  bool CheckNames();
  void SaveEdit();
  void OnPreview();
  void OnSearch();
  void OnBrowse();
  void OnHelpButton();
  void OnNameChange();
  LRESULT OnHelpKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnSteps(WPARAM wParam, LPARAM lParam);
  LRESULT OnStep(WPARAM wParam, LPARAM lParam);

  CAlmacoraDoc& doc_;
  CCalendarFile* calendar_ = nullptr;
  bool settingName_ = false;  // the dialog itself writes the name
};
