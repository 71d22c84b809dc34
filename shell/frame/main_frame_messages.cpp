// The private messages other windows and programs send the main frame,
// and the hand-over of a second instance's command line.
#include "framework/dialogs/message_box.h"
#include "framework/gdi/gdi.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "shell/app/hand_over.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

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
