#include "shell/printing/print_settings_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include "dialogs/small/help_hook.h"
#include "dialogs/options/filter_dlg.h"
#include "framework/printing/app_printer.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/printing/cal_print_settings_dlg.h"
#include "shell/core/print_settings_rules.h"
#include "shell/printing/list_print_settings_dlg.h"

using namespace printcore;

bool CPrintSettingsDlg::listAvailable = false;
bool CPrintSettingsDlg::previewAvailable = false;

namespace {
constexpr DWORD kHelpTopic = 46;
constexpr int kRangeControls[] = {IDC_PRINT_RANGE_GROUP, IDC_PRINT_FROM_LABEL, IDC_PRINT_TO_LABEL, IDC_PRINT_FROM,
                                  IDC_PRINT_TO,          IDC_PRINT_THIS_WEEK,  IDC_PRINT_THIS_MONTH,
                                  IDC_PRINT_ACKNOWLEDGED};
}  // namespace

CPrintSettingsDlg::CPrintSettingsDlg(HWND parent) : framework::CDialog(IDD_PRINT_SETTINGS, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CPrintSettingsDlg, framework::CDialog)
  framework::OnControl<&CPrintSettingsDlg::OnTypeChange>(LBN_SELCHANGE, IDC_PRINT_TYPE),
  framework::OnCommand<&CPrintSettingsDlg::OnThisWeek>(IDC_PRINT_THIS_WEEK),
  framework::OnCommand<&CPrintSettingsDlg::OnThisMonth>(IDC_PRINT_THIS_MONTH),
  framework::OnCommand<&CPrintSettingsDlg::OnEditSettings>(IDC_PRINT_EDIT_SETTINGS),
  framework::OnCommand<&CPrintSettingsDlg::OnReportSettings>(IDC_PRINT_SETTINGS),
  framework::OnCommand<&CPrintSettingsDlg::OnFilter>(IDC_PRINT_FILTER),
  framework::OnCommand<&CPrintSettingsDlg::OnHelp>(IDC_PRINT_HELP),
  framework::OnMessage<&CPrintSettingsDlg::OnHelpKey>(WM_HELP),
  framework::OnCommand<&CPrintSettingsDlg::OnPrint>(IDC_PRINT_PRINT),
  framework::OnCommand<&CPrintSettingsDlg::OnPreview>(IDC_PRINT_PREVIEW),
  framework::OnNotify<&CPrintSettingsDlg::OnFromChange>(DTN_DATETIMECHANGE, IDC_PRINT_FROM),
  framework::OnNotify<&CPrintSettingsDlg::OnToChange>(DTN_DATETIMECHANGE, IDC_PRINT_TO),
  framework::OnNotify<&CPrintSettingsDlg::OnDropDown>(DTN_DROPDOWN, IDC_PRINT_FROM),
  framework::OnNotify<&CPrintSettingsDlg::OnDropDown>(DTN_DROPDOWN, IDC_PRINT_TO),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CPrintSettingsDlg::OnInitDialog() {
  HWND dlg = GetSafeHwnd();
  ::CheckDlgButton(dlg, IDC_PRINT_ACKNOWLEDGED, g_Settings.PrintAcknowledgedList ? BST_CHECKED : BST_UNCHECKED);
  for (int type = 0; type < 4; ++type) {
    LRESULT at = ::SendDlgItemMessageA(dlg, IDC_PRINT_TYPE, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(kReportTypeNames[type]));
    ::SendDlgItemMessageA(dlg, IDC_PRINT_TYPE, LB_SETITEMDATA, static_cast<WPARAM>(at), type);
    if (type == type_) ::SendDlgItemMessageA(dlg, IDC_PRINT_TYPE, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  }
  if (type_ != kDateRangeList || from_.IsEmpty()) {
    DateRange month = ThisMonth(CDateTime::Today());
    from_ = month.from;
    to_ = month.to;
  }
  auto placeOf = [dlg](int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dlg, id), &r);
    ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  fromPicker_.CreateDatePicker(dlg, placeOf(IDC_PRINT_FROM_PLACE), IDC_PRINT_FROM);
  toPicker_.CreateDatePicker(dlg, placeOf(IDC_PRINT_TO_PLACE), IDC_PRINT_TO);
  ShowRange();
  ShowType();
  ShowPrinter();
  return framework::CDialog::OnInitDialog();
}

void CPrintSettingsDlg::ShowType() {
  HWND dlg = GetSafeHwnd();
  ::SetDlgItemTextA(dlg, IDC_PRINT_DESCRIPTION, ReportDescription(type_));
  ::SetDlgItemTextA(dlg, IDC_PRINT_SETTINGS, SettingsButtonText(type_));
  const bool range = type_ == kDateRangeList;
  for (int id : kRangeControls) {
    HWND item = ::GetDlgItem(dlg, id);
    ::ShowWindow(item, range ? SW_SHOW : SW_HIDE);
    ::EnableWindow(item, range);
  }
  // The kept orientation of the type goes to the printer now.
  int orientation = IsCalendarType(type_) ? g_Settings.cal_orientation : g_Settings.list_orientation;
  framework::ThePrinter().SetOrientation(orientation);
  ::SetDlgItemTextA(dlg, IDC_PRINT_ORIENTATION, OrientationText(orientation));
  // Lists print and previews open once the event list view and the
  // preview are there to take them.
  ::EnableWindow(::GetDlgItem(dlg, IDC_PRINT_PRINT), type_ != kCurrentList || listAvailable);
  ::EnableWindow(::GetDlgItem(dlg, IDC_PRINT_PREVIEW), previewAvailable);
}

void CPrintSettingsDlg::ShowPrinter() {
  std::string name = framework::ThePrinter().Name();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_PRINT_PRINTER, name.empty() ? "(no printer)" : name.c_str());
}

void CPrintSettingsDlg::ShowRange() {
  fromPicker_.SetDate(from_);
  toPicker_.SetDate(to_);
}

void CPrintSettingsDlg::OnTypeChange() {
  LRESULT sel = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_PRINT_TYPE, LB_GETCURSEL, 0, 0);
  if (sel < 0) return;
  LRESULT type = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_PRINT_TYPE, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0);
  if (type < 0 || type > 3) return;
  type_ = static_cast<int>(type);
  ShowType();
}

void CPrintSettingsDlg::OnThisWeek() {
  DateRange week = ThisWeek(CDateTime::Today(), g_Settings.CalendarStartDay);
  from_ = week.from;
  to_ = week.to;
  ShowRange();
}

void CPrintSettingsDlg::OnThisMonth() {
  DateRange month = ThisMonth(CDateTime::Today());
  from_ = month.from;
  to_ = month.to;
  ShowRange();
}

void CPrintSettingsDlg::OnFromChange(NMHDR*, LRESULT*) {
  CDateTime picked = from_;
  fromPicker_.GetDate(picked);
  DateRange moved = MoveFrom(DateRange{from_, to_}, picked);
  from_ = moved.from;
  to_ = moved.to;
  toPicker_.SetDate(to_);
}

void CPrintSettingsDlg::OnToChange(NMHDR*, LRESULT*) { toPicker_.GetDate(to_); }

void CPrintSettingsDlg::OnDropDown(NMHDR* header, LRESULT*) {
  (header->idFrom == IDC_PRINT_FROM ? fromPicker_ : toPicker_).OnDropDown();
}

void CPrintSettingsDlg::OnEditSettings() {
  framework::CAppPrinter& printer = framework::ThePrinter();
  if (!printer.HasPrinter()) return;
  const bool calendar = IsCalendarType(type_);
  CProgramSettings& s = g_Settings;
  int32_t& left = calendar ? s.cal_margin_left : s.list_margin_left;
  int32_t& top = calendar ? s.cal_margin_top : s.list_margin_top;
  int32_t& right = calendar ? s.cal_margin_right : s.list_margin_right;
  int32_t& bottom = calendar ? s.cal_margin_bottom : s.list_margin_bottom;
  PAGESETUPDLGA psd{};
  psd.lStructSize = sizeof psd;
  psd.hwndOwner = GetSafeHwnd();
  psd.hDevMode = printer.CopyDevMode();
  psd.hDevNames = printer.CopyDevNames();
  psd.Flags = PSD_MARGINS | (s.Metric ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES);
  psd.rtMargin = RECT{left, top, right, bottom};
  if (!::PageSetupDlgA(&psd)) {
    // The dialog may have changed its copies even so: they go.
    framework::CAppPrinter::Discard(psd.hDevMode, psd.hDevNames);
    return;
  }
  printer.Select(psd.hDevMode, psd.hDevNames);
  (calendar ? s.cal_orientation : s.list_orientation) = printer.Orientation() == DMORIENT_LANDSCAPE ? 2 : 1;
  left = psd.rtMargin.left;
  top = psd.rtMargin.top;
  right = psd.rtMargin.right;
  bottom = psd.rtMargin.bottom;
  s.SaveSettings();
  ShowType();
  ShowPrinter();
}

void CPrintSettingsDlg::OnReportSettings() {
  if (IsCalendarType(type_)) {
    CCalendarPrintSettingsDlg dlg(GetSafeHwnd());
    dlg.DoModal();
  } else {
    CListPrintSettingsDlg dlg(GetSafeHwnd());
    dlg.DoModal();
  }
}

void CPrintSettingsDlg::OnFilter() { options::RunFilterDialog(GetSafeHwnd()); }

void CPrintSettingsDlg::OnHelp() { dialogs::ShowHelpTopic(kHelpTopic); }

LRESULT CPrintSettingsDlg::OnHelpKey(WPARAM, LPARAM) {
  OnHelp();
  return TRUE;
}

void CPrintSettingsDlg::OnOK() {
  g_Settings.PrintAcknowledgedList =
      ::IsDlgButtonChecked(GetSafeHwnd(), IDC_PRINT_ACKNOWLEDGED) == BST_CHECKED ? 1 : 0;
  framework::CDialog::OnOK();
}

void CPrintSettingsDlg::OnPrint() { Finish(false); }
void CPrintSettingsDlg::OnPreview() { Finish(true); }

void CPrintSettingsDlg::Finish(bool preview) {
  if (type_ == kCurrentList) g_Settings.PrintDateRange = 0;
  if (type_ == kDateRangeList) g_Settings.PrintDateRange = 1;
  g_Settings.PrintFromDate = from_;
  g_Settings.PrintToDate = to_;
  g_Settings.PrintAcknowledgedList =
      ::IsDlgButtonChecked(GetSafeHwnd(), IDC_PRINT_ACKNOWLEDGED) == BST_CHECKED ? 1 : 0;
  EndDialog(ReportResult(type_, preview));
}
