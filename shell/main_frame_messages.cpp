// The private messages other windows and programs send the main frame,
// and the hand-over of a second instance's command line.
#include "framework/dialogs/message_box.h"
#include "framework/gdi/gdi.h"
#include "model/date_time.h"
#include "model/program_settings.h"
#include "shell/hand_over.h"
#include "shell/main_frame.h"
#include "shell/private_messages.h"
#include "shell/shell_document.h"

BOOL CMainFrame::OnCopyData(HWND /*sender*/, COPYDATASTRUCT* data) {
  std::string text;
  // Anyone can send this message: only a NUL-ended text with dwData 0 is
  // a command line.
  if (!ReadHandedOverText(data, &text)) return FALSE;
  BringToFront();
  text = TrimmedCommandLine(text);
  if (IsWebcalLine(text)) {
    SubscribeToUrl(TrimmedCommandLine(text.substr(7)));
  } else if (!text.empty()) {
    if (CShellDocument* doc = GetShellDocument()) doc->OpenCalendarFile(text, true);
  }
  m_bSearchOwner = false;
  return static_cast<BOOL>(Default(WM_COPYDATA, 0, 0));
}

LRESULT CMainFrame::OnQuerySearchOwner(WPARAM, LPARAM) { return m_bSearchOwner ? 1 : 0; }

LRESULT CMainFrame::OnAppsTest(WPARAM, LPARAM) {
  framework::MessageBox("Apps Message Recieved", MB_OK, "APPS");
  return 1000;
}

LRESULT CMainFrame::OnSetPictureSize(WPARAM wParam, LPARAM lParam) {
  const int width = static_cast<int>(static_cast<INT_PTR>(wParam));
  const int height = static_cast<int>(lParam);
  if (width <= 0 || height <= 0) return 0;
  m_nPictureWidth = width;
  m_nPictureHeight = height;
  return 1;
}

LRESULT CMainFrame::OnMonthPicture(WPARAM wParam, LPARAM lParam) {
  const int month = LOWORD(wParam);
  const int year = HIWORD(wParam);
  if (month < 1 || month > 12 || CDateTime(1, month, year).GetJulianDay() == 0) return 0;
  framework::CClientDC screen(nullptr);
  framework::CBitmap bitmap;
  if (!bitmap.CreateCompatibleBitmap(screen, m_nPictureWidth, m_nPictureHeight)) return 0;
  {
    framework::CMemoryDC mem(screen);
    mem.Select(bitmap);
    // The month page's painter fills this once the calendar pages exist.
    ::PatBlt(mem, 0, 0, m_nPictureWidth, m_nPictureHeight, WHITENESS);
  }
  if (!::OpenClipboard(GetSafeHwnd())) return 0;
  bool placed = ::EmptyClipboard() && ::SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  ::CloseClipboard();
  if (!placed) return 0;
  bitmap.Detach();  // the clipboard owns it now
  if (lParam) ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_MONTHPICTURE, 0, 0);
  return 1;
}

LRESULT CMainFrame::OnShowAlarmLog(WPARAM, LPARAM) {
  // The log viewer arrives with the alarms; until then the task-bar button
  // flashes so the user notices.
  if (!g_Settings.FlashWindowInTaskbar(GetSafeHwnd(), 3)) ::FlashWindow(GetSafeHwnd(), TRUE);
  return 1;
}
