#include "alarms/actions/timer_dlg.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>

#include "alarms/actions/dialog_items.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "platform/paths.h"
#include "res/resource.h"

namespace alarms {

namespace {
constexpr UINT_PTR kTimer = 1;
// Ticks more often than once a second so the shown second changes on time.
constexpr UINT kTickMs = 200;
}  // namespace

CTimerDlg::CTimerDlg(HWND parent) : CDialog(IDD_QUICK_TIMER, parent) { SetHelpContext(153); }
CTimerDlg::~CTimerDlg() {
  if (bigFont_) ::DeleteObject(bigFont_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CTimerDlg, framework::CDialog)
  framework::OnCommand<&CTimerDlg::OnStartStop>(IDC_QT_START),
  framework::OnCommand<&CTimerDlg::OnClear>(IDC_QT_CLEAR),
  framework::OnMessage<&CTimerDlg::OnTimerMessage>(WM_TIMER),
  framework::OnMessage<&CTimerDlg::OnSpin>(WM_VSCROLL),
  framework::OnControl<&CTimerDlg::OnMinutesLeft>(EN_KILLFOCUS, IDC_QT_MINUTES),
  framework::OnControl<&CTimerDlg::OnSecondsLeft>(EN_KILLFOCUS, IDC_QT_SECONDS),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CTimerDlg::OnInitDialog() {
  BOOL r = CDialog::OnInitDialog();
  HWND d = GetSafeHwnd();
  ::SendDlgItemMessageA(d, IDC_QT_HOURS_SPIN, UDM_SETRANGE32, 0, 99);
  ::SendDlgItemMessageA(d, IDC_QT_MINUTES_SPIN, UDM_SETRANGE32, 0, 59);
  ::SendDlgItemMessageA(d, IDC_QT_SECONDS_SPIN, UDM_SETRANGE32, 0, 59);
  LOGFONTA lf = {};
  ::GetObjectA(reinterpret_cast<HFONT>(SendMsg(WM_GETFONT)), sizeof lf, &lf);
  lf.lfHeight = 30;
  bigFont_ = ::CreateFontIndirectA(&lf);
  for (int id : {IDC_QT_HOURS, IDC_QT_MINUTES, IDC_QT_SECONDS}) {
    ::SendDlgItemMessageA(d, id, EM_LIMITTEXT, 2, 0);
    ::SendDlgItemMessageA(d, id, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_), TRUE);
  }
  Write(0);
  return r;
}

std::string CTimerDlg::Shown() const {
  HWND d = GetSafeHwnd();
  return ItemText(d, IDC_QT_HOURS) + ":" + ItemText(d, IDC_QT_MINUTES) + ":" + ItemText(d, IDC_QT_SECONDS);
}

int CTimerDlg::ReadSeconds() const {
  HWND d = GetSafeHwnd();
  auto field = [d](int id) { return std::atoi(ItemText(d, id).c_str()); };
  return field(IDC_QT_HOURS) * 3600 + field(IDC_QT_MINUTES) * 60 + field(IDC_QT_SECONDS);
}

void CTimerDlg::Write(int seconds) {
  HWND d = GetSafeHwnd();
  char text[16];
  std::snprintf(text, sizeof text, "%d", seconds / 3600);
  ::SetDlgItemTextA(d, IDC_QT_HOURS, text);
  std::snprintf(text, sizeof text, "%02d", seconds / 60 % 60);
  ::SetDlgItemTextA(d, IDC_QT_MINUTES, text);
  std::snprintf(text, sizeof text, "%02d", seconds % 60);
  ::SetDlgItemTextA(d, IDC_QT_SECONDS, text);
  written_ = Shown();
}

// A spin writes its number bare ("3"); minutes and seconds always read as
// two digits, as the count writes them.
LRESULT CTimerDlg::OnSpin(WPARAM, LPARAM spin) {
  HWND s = reinterpret_cast<HWND>(spin);
  if (s == GetItem(IDC_QT_MINUTES_SPIN)) PadField(IDC_QT_MINUTES);
  if (s == GetItem(IDC_QT_SECONDS_SPIN)) PadField(IDC_QT_SECONDS);
  return 0;
}

void CTimerDlg::OnMinutesLeft() { PadField(IDC_QT_MINUTES); }
void CTimerDlg::OnSecondsLeft() { PadField(IDC_QT_SECONDS); }

void CTimerDlg::PadField(int id) {
  HWND d = GetSafeHwnd();
  const std::string text = ItemText(d, id);
  if (text.empty() || text.size() >= 2) return;
  const bool same = written_ == Shown();  // a padded field is no edit
  ::SetDlgItemTextA(d, id, ("0" + text).c_str());
  if (same) written_ = Shown();
}

void CTimerDlg::OnStartStop() {
  if (IsRunning()) {
    Stop();
    return;
  }
  ::ShowWindow(GetItem(IDC_QT_EXPIRED), SW_HIDE);
  int seconds = ReadSeconds();
  if (seconds <= 0) {
    framework::MessageBox("Please set a time before starting timer.", MB_OK);
    return;
  }
  endTick_ = ::GetTickCount64() + static_cast<uint64_t>(seconds) * 1000;
  written_ = Shown();
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_QT_START, "Stop");
  ::SetTimer(GetSafeHwnd(), kTimer, kTickMs, nullptr);
  timerId_ = static_cast<int>(kTimer);
}

void CTimerDlg::Stop() {
  if (IsRunning()) ::KillTimer(GetSafeHwnd(), kTimer);
  timerId_ = -1;
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_QT_START, "Start");
}

void CTimerDlg::OnClear() {
  ::ShowWindow(GetItem(IDC_QT_EXPIRED), SW_HIDE);
  Stop();
  Write(0);
}

void CTimerDlg::OnTimer(UINT_PTR id) {
  if (id != kTimer || !IsRunning()) return;
  uint64_t now = ::GetTickCount64();
  if (Shown() != written_) endTick_ = now + static_cast<uint64_t>(ReadSeconds()) * 1000;  // edited meanwhile
  uint64_t left = endTick_ > now ? endTick_ - now : 0;
  int seconds = static_cast<int>((left + 999) / 1000);
  Write(seconds);
  if (seconds == 0) Expire();
}

void CTimerDlg::Expire() {
  Stop();
  HWND d = GetSafeHwnd();
  ::ShowWindow(GetItem(IDC_QT_EXPIRED), SW_SHOW);
  ::ShowWindow(d, SW_SHOW);
  ::SetActiveWindow(d);
  ::SetForegroundWindow(d);
  std::string sound = g_Settings.AlarmSoundFile;
  if (sound.find('\\') == std::string::npos) sound = platform::ProgramFolder() + sound;
  if (!::sndPlaySoundA(sound.c_str(), SND_ASYNC | SND_NODEFAULT)) ::MessageBeep(0xFFFFFFFF);
  if (!g_Settings.FlashWindowInTaskbar(d, 3)) ::FlashWindow(d, TRUE);
}

void CTimerDlg::OnOK() { ::ShowWindow(GetSafeHwnd(), SW_HIDE); }
void CTimerDlg::OnCancel() { ::ShowWindow(GetSafeHwnd(), SW_HIDE); }

}  // namespace alarms
