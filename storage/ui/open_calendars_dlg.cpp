#include "storage/ui/open_calendars_dlg.h"

#include "res/resource.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"

COpenCalendarsDlg::COpenCalendarsDlg(const CCalendarList& calendars, HWND parent)
    : CDialog(IDD_OPEN_CALENDARS, parent), calendars_(calendars) {}

BOOL COpenCalendarsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND list = GetItem(IDC_OPEN_CALENDARS_LIST);
  const int wanted = initialId == -1 ? calendars_.defaultId : initialId;
  int selected = -1;
  if (offerAll) {
    const LRESULT i = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("All Calendars"));
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
  }
  for (CCalendarFile* c : calendars_.items()) {
    if (c->openState != CCalendarFile::kOpen) continue;
    const LRESULT i = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c->name.c_str()));
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(c));
    if (c->listId == wanted && selected < 0) selected = static_cast<int>(i);
  }
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  // An initial calendar that is not offered (closed, a preview, no default)
  // leaves the first entry selected rather than none.
  if (selected < 0 && count > 0) selected = 0;
  ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  if (count == 0) ::EnableWindow(GetItem(IDOK), FALSE);
  if (!okCaption.empty()) ::SetWindowTextA(GetItem(IDOK), okCaption.c_str());
  ::SetWindowTextA(GetItem(IDC_OPEN_CALENDARS_PROMPT), prompt.c_str());
  return TRUE;
}

void COpenCalendarsDlg::OnOK() {
  HWND list = GetItem(IDC_OPEN_CALENDARS_LIST);
  const LRESULT i = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return;
  chosen = reinterpret_cast<CCalendarFile*>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
  CDialog::OnOK();
}
