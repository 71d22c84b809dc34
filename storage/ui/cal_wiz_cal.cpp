#include "storage/ui/cal_wiz_cal.h"

#include <commctrl.h>
#include <prsht.h>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/ui/cal_wiz_sheet.h"

CCalWizCal::CCalWizCal(CCalWizSheet* sheet) : CCalWizPage(IDD_CALWIZ_CALENDARS, sheet) {}

BOOL CCalWizCal::OnInitDialog() {
  const BOOL result = CCalWizPage::OnInitDialog();
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client;
  ::GetClientRect(list, &client);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  return result;
}

BOOL CCalWizCal::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  if (wizard_->rowsFilled) return TRUE;
  wizard_->rowsFilled = true;
  CAlmacoraDoc& doc = wizard_->doc();
  wizard_->rows = wizard_->firstRun ? calwizard::OfferHolidayCalendars(doc, g_Settings)
                                    : calwizard::OfferListedCalendars(doc.calendars());
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_LIST);
  for (size_t i = 0; i < wizard_->rows.size(); ++i) {
    const calwizard::Row& row = wizard_->rows[i];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(row.name.c_str());
    item.lParam = row.calendarId;
    const int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    ListView_SetCheckState(list, at, row.ticked ? TRUE : FALSE);
  }
  if (!wizard_->rows.empty()) ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ::CheckDlgButton(GetSafeHwnd(), IDC_CALWIZ_REFRESH, wizard_->refreshOverInternet ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CCalWizCal::ReadChoices() {
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_CALWIZ_LIST);
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    if (!::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) continue;
    for (calwizard::Row& row : wizard_->rows)
      if (row.calendarId == static_cast<int>(item.lParam)) row.ticked = ListView_GetCheckState(list, i) != 0;
  }
  wizard_->refreshOverInternet = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_CALWIZ_REFRESH) == BST_CHECKED;
}

BOOL CCalWizCal::OnKillActive() {
  ReadChoices();
  return TRUE;
}

LRESULT CCalWizCal::OnWizardNext() {
  ReadChoices();
  return wizard_->AlarmStepDue() ? 0 : IDD_CALWIZ_SKYLEDGER;
}
