#include "dialogs/small/cal_edit_dlg.h"

#include <commctrl.h>

#include "dialogs/small/help_hook.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "grid/cell/grid_cell.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"

namespace dialogs {

namespace {
constexpr DWORD kCalEditHelp = 148;
// Posted to itself by RefillLater.
constexpr UINT kWmRefill = WM_APP + 3300;
constexpr char kEventGone[] = "This event is no longer in the calendar.  The list is shown again.";
}  // namespace

CCalEdit::CCalEdit(CAlmacoraDoc* document, HWND parent) : CDialog(IDD_CAL_EDIT, parent), model_(document) {}

CCalEdit::~CCalEdit() {
  if (font_) ::DeleteObject(font_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalEdit, framework::CDialog)
  framework::OnControl<&CCalEdit::OnCalendarChange>(CBN_SELCHANGE, IDC_CALEDIT_CALENDAR),
  framework::OnCommand<&CCalEdit::OnEnabled>(IDC_CALEDIT_ALARM_ON),
  framework::OnCommand<&CCalEdit::OnEditEvent>(IDC_CALEDIT_EDIT_EVENT),
  framework::OnCommand<&CCalEdit::OnActions>(IDC_CALEDIT_ACTIONS),
  framework::OnCommand<&CCalEdit::OnResetAlarms>(IDC_CALEDIT_RESET_ALARMS),
  framework::OnCommand<&CCalEdit::OnResetTypes>(IDC_CALEDIT_RESET_TYPES),
  framework::OnCommand<&CCalEdit::OnHelp>(IDC_CALEDIT_HELP),
  framework::OnMessage<&CCalEdit::OnCheckChanged>(shellcontrols::WM_GRIDCHECKCHANGED),
  framework::OnMessage<&CCalEdit::OnHelpKey>(WM_HELP),
  framework::OnMessage<&CCalEdit::OnRefill>(kWmRefill),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CCalEdit::OnInitDialog() {
  HWND hwnd = GetSafeHwnd();
  font_ = ::CreateFontA(12, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  // The defaults of a one-time event's alarm, and the program's actions.
  alarmEnabled_ = g_Settings.alarm_enabled != 0 ? 1 : 0;
  leadTime_ = g_Settings.LeadTimeOneTime;
  leadUnits_ = g_Settings.LeadUnitsOneTime;
  actions_ = caledit::DefaultActions(g_Settings);
  HWND units = ::GetDlgItem(hwnd, IDC_CALEDIT_UNITS);
  for (const char* u : {"Minutes", "Hours", "Days", "Weeks"})
    ::SendMessageA(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
  typeCombo_.SubclassDlgItem(IDC_CALEDIT_TYPE, hwnd);
  for (const std::string& type : g_Settings.EventTypeNames)
    ::SendDlgItemMessageA(hwnd, IDC_CALEDIT_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type.c_str()));
  ::SendDlgItemMessageA(hwnd, IDC_CALEDIT_TYPE, CB_SETEXTENDEDUI, TRUE, 0);
  CDialog::OnInitDialog();
  ::SendDlgItemMessageA(hwnd, IDC_CALEDIT_LEAD_SPIN, UDM_SETRANGE32, 0, caledit::kMaxLeadTime);
  EnableAlarmControls();
  ::EnableWindow(::GetDlgItem(hwnd, IDC_CALEDIT_EDIT_EVENT), modifyEvent != nullptr);
  SetUpGrid();
  FillCalendarList();
  model_.SelectCalendar(SelectedCalendarId());
  FillGrid();
  return TRUE;
}

// The open calendars, the one shown kept (initialCalendarId at the start,
// the first when it went).
void CCalEdit::FillCalendarList() {
  HWND calendars = ::GetDlgItem(GetSafeHwnd(), IDC_CALEDIT_CALENDAR);
  const int shown = ::SendMessageA(calendars, CB_GETCOUNT, 0, 0) > 0 ? SelectedCalendarId() : initialCalendarId;
  ::SendMessageA(calendars, CB_RESETCONTENT, 0, 0);
  for (const auto& calendar : model_.Calendars()) {
    const LRESULT item = ::SendMessageA(calendars, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(calendar.second.c_str()));
    ::SendMessageA(calendars, CB_SETITEMDATA, static_cast<WPARAM>(item), calendar.first);
  }
  const int first = model_.InitialIndex(shown);
  if (first >= 0) ::SendMessageA(calendars, CB_SETCURSEL, static_cast<WPARAM>(first), 0);
}

void CCalEdit::RefillLater() {
  if (refillPosted_ || !GetSafeHwnd()) return;
  refillPosted_ = PostMsg(kWmRefill);
}

LRESULT CCalEdit::OnRefill(WPARAM, LPARAM) {
  refillPosted_ = false;
  ReadTicks();
  FillCalendarList();
  model_.SelectCalendar(SelectedCalendarId());
  FillGrid();
  return 0;
}

void CCalEdit::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_CALEDIT_ALARM_ON, alarmEnabled_);
  framework::ExchangeComboText(dx, IDC_CALEDIT_UNITS, leadUnits_);
  framework::ExchangeText(dx, IDC_CALEDIT_LEAD, leadTime_);
  framework::ValidateRange(dx, leadTime_, 0, caledit::kMaxLeadTime);
}

void CCalEdit::SetUpGrid() {
  grid_.SetUpInDialog(GetSafeHwnd(), IDC_CALEDIT_GRID, font_,
                      {{45, "Enabled"}, {150, "Event Name"}, {150, "Event Type"}, {150, "Notes"}});
}

void CCalEdit::FillGrid() {
  framework::CWaitCursor wait;
  grid_.EnableRedraw(0);
  const auto& rows = model_.rows();
  grid_.SetRowCount(0, 0);
  grid_.SetRowCount(static_cast<int>(rows.size()), 0);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    CGridCell check;
    check.SetCellType(CGridCore::kTypeCheckBox);
    check.SetNumber(rows[i].checked);
    grid_.SetCell(0, row, check);
    grid_.SetCellText(1, row, rows[i].name);
    grid_.SetCellText(2, row, rows[i].type);
    grid_.SetCellText(3, row, rows[i].notes);
  }
  if (!rows.empty()) grid_.MoveToCell(0, 0);
  grid_.EnableRedraw(1);
  grid_.RedrawAll();
}

// The grid's boxes into the model: the box may change without a notice
// (keys), so all of them are read before anything is saved or refilled.
void CCalEdit::ReadTicks() {
  const auto& rows = model_.rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    CGridCell cell;
    grid_.GetCell(0, static_cast<int>(i), &cell);
    const int checked = cell.GetNumber() != 0 ? 1 : 0;
    if (checked != rows[i].checked) model_.SetChecked(i, checked);
  }
}

LRESULT CCalEdit::OnCheckChanged(WPARAM, LPARAM) {
  ReadTicks();
  return 0;
}

int CCalEdit::SelectedCalendarId() const {
  HWND calendars = ::GetDlgItem(GetSafeHwnd(), IDC_CALEDIT_CALENDAR);
  const LRESULT item = ::SendMessageA(calendars, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return -1;
  return static_cast<int>(::SendMessageA(calendars, CB_GETITEMDATA, static_cast<WPARAM>(item), 0));
}

void CCalEdit::OnCalendarChange() {
  ReadTicks();
  model_.SelectCalendar(SelectedCalendarId());
  FillGrid();
}

void CCalEdit::EnableAlarmControls() {
  HWND hwnd = GetSafeHwnd();
  const bool on = ::IsDlgButtonChecked(hwnd, IDC_CALEDIT_ALARM_ON) != BST_UNCHECKED;
  ::EnableWindow(::GetDlgItem(hwnd, IDC_CALEDIT_LEAD), on);
  ::EnableWindow(::GetDlgItem(hwnd, IDC_CALEDIT_UNITS), on);
  ::EnableWindow(::GetDlgItem(hwnd, IDC_CALEDIT_ACTIONS), on && editActions != nullptr);
}

void CCalEdit::OnEnabled() { EnableAlarmControls(); }

void CCalEdit::OnEditEvent() {
  if (!modifyEvent) return;
  const int row = grid_.GetCurrentRow();
  if (row < 0 || static_cast<size_t>(row) >= model_.rows().size()) return;
  CCalEvent* event = model_.EventOf(static_cast<size_t>(row));
  if (event == nullptr) {
    // Deleted meanwhile (from the main window, by a refresh).
    framework::MessageBox(kEventGone, MB_OK | MB_ICONINFORMATION);
    OnRefill(0, 0);
    return;
  }
  ReadTicks();
  modifyEvent(event);
  // The editor may have moved the event away or changed it: show again.
  model_.Fill();
  FillGrid();
}

void CCalEdit::OnActions() {
  if (editActions) editActions(GetSafeHwnd(), &actions_);
}

void CCalEdit::OnResetAlarms() {
  if (framework::MessageBox("Reset all alarms in calendar?", MB_OKCANCEL, "Reset Alarms") != IDOK) return;
  if (!UpdateData(true)) return;
  ReadTicks();
  {
    framework::CWaitCursor wait;
    model_.ResetAlarms(alarmEnabled_, leadTime_, leadUnits_, actions_, g_Settings);
  }
  FillGrid();
}

void CCalEdit::OnResetTypes() {
  if (framework::MessageBox("Reset all event types in calendar?", MB_OKCANCEL, "Reset Event Types") != IDOK) return;
  char text[256] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), IDC_CALEDIT_TYPE, text, sizeof text);
  ReadTicks();
  {
    framework::CWaitCursor wait;
    model_.ResetTypes(text);
  }
  FillGrid();
}

void CCalEdit::OnOK() {
  ReadTicks();
  // A failed save has been reported; the dialog stays open.
  if (model_.ApplyTicks().failed) return;
  EndDialog(IDOK);
}

void CCalEdit::OnHelp() { ShowHelpTopic(kCalEditHelp); }

LRESULT CCalEdit::OnHelpKey(WPARAM, LPARAM) {
  ShowHelpTopic(kCalEditHelp);
  return TRUE;
}

}  // namespace dialogs
