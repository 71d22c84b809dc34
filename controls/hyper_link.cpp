#include "controls/hyper_link.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/dialogs/message_box.h"
#include "controls/open_link.h"

namespace shellcontrols {

FRAMEWORK_BEGIN_MESSAGE_MAP(CHyperLink, framework::CStatic)
  framework::OnReflectCtlColor<&CHyperLink::CtlColor>(WM_CTLCOLORSTATIC),
FRAMEWORK_END_MESSAGE_MAP()

CHyperLink::~CHyperLink() {
  if (font_) ::DeleteObject(font_);
  if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

void CHyperLink::Init() {
  HWND h = GetSafeHwnd();
  if (!h) return;
  std::string text = GetWindowText();
  if (target_.empty()) target_ = text;
  if (text.empty()) SetWindowText(target_);
  MakeFont();
  if (style_ & kAutoSize) SizeToText();
  tip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, h, nullptr,
                           nullptr, nullptr);
  if (tip_) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = h;
    ti.uId = 1;
    ::GetClientRect(h, &ti.rect);
    ti.lpszText = const_cast<char*>(target_.c_str());
    ::SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CHyperLink::MakeFont() {
  HFONT current = reinterpret_cast<HFONT>(SendMsg(WM_GETFONT));
  if (!current) return;  // the system font stays, and no auto-size
  LOGFONTA lf{};
  ::GetObjectA(current, sizeof lf, &lf);
  lf.lfUnderline = (style_ & kUnderline) ? TRUE : FALSE;
  HFONT made = ::CreateFontIndirectA(&lf);
  if (!made) return;
  SendMsg(WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
  if (font_) ::DeleteObject(font_);
  font_ = made;
}

void CHyperLink::SizeToText() {
  HWND h = GetSafeHwnd();
  if (!font_) return;
  std::string text = GetWindowText();
  HDC dc = ::GetDC(h);
  HGDIOBJ old = ::SelectObject(dc, font_);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(h, dc);
  RECT r;
  ::GetWindowRect(h, &r);
  POINT tl{r.left, r.top};
  ::ScreenToClient(::GetParent(h), &tl);
  const LONG styleBits = ::GetWindowLongA(h, GWL_STYLE);
  const int width = r.right - r.left, height = r.bottom - r.top;
  int x = tl.x, y = tl.y;
  if ((styleBits & SS_TYPEMASK) == SS_CENTER) x += (width - size.cx) / 2;
  if ((styleBits & SS_TYPEMASK) == SS_RIGHT) x += width - size.cx;
  if (styleBits & SS_CENTERIMAGE) y += (height - size.cy) / 2;
  ::SetWindowPos(h, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::UpdateTip() {
  if (!tip_) return;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = GetSafeHwnd();
  ti.uId = 1;
  ti.lpszText = const_cast<char*>(target_.c_str());
  ::SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CHyperLink::SetLinkTarget(const std::string& target) {
  target_ = target;
  if (!GetSafeHwnd()) return;
  Show(SW_HIDE);
  if (style_ & kAutoSize) SizeToText();
  UpdateTip();
  Show(SW_SHOW);
}

bool CHyperLink::SetLinkStyle(DWORD clear, DWORD set, bool redraw) {
  if (clear & set) return false;
  const DWORD old = style_;
  style_ = (style_ & ~clear) | set;
  if (!GetSafeHwnd()) return true;
  if ((old ^ style_) & kUnderline) MakeFont();
  if (style_ & kAutoSize) SizeToText();
  if (redraw && ((old ^ style_) & kUseHover)) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  return true;
}

COLORREF CHyperLink::CurrentColor() const {
  if (over_ && (style_ & kUseHover)) return kHoverColor;
  if (!focused_ || (style_ & kNoActiveColor)) return visited_ ? kVisitedColor : kLinkColor;
  return kActiveColor;
}

HBRUSH CHyperLink::CtlColor(HDC dc) {
  ::SetTextColor(dc, CurrentColor());
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CHyperLink::Open() {
  INT_PTR r = OpenLinkTarget(target_, SW_SHOWNORMAL);
  if (r > 32) {
    visited_ = true;
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    return;
  }
  ::MessageBeep(MB_ICONEXCLAMATION);
  framework::MessageBox("Can't open link:\n\n" + LinkErrorText(r), MB_OK | MB_ICONEXCLAMATION);
}

bool CHyperLink::PreTranslateMessage(MSG& msg) {
  if (tip_) ::SendMessageA(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  return false;
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND h = GetSafeHwnd();
  switch (message) {
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_SETCURSOR:
      if (style_ & kNoHandCursor) break;
      // The system's own hand: older help programs carried one, current
      // systems have it built in.
      ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
      return TRUE;
    case WM_MOUSEMOVE: {
      RECT client;
      ::GetClientRect(h, &client);
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (!::PtInRect(&client, pt)) {
        if (over_) {
          over_ = false;
          ::ReleaseCapture();
          ::InvalidateRect(h, nullptr, TRUE);
        }
      } else if (!over_) {
        over_ = true;
        ::InvalidateRect(h, nullptr, TRUE);
        ::SetCapture(h);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (style_ & kFocusOnClick) ::SetFocus(h);
      if (style_ & kOpenOnDown) Open();
      pressed_ = true;
      return 0;
    case WM_LBUTTONUP:
      if (pressed_ && !(style_ & kOpenOnDown)) {
        pressed_ = false;
        Open();
      }
      pressed_ = false;
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        Open();
        return 0;
      }
      break;
    case WM_SETFOCUS:
      focused_ = true;
      ::InvalidateRect(h, nullptr, TRUE);
      break;
    case WM_KILLFOCUS:
      focused_ = false;
      over_ = false;
      ::InvalidateRect(h, nullptr, TRUE);
      break;
    default:
      break;
  }
  return framework::CStatic::WindowProc(message, wParam, lParam);
}

}  // namespace shellcontrols
