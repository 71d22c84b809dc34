// COpenCalendarsDlg: dialog 312 "Current Open Calendars", which lets the
// user pick one open calendar (or all of them) for an operation.
//
// Lists, in list order, every calendar in open state 1 by name (after
// "All Calendars" when `offerAll`). The calendar of `initialId` (-1: the
// list's default) is selected; when it is not offered the first entry is,
// and with no entry at all OK is disabled. A non-empty `okCaption` renames
// OK; `prompt` shows above the list. After IDOK `chosen` is the picked
// calendar, null for "All Calendars".
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CCalendarFile;
class CCalendarList;

class COpenCalendarsDlg : public framework::CDialog {
 public:
  explicit COpenCalendarsDlg(const CCalendarList& calendars, HWND parent = nullptr);

  bool offerAll = false;
  int initialId = -1;
  std::string okCaption;
  std::string prompt;
  CCalendarFile* chosen = nullptr;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  const CCalendarList& calendars_;
};
