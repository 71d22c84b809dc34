#include "dialogs/event/advanced_recurrence_dlg.h"

#include <commctrl.h>

#include "dialogs/event/event_edit_dlg.h"
#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "res/resource.h"

namespace dialogs {

using dialogcore::WeekDayItemData;
using dialogcore::WeekDayItemText;

namespace {

std::string LocaleName(int day, int month, int year, const char* format) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wDayOfWeek = static_cast<WORD>(CDateTime(day, month, year).GetWeekday() % 7);
  char text[64] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, format, text, sizeof text);
  return text;
}

constexpr DWORD kHelpContext = 70;

}  // namespace

CAdvancedRecurrenceDlg::CAdvancedRecurrenceDlg(HWND parent) : CDialog(IDD_ADVANCED_RECURRENCE, parent) {
  gridFont_ = ::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  // 1..7 September 1996 run from a Sunday to a Saturday.
  for (int d = 1; d <= 7; ++d) dayNames_.push_back(LocaleName(d, 9, 1996, "dddd"));
  for (int m = 1; m <= 12; ++m) monthNames_.push_back(LocaleName(1, m, 1996, "MMMM"));
}

CAdvancedRecurrenceDlg::~CAdvancedRecurrenceDlg() {
  if (gridFont_) ::DeleteObject(gridFont_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CAdvancedRecurrenceDlg, framework::CDialog)
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnAddWeekDay>(IDC_ADV_ADD_DAY),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnModifyWeekDay>(IDC_ADV_MODIFY_DAY),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnDeleteWeekDay>(IDC_ADV_DELETE_DAY),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnDeleteAllWeekDays>(IDC_ADV_DELETE_ALL),
  framework::OnControl<&CAdvancedRecurrenceDlg::OnWeekDayComboChange>(CBN_SELCHANGE, IDC_ADV_ORDINAL),
  framework::OnControl<&CAdvancedRecurrenceDlg::OnWeekDayComboChange>(CBN_SELCHANGE, IDC_ADV_WEEKDAY),
  framework::OnControl<&CAdvancedRecurrenceDlg::OnWeekDayListChange>(LBN_SELCHANGE, IDC_ADV_DAY_LIST),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnAddPosition>(IDC_ADV_ADD_POSITION),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnDeletePosition>(IDC_ADV_DELETE_POSITION),
  framework::OnControl<&CAdvancedRecurrenceDlg::OnPositionComboChange>(CBN_SELCHANGE, IDC_ADV_POSITION),
  framework::OnControl<&CAdvancedRecurrenceDlg::OnPositionListChange>(LBN_SELCHANGE, IDC_ADV_POSITION_LIST),
  framework::OnCommand<&CAdvancedRecurrenceDlg::OnHelp>(IDC_ADV_HELP),
  framework::OnMessage<&CAdvancedRecurrenceDlg::OnHelpKey>(WM_HELP),
  framework::OnMessage<&CAdvancedRecurrenceDlg::OnGridAllNone>(CRecurrenceCriteriaGrid::kButtonMessage),
  framework::OnNotify<&CAdvancedRecurrenceDlg::OnUntilDateChange>(DTN_DATETIMECHANGE, IDC_ADV_UNTIL_DATE),
  framework::OnNotify<&CAdvancedRecurrenceDlg::OnUntilTimeChange>(DTN_DATETIMECHANGE, IDC_ADV_UNTIL_TIME),
FRAMEWORK_END_MESSAGE_MAP()

void CAdvancedRecurrenceDlg::SetRule(CRecurrenceRule* rule, bool readOnly) {
  rule_ = rule;
  readOnly_ = readOnly;
}

int CAdvancedRecurrenceDlg::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  return framework::MessageBox(text, flags, caption);
}

void CAdvancedRecurrenceDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeRadio(dx, IDC_ADV_FOREVER, view_.repeatMode);
  framework::ExchangeText(dx, IDC_ADV_COUNT, view_.repeatCount);
  framework::ValidateRange(dx, view_.repeatCount, 1, 100000);
}

void CAdvancedRecurrenceDlg::Enable(int id, bool on) { ::EnableWindow(::GetDlgItem(GetSafeHwnd(), id), on); }

void CAdvancedRecurrenceDlg::ShowAndEnable(int id, bool on) {
  HWND item = ::GetDlgItem(GetSafeHwnd(), id);
  ::ShowWindow(item, on ? SW_SHOW : SW_HIDE);
  ::EnableWindow(item, on);
}

BOOL CAdvancedRecurrenceDlg::OnInitDialog() {
  HWND h = GetSafeHwnd();
  CDateTime proposed = CDateTime::Today();
  proposed.AddDays(7);
  proposed.SetSecondsOfDay(StartSecondsOfDay());
  static CRecurrenceRule empty;
  const CRecurrenceRule& rule = rule_ ? *rule_ : empty;
  dialogcore::ReadRuleCriteria(rule, dayNames_, proposed, view_);
  CDialog::OnInitDialog();
  RECT d{68, 212, 135, 226}, t{140, 212, 200, 226};
  ::MapDialogRect(h, &d);
  ::MapDialogRect(h, &t);
  untilDate_.CreateDatePicker(h, d, IDC_ADV_UNTIL_DATE);
  untilTime_.CreateField(h, t, IDC_ADV_UNTIL_TIME);
  // In reading order: after the count and its "Times", before the
  // occurrence positions and the buttons.
  PlaceInTabOrder({untilDate_.GetSafeHwnd(), untilTime_.GetSafeHwnd()},
                  ::GetWindow(::GetDlgItem(h, IDC_ADV_COUNT), GW_HWNDNEXT));
  settingUntil_ = true;
  untilDate_.SetTime(view_.until);
  untilTime_.SetTime(view_.until);
  settingUntil_ = false;
  untilChanged_ = untilTimeTyped_ = false;
  static const char* const kCaptions[] = {"Advanced Daily Options", "Advanced Weekly Options",
                                          "Advanced Monthly Options", "Advanced Yearly Options",
                                          "Advanced Easter Options"};
  if (rule.frequency >= CRecurrenceRule::kDaily && rule.frequency <= CRecurrenceRule::kEaster)
    ::SetWindowTextA(h, kCaptions[rule.frequency - CRecurrenceRule::kDaily]);
  const bool easter = rule.frequency == CRecurrenceRule::kEaster;
  const bool monthly = dialogcore::IsMonthlyOrYearly(rule);
  if (!easter && grid_.CreateFromDialogItem(h, IDC_ADV_GRID) == 0) {
    grid_.Setup(monthly, dayNames_, monthNames_, gridFont_);
    grid_.SetCells(view_.cells);
  }
  if (monthly) {
    const int n = rule.frequency == CRecurrenceRule::kMonthly ? 31 : 366;
    ::SetDlgItemTextA(h, IDC_ADV_POSITION_GROUP,
                      rule.frequency == CRecurrenceRule::kMonthly ? "Occurrences in Month" : "Occurrences in Year");
    HWND combo = ::GetDlgItem(h, IDC_ADV_POSITION);
    auto add = [combo](const std::string& text, int data) {
      const LRESULT i = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      ::SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), data);
      return i;
    };
    for (int p = -1; p >= -n; --p) add(dialogcore::PositionText(p), p);
    const LRESULT blank = add("", 0);
    for (int p = 1; p <= n; ++p) add(dialogcore::PositionText(p), p);
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(blank), 0);
    for (int p : view_.positions) {
      const LRESULT i = ::SendDlgItemMessageA(h, IDC_ADV_POSITION_LIST, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(dialogcore::PositionText(p).c_str()));
      ::SendDlgItemMessageA(h, IDC_ADV_POSITION_LIST, LB_SETITEMDATA, static_cast<WPARAM>(i), p);
    }
    for (int o = 0; o <= 6; ++o)
      ::SendDlgItemMessageA(h, IDC_ADV_ORDINAL, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(dialogcore::OrdinalText(o)));
    for (const std::string& name : dayNames_)
      ::SendDlgItemMessageA(h, IDC_ADV_WEEKDAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    FillWeekDayList();
    Enable(IDC_ADV_DELETE_ALL, !view_.weekDays.items.empty());
  } else {
    for (int id : {IDC_ADV_POSITION, IDC_ADV_POSITION_LIST, IDC_ADV_ADD_POSITION, IDC_ADV_DELETE_POSITION,
                   IDC_ADV_POSITION_GROUP, IDC_ADV_ORDINAL, IDC_ADV_WEEKDAY, IDC_ADV_ADD_DAY, IDC_ADV_MODIFY_DAY,
                   IDC_ADV_DELETE_DAY, IDC_ADV_DELETE_ALL, IDC_ADV_WEEKDAY_GROUP, IDC_ADV_DAY_LIST})
      ShowAndEnable(id, false);
  }
  if (!easter) {
    UpdateDaysButton();
    UpdateMonthsButton();
  }
  if (readOnly_) {
    ::EnableWindow(grid_.GetSafeHwnd(), FALSE);
    for (int id : {IDC_ADV_POSITION, IDC_ADV_POSITION_LIST, IDC_ADV_ADD_POSITION, IDC_ADV_DELETE_POSITION,
                   IDC_ADV_ORDINAL, IDC_ADV_WEEKDAY, IDC_ADV_ADD_DAY, IDC_ADV_MODIFY_DAY, IDC_ADV_DELETE_DAY,
                   IDC_ADV_DELETE_ALL, IDC_ADV_DAY_LIST, IDC_ADV_FOREVER, IDC_ADV_REPEAT, IDC_ADV_UNTIL,
                   IDC_ADV_COUNT})
      Enable(id, false);
    ::EnableWindow(untilDate_.GetSafeHwnd(), FALSE);
    ::EnableWindow(untilTime_.GetSafeHwnd(), FALSE);
  }
  return TRUE;
}

void CAdvancedRecurrenceDlg::FillWeekDayList() {
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_ADV_DAY_LIST);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const dialogcore::WeekDayItem& it : view_.weekDays.items) {
    const LRESULT i = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it.text.c_str()));
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), it.data);
  }
  ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(view_.weekDays.selected), 0);
}

void CAdvancedRecurrenceDlg::ClearWeekDayCombos() {
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_ORDINAL, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_WEEKDAY, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int CAdvancedRecurrenceDlg::ComboChoice() const {
  const LRESULT o = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_ORDINAL, CB_GETCURSEL, 0, 0);
  const LRESULT w = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_WEEKDAY, CB_GETCURSEL, 0, 0);
  if (o == CB_ERR || w == CB_ERR) return -1;
  return WeekDayItemData(static_cast<int>(w), static_cast<int>(o));
}

void CAdvancedRecurrenceDlg::OnWeekDayComboChange() {
  const bool both = ComboChoice() >= 0;
  Enable(IDC_ADV_ADD_DAY, both);
  Enable(IDC_ADV_MODIFY_DAY, both && view_.weekDays.selected >= 0);
}

void CAdvancedRecurrenceDlg::OnWeekDayListChange() {
  const int i = static_cast<int>(::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_DAY_LIST, LB_GETCURSEL, 0, 0));
  view_.weekDays.selected = i;
  if (i < 0 || static_cast<size_t>(i) >= view_.weekDays.items.size()) return;
  const int data = view_.weekDays.items[static_cast<size_t>(i)].data;
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_ORDINAL, CB_SETCURSEL, static_cast<WPARAM>(data & 0xFFFF), 0);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_WEEKDAY, CB_SETCURSEL, static_cast<WPARAM>(data >> 16), 0);
  Enable(IDC_ADV_ADD_DAY, false);
  Enable(IDC_ADV_MODIFY_DAY, false);
  Enable(IDC_ADV_DELETE_DAY, true);
}

void CAdvancedRecurrenceDlg::OnAddWeekDay() {
  const int data = ComboChoice();
  if (data < 0) return;
  const std::string notice = view_.weekDays.Add(WeekDayItemText(data, dayNames_), data);
  if (!notice.empty()) ShowMessage(notice, "Warning", MB_OK | MB_ICONINFORMATION);
  Enable(IDC_ADV_ADD_DAY, false);
  Enable(IDC_ADV_MODIFY_DAY, false);
  Enable(IDC_ADV_DELETE_DAY, true);
  Enable(IDC_ADV_DELETE_ALL, true);
  ClearWeekDayCombos();
  UpdateDaysButton();
  if (view_.weekDays.items.size() < 2 && !grid_.AllDaysChecked() &&
      ShowMessage("When specifying week days, all months days should normally be enabled.\n\nEnable all month days now?",
                  "Warning", MB_YESNO | MB_ICONQUESTION) == IDYES) {
    grid_.SetAllDays(true);
    UpdateDaysButton();
  }
  for (const std::string& n : view_.weekDays.MergeFull(dayNames_)) ShowMessage(n, "Warning", MB_OK | MB_ICONINFORMATION);
  FillWeekDayList();
}

void CAdvancedRecurrenceDlg::OnModifyWeekDay() {
  const int data = ComboChoice();
  const int selected = view_.weekDays.selected;
  if (data < 0 || selected < 0) return;
  // A refused change keeps the item it was to replace.
  const dialogcore::WeekDayList before = view_.weekDays;
  view_.weekDays.Delete(selected);
  const std::string notice = view_.weekDays.Add(WeekDayItemText(data, dayNames_), data);
  if (!notice.empty()) {
    view_.weekDays = before;
    ShowMessage(notice, "Warning", MB_OK | MB_ICONINFORMATION);
  }
  Enable(IDC_ADV_ADD_DAY, false);
  Enable(IDC_ADV_MODIFY_DAY, false);
  Enable(IDC_ADV_DELETE_DAY, true);
  ClearWeekDayCombos();
  FillWeekDayList();
}

void CAdvancedRecurrenceDlg::OnDeleteWeekDay() {
  view_.weekDays.Delete(view_.weekDays.selected);
  FillWeekDayList();
  Enable(IDC_ADV_DELETE_DAY, !view_.weekDays.items.empty());
  Enable(IDC_ADV_DELETE_ALL, !view_.weekDays.items.empty());
  ClearWeekDayCombos();
}

void CAdvancedRecurrenceDlg::OnDeleteAllWeekDays() {
  view_.weekDays = dialogcore::WeekDayList();
  FillWeekDayList();
  for (int id : {IDC_ADV_DELETE_DAY, IDC_ADV_DELETE_ALL, IDC_ADV_ADD_DAY, IDC_ADV_MODIFY_DAY}) Enable(id, false);
  ClearWeekDayCombos();
}

void CAdvancedRecurrenceDlg::OnPositionComboChange() {
  const LRESULT i = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_POSITION, CB_GETCURSEL, 0, 0);
  const LRESULT data = i == CB_ERR ? 0 : ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_POSITION, CB_GETITEMDATA,
                                                               static_cast<WPARAM>(i), 0);
  // Position 0 means nothing to the rule: it cannot be added.
  Enable(IDC_ADV_ADD_POSITION, data != 0);
}

void CAdvancedRecurrenceDlg::OnAddPosition() {
  HWND h = GetSafeHwnd();
  const LRESULT i = ::SendDlgItemMessageA(h, IDC_ADV_POSITION, CB_GETCURSEL, 0, 0);
  if (i == CB_ERR) return;
  const int data = static_cast<int>(::SendDlgItemMessageA(h, IDC_ADV_POSITION, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
  if (data == 0) return;
  const std::string text = dialogcore::PositionText(data);
  if (::SendDlgItemMessageA(h, IDC_ADV_POSITION_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(text.c_str())) != LB_ERR)
    return;
  const LRESULT at = ::SendDlgItemMessageA(h, IDC_ADV_POSITION_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendDlgItemMessageA(h, IDC_ADV_POSITION_LIST, LB_SETITEMDATA, static_cast<WPARAM>(at), data);
  view_.positions.push_back(data);
}

void CAdvancedRecurrenceDlg::OnPositionListChange() {
  const LRESULT i = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_ADV_POSITION_LIST, LB_GETCURSEL, 0, 0);
  Enable(IDC_ADV_DELETE_POSITION, i != LB_ERR);
}

void CAdvancedRecurrenceDlg::OnDeletePosition() {
  HWND list = ::GetDlgItem(GetSafeHwnd(), IDC_ADV_POSITION_LIST);
  const LRESULT i = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return;
  ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  view_.positions.erase(view_.positions.begin() + i);
  const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (i < count) ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  Enable(IDC_ADV_DELETE_POSITION, i < count);
}

void CAdvancedRecurrenceDlg::UpdateDaysButton() {
  daysToggle_ = !grid_.AllDaysChecked();
  grid_.SetButtonText(0, daysToggle_ ? "All Days" : "No Days");
}

void CAdvancedRecurrenceDlg::UpdateMonthsButton() {
  monthsToggle_ = !grid_.AllMonthsChecked();
  grid_.SetButtonText(6, monthsToggle_ ? "All Months" : "No Months");
}

LRESULT CAdvancedRecurrenceDlg::OnGridAllNone(WPARAM wParam, LPARAM) {
  if (wParam == 0) {
    grid_.SetAllDays(daysToggle_);
    UpdateDaysButton();
  } else if (wParam == 6) {
    grid_.SetAllMonths(monthsToggle_);
    UpdateMonthsButton();
  }
  return 0;
}

int32_t CAdvancedRecurrenceDlg::StartSecondsOfDay() const {
  const CDateTime* start = rule_ ? rule_->GetSeriesStart() : nullptr;
  if (!start || start->IsEmpty() || !start->HasTimeOfDay()) return 0;
  return start->GetSecondsOfDay(CDateTime::kAsLocal);
}

void CAdvancedRecurrenceDlg::OnUntilDateChange(NMHDR*, LRESULT* result) {
  *result = 0;
  if (settingUntil_) return;
  untilChanged_ = true;
  CDateTime shown = CDateTime::Today();
  untilDate_.GetDate(shown);
  untilTime_.GetTime(shown);
  if (untilTimeTyped_ || shown.GetRawSecondsOfDay() != 0) return;
  shown.SetSecondsOfDay(StartSecondsOfDay());
  settingUntil_ = true;
  untilTime_.SetTime(shown);
  settingUntil_ = false;
}

void CAdvancedRecurrenceDlg::OnUntilTimeChange(NMHDR*, LRESULT* result) {
  *result = 0;
  if (settingUntil_) return;
  untilChanged_ = untilTimeTyped_ = true;
}

bool CAdvancedRecurrenceDlg::UntilFollowsStart(bool before) const {
  if (!rule_ || !rule_->IsUntilSet()) return false;
  return untilChanged_ ? !untilTimeTyped_ : before;
}

void CAdvancedRecurrenceDlg::OnHelp() { ShowHelpTopic(kHelpContext); }

LRESULT CAdvancedRecurrenceDlg::OnHelpKey(WPARAM, LPARAM) {
  OnHelp();
  return TRUE;
}

void CAdvancedRecurrenceDlg::OnOK() {
  if (readOnly_ || !rule_) {
    EndDialog(IDOK);
    return;
  }
  if (!UpdateData(true)) return;
  // An UNTIL the rule had is written back as it was unless the user changed
  // it; the pickers show it as local time, which may not be how it is kept.
  if (untilChanged_ || !rule_->IsUntilSet()) {
    CDateTime until = view_.until;
    untilDate_.GetDate(until);
    untilTime_.GetTime(until);
    view_.until = until;
  }
  if (rule_->frequency != CRecurrenceRule::kEaster) view_.cells = grid_.GetCells();
  dialogcore::WriteRuleCriteria(view_, *rule_);
  EndDialog(IDOK);
}

}  // namespace dialogs
