#include "framework/window.h"

#include <vector>

#include "framework/application.h"

namespace framework {

namespace {
const char* const kObjectProp = "AlmacoraWindowObject";

bool IsReflected(UINT message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_DRAWITEM ||
         message == WM_MEASUREITEM;
}

// The control a reflected message came from.
HWND ReflectionSource(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return (dis && dis->CtlType != ODT_MENU) ? dis->hwndItem : nullptr;
  }
  if (message == WM_MEASUREITEM) {
    const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
    return (mis && mis->CtlType != ODT_MENU) ? ::GetDlgItem(parent, static_cast<int>(wParam)) : nullptr;
  }
  return reinterpret_cast<HWND>(lParam);
}
}  // namespace

CWindow::~CWindow() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    // Unbind first so the destroy messages find no half-destroyed object.
    HWND h = hwnd_;
    if (oldProc_) {
      UnsubclassWindow();
      return;
    }
    ::RemovePropA(h, kObjectProp);
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

void CWindow::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  ::SetPropA(hwnd, kObjectProp, this);
}

void CWindow::Detach() {
  if (hwnd_) ::RemovePropA(hwnd_, kObjectProp);
  hwnd_ = nullptr;
}

bool CWindow::SubclassWindow(HWND hwnd) {
  if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
  Attach(hwnd);
  oldProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::StaticWindowProc)));
  return true;
}

HWND CWindow::UnsubclassWindow() {
  HWND h = hwnd_;
  if (!h) return nullptr;
  if (oldProc_) ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
  oldProc_ = nullptr;
  Detach();
  return h;
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
  if (oldProc_) return ::CallWindowProcA(oldProc_, hwnd_, message, wParam, lParam);
  if (dialogDispatch_) {
    dialogUnhandled_ = true;
    return 0;
  }
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool CWindow::OnCommandMessage(WPARAM wParam, LPARAM /*lParam*/) {
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr);
}

bool CWindow::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const MessageEntry* e = FindMessageEntry(kReflect + message);
  if (!e) return false;
  MessageCall call;
  call.message = message;
  call.wParam = wParam;
  call.lParam = lParam;
  e->thunk(*this, call);
  if (!call.handled) return false;
  *result = call.result;
  return true;
}

bool CWindow::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommandMessage(wParam, lParam)) {
      *result = 0;
      return true;
    }
    return false;
  }
  if (IsReflected(message)) {
    CWindow* child = FromHandle(ReflectionSource(hwnd_, message, wParam, lParam));
    if (child && child != this && child->OnChildNotify(message, wParam, lParam, result)) return true;
  }
  if (message == WM_NOTIFY) {
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (!nm) return false;
    const MessageEntry* e = FindNotifyEntry(nm->code, static_cast<UINT>(nm->idFrom));
    if (!e) return false;
    MessageCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    call.id = static_cast<UINT>(nm->idFrom);
    e->thunk(*this, call);
    *result = call.result;
    return true;
  }
  const MessageEntry* e = FindMessageEntry(message);
  if (!e) return false;
  MessageCall call;
  call.message = message;
  call.wParam = wParam;
  call.lParam = lParam;
  e->thunk(*this, call);
  if (!call.handled) return false;
  *result = call.result;
  return true;
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  // A subclassed control keeps its own creation, painting and sizing.
  if (oldProc_) return Default(message, wParam, lParam);
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
    if (self && !FromHandle(hwnd)) {
      self->Attach(hwnd);
    } else {
      self = FromHandle(hwnd);
    }
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);

  if (message == WM_NCDESTROY) {
    LRESULT r = self->WindowProc(message, wParam, lParam);
    if (self->oldProc_) {
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->oldProc_));
      self->oldProc_ = nullptr;
    }
    self->Detach();
    self->PostNcDestroy();
    return r;
  }
  return self->WindowProc(message, wParam, lParam);
}

int CWindow::RunModalLoop() {
  inModal_ = true;
  modalDone_ = false;
  modalResult_ = -1;
  bool idle = true;
  LONG idleCount = 0;
  MSG msg;
  while (!modalDone_) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      CApplication* app = TheApp();
      if (idle && app) {
        if (!app->OnIdle(idleCount++)) idle = false;
        continue;
      }
      if (modalDone_) break;
      ::WaitMessage();
      continue;
    }
    if (!PumpMessage(msg)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = -1;
      break;
    }
    idle = true;
    idleCount = 0;
  }
  inModal_ = false;
  return modalResult_;
}

void CWindow::EndModalLoop(int code) {
  modalResult_ = code;
  modalDone_ = true;
  // Wakes a loop waiting in WaitMessage.
  ::PostMessageA(hwnd_, WM_NULL, 0, 0);
}

bool PumpMessage(MSG& msg) {
  BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    if (got == -1) msg.wParam = 1;
    return false;
  }
  CApplication* app = TheApp();
  bool handled = app ? app->PreTranslate(msg) : CApplication::PreTranslateThroughWindows(msg);
  if (!handled) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace framework
