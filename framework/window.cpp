#include "framework/window.h"

#include <vector>

namespace framework {

namespace {
const char* const kObjectProp = "AlmacoraWindowObject";
}

CWindow::~CWindow() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    // Unbind first so the destroy messages find no half-destroyed object.
    ::RemovePropA(hwnd_, kObjectProp);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    ::DestroyWindow(h);
  }
}

bool CWindow::RegisterClass(HINSTANCE instance, const char* className, HICON icon, HBRUSH background,
                            UINT style, const char* menuName) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &CWindow::StaticWindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon ? icon : ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszMenuName = menuName;
  wc.lpszClassName = className;
  if (::RegisterClassExA(&wc)) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindow::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance) {
  HWND h = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                             this);
  return h != nullptr;
}

void CWindow::DestroyWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

std::string CWindow::GetWindowText() const {
  if (!hwnd_) return std::string();
  int n = ::GetWindowTextLengthA(hwnd_);
  std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
  ::GetWindowTextA(hwnd_, buf.data(), n + 1);
  return std::string(buf.data());
}

void CWindow::SetWindowText(const std::string& text) {
  if (hwnd_) ::SetWindowTextA(hwnd_, text.c_str());
}

CWindow* CWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<CWindow*>(::GetPropA(hwnd, kObjectProp));
}

LRESULT CWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      OnPaint(dc, ps);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

LRESULT CALLBACK CWindow::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    self = cs ? static_cast<CWindow*>(cs->lpCreateParams) : nullptr;
    if (self) {
      self->hwnd_ = hwnd;
      ::SetPropA(hwnd, kObjectProp, self);
    }
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);

  if (message == WM_NCDESTROY) {
    LRESULT r = self->WindowProc(message, wParam, lParam);
    ::RemovePropA(hwnd, kObjectProp);
    self->hwnd_ = nullptr;
    self->PostNcDestroy();
    return r;
  }
  return self->WindowProc(message, wParam, lParam);
}

}  // namespace framework
