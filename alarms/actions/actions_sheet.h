// CActionsPropertySheet: the modal "Alarm Actions" sheet with its three
// pages (sound, e-mail, run). With SetEvent it edits one event's actions;
// without, the caller fills the pages' members with the program defaults
// before DoModal and reads them back after OK.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "alarms/actions/actions_email_page.h"
#include "alarms/actions/actions_run_page.h"
#include "alarms/actions/actions_sound_page.h"
#include "framework/dialogs/property_sheet.h"

class CCalEvent;

namespace alarms {

class CActionsPropertySheet : public framework::CPropertySheet {
 public:
  CActionsPropertySheet(const std::string& caption, HWND parent, UINT firstPage);
  ~CActionsPropertySheet() override;

  void SetEvent(CCalEvent* event);
  // After OK all program settings are saved (Setup may have changed the
  // e-mail transport). Returns IDOK or IDCANCEL.
  int DoModal();

  CActionsSound soundPage;
  CActionsEmail emailPage;
  CActionsRun runPage;

 private:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  HIMAGELIST images_ = nullptr;
};

}  // namespace alarms
