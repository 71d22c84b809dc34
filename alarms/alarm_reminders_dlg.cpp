// CAlarmRemindersDlg: creation, the grid's look, placement, tool tips,
// the title and key handling. Rows, commands and sound live beside it.
#include "alarms/alarm_reminders_dlg.h"

#include <commctrl.h>

#include <iterator>

#include "alarms/core/reminder_rows.h"
#include "alarms/reminder_host.h"
#include "framework/application.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

using framework::OnCommand;

namespace {

struct ColumnSpec {
  const char* heading;
  int width;
};
constexpr ColumnSpec kColumns[] = {{"Name", 115}, {"Date", 68}, {"Time", 58}, {"Type", 94}, {"Notes", 125}};

struct TipSpec {
  int id;
  const char* text;
};
constexpr TipSpec kTips[] = {
    {IDOK, "F9  Acknowledge Event"},           {IDC_ALARM_MODIFY, "Ctrl+M  Modify Event"},
    {IDC_ALARM_DELETE, "Ctrl+D  Delete Event"}, {IDC_ALARM_REFRESH, "Refresh Subscribed Calendars"},
    {IDC_SNOOZE_MINUTES, "F5  Snooze Minutes"}, {IDC_SNOOZE_HOURS, "F6  Snooze Hours"},
    {IDC_SNOOZE_DAYS, "F7  Snooze Days"},       {IDC_SNOOZE_WEEKS, "F8  Snooze Weeks"},
};

constexpr int kCascadeStep = 50;

}  // namespace

FRAMEWORK_BEGIN_MESSAGE_MAP(CAlarmRemindersDlg, framework::CDialog)
  OnCommand<&CAlarmRemindersDlg::OnModify>(IDC_ALARM_MODIFY),
  OnCommand<&CAlarmRemindersDlg::OnDelete>(IDC_ALARM_DELETE),
  OnCommand<&CAlarmRemindersDlg::OnRefresh>(IDC_ALARM_REFRESH),
  OnCommand<&CAlarmRemindersDlg::OnSnoozeMinutes>(IDC_SNOOZE_MINUTES),
  OnCommand<&CAlarmRemindersDlg::OnSnoozeHours>(IDC_SNOOZE_HOURS),
  OnCommand<&CAlarmRemindersDlg::OnSnoozeDays>(IDC_SNOOZE_DAYS),
  OnCommand<&CAlarmRemindersDlg::OnSnoozeWeeks>(IDC_SNOOZE_WEEKS),
  OnCommand<&CAlarmRemindersDlg::OnNothing>(IDC_ALARM_SELECT_ALL),
  framework::OnMessage<&CAlarmRemindersDlg::OnHelpInfo>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

CAlarmRemindersDlg::CAlarmRemindersDlg(IReminderHost* host)
    : framework::CDialog(IDD_ALARM_REMINDERS), host_(host), grid_(this) {}

CAlarmRemindersDlg::~CAlarmRemindersDlg() {
  StopSoundTimer();
  // Events outlive the window at the end of the run: they must not call
  // back into it.
  for (auto& entry : rows_) {
    if (CCalEvent* e = entry.second.event) {
      if (e->reminderWindow == this) e->reminderWindow = nullptr;
    }
  }
  for (COccurrenceRef& ref : pending_) {
    if (ref.event && ref.event->reminderWindow == this) ref.event->reminderWindow = nullptr;
  }
  if (GetSafeHwnd()) DestroyWindow();
  if (font_) ::DeleteObject(font_);
}

bool CAlarmRemindersDlg::CreateWindowless() { return Create(nullptr); }

BOOL CAlarmRemindersDlg::OnInitDialog() {
  framework::CDialog::OnInitDialog();
  SetUpGrid();
  PlaceCascaded();
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_SNOOZE_SPIN, UDM_SETRANGE, 0, MAKELPARAM(1000, 1));
  fillTime_ = AlarmClockSeconds();
  framework::CApplication* app = framework::TheApp();
  HINSTANCE instance = app ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  accel_ = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ALARM_REMINDERS_KEYS));
  AddToolTips();
  if (!host_ || !host_->CanModifyEvents()) ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_ALARM_MODIFY), FALSE);
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_ALARM_REFRESH), FALSE);
  HWND edit = ::GetDlgItem(GetSafeHwnd(), IDC_SNOOZE_VALUE);
  // Focusing a control activates its window: not while the user works in
  // another one.
  if (!WindowInUse(GetSafeHwnd())) ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, -1);
  ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  UpdateTitle();
  return FALSE;  // the focus is set
}

void CAlarmRemindersDlg::SetUpGrid() {
  notesTypeIndex_ = grid_.AddCellType(&notesType_);
  grid_.CreateFromDialogItem(GetSafeHwnd(), IDC_ALARM_GRID);
  grid_.ShowGridLines(0);
  font_ = ::CreateFontA(12, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  grid_.SetDefaultFont(font_);
  int height = 14;
  if (HDC dc = ::GetDC(GetSafeHwnd())) {
    HGDIOBJ old = ::SelectObject(dc, font_);
    TEXTMETRICA tm{};
    if (::GetTextMetricsA(dc, &tm)) height = tm.tmHeight + 2;
    ::SelectObject(dc, old);
    ::ReleaseDC(GetSafeHwnd(), dc);
  }
  grid_.SetDefaultRowHeight(height);
  CGridCell cell;
  cell.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  cell.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  cell.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
  cell.SetSelectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  cell.SetText("");
  cell.SetBorder(0);
  cell.SetAlignment(33);
  grid_.SetDefaultCell(cell);
  CGridCell heading;
  grid_.GetHeadingDefaultCell(&heading);
  heading.SetAlignment(33);
  grid_.SetHeadingDefaultCell(heading);
  grid_.SetColumnCount(static_cast<int>(std::size(kColumns)));
  for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
    grid_.SetColumnWidth(c, kColumns[c].width);
    grid_.SetCellText(c, -1, kColumns[c].heading);
  }
  grid_.SetSideHeadingWidth(0);
  grid_.SetHScrollHeight(0);
  grid_.SelectWholeRows(1);
  grid_.EnableMultiSelect(1);
  grid_.SetHighlightStyle(2);
  grid_.SetRowCount(0);
}

void CAlarmRemindersDlg::PlaceCascaded() {
  RECT r{};
  ::GetWindowRect(GetSafeHwnd(), &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  int screenWidth = g_Settings.ScreenWidth > 0 ? g_Settings.ScreenWidth : ::GetSystemMetrics(SM_CXSCREEN);
  int screenHeight = g_Settings.ScreenHeight > 0 ? g_Settings.ScreenHeight : ::GetSystemMetrics(SM_CYSCREEN);
  int& x = g_Settings.ReminderCascadeX;
  int& y = g_Settings.ReminderCascadeY;
  x += kCascadeStep;
  y += kCascadeStep;
  if (x + width > screenWidth - kCascadeStep || y + height > screenHeight - kCascadeStep) x = y = kCascadeStep;
  ::SetWindowPos(GetSafeHwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAlarmRemindersDlg::AddToolTips() {
  toolTip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, GetSafeHwnd(), nullptr, nullptr, nullptr);
  if (!toolTip_) return;
  for (const TipSpec& tip : kTips) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetSafeHwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(GetSafeHwnd(), tip.id));
    ti.lpszText = const_cast<char*>(tip.text);
    ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CAlarmRemindersDlg::UpdateTitle() {
  if (GetSafeHwnd()) SetWindowText(alarmcore::ReminderTitle(grid_.GetRowCount()));
}

std::string CAlarmRemindersDlg::GetSnoozeText() const {
  char text[32] = "";
  ::GetDlgItemTextA(GetSafeHwnd(), IDC_SNOOZE_VALUE, text, sizeof text);
  return text;
}

void CAlarmRemindersDlg::SetSnoozeText(const std::string& text) {
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_SNOOZE_VALUE, text.c_str());
}

bool CAlarmRemindersDlg::PressesUnseen(const MSG& msg) {
  if (!unseen_ || (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR)) return false;
  if (msg.wParam == VK_RETURN) return true;
  if (msg.wParam != VK_SPACE) return false;
  char cls[16] = "";
  ::GetClassNameA(msg.hwnd, cls, sizeof cls);
  return ::lstrcmpiA(cls, "Button") == 0;
}

bool CAlarmRemindersDlg::PreTranslateMessage(MSG& msg) {
  HWND self = GetSafeHwnd();
  if (msg.hwnd == self || ::IsChild(self, msg.hwnd)) {
    switch (msg.message) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        unseen_ = false;  // the user is at the window and sees its rows
        break;
      default:
        if (PressesUnseen(msg)) {
          if (msg.message == WM_KEYDOWN) Flash();
          return true;
        }
    }
  }
  if (accel_ && ::TranslateAcceleratorA(self, accel_, &msg)) return true;
  return framework::CDialog::PreTranslateMessage(msg);
}

LRESULT CAlarmRemindersDlg::OnHelpInfo(WPARAM, LPARAM) {
  if (host_) host_->ShowHelp(18);
  return TRUE;
}

int64_t AlarmClockSeconds() {
  const CDateTime now = CDateTime::NowUtc();
  // Julian day 2440588 is 1 January 1970.
  return (static_cast<int64_t>(now.GetJulianDay()) - 2440588) * 86400 + now.GetSecondsOfDay();
}
