#include "dialogs/small/select_month_dlg.h"

#include <commctrl.h>

#include "framework/dialogs/data_exchange.h"
#include "res/resource.h"

namespace dialogs {

CSelectMonthDlg::CSelectMonthDlg(HWND parent) : CDialog(IDD_SELECT_MONTH, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CSelectMonthDlg, framework::CDialog)
  framework::OnCommand<&CSelectMonthDlg::OnCurrentMonth>(IDC_SELECT_MONTH_CURRENT),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CSelectMonthDlg::OnInitDialog() {
  HWND h = GetSafeHwnd();
  ::SendDlgItemMessageA(h, IDC_SELECT_MONTH_SPIN, UDM_SETRANGE32, 1753, 9999);
  // Month names in the user's language: day 1 of each month of a fixed year.
  for (WORD m = 1; m <= 12; ++m) {
    SYSTEMTIME st{};
    st.wYear = 1996;
    st.wMonth = m;
    st.wDay = 1;
    char name[64] = "";
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "MMMM", name, sizeof name);
    ::SendDlgItemMessageA(h, IDC_SELECT_MONTH_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  return CDialog::OnInitDialog();
}

void CSelectMonthDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeComboIndex(dx, IDC_SELECT_MONTH_LIST, monthIndex);
  framework::ExchangeText(dx, IDC_SELECT_MONTH_YEAR, year);
  framework::ValidateRange(dx, year, 1753, 9999);
}

void CSelectMonthDlg::OnCurrentMonth() { EndDialog(IDOK); }

}  // namespace dialogs
