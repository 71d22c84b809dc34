#include "framework/frame_window.h"

#include <commctrl.h>

#include <cstring>

#include "framework/application.h"
#include "framework/cmd_ui.h"
#include "framework/controls/status_bar.h"
#include "framework/controls/tool_bar.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/printing/print_preview.h"

namespace framework {

namespace {
const char* const kFrameClass = "AlmacoraFrame";
}

CFrameWindow::CFrameWindow() = default;
CFrameWindow::~CFrameWindow() = default;

void CFrameWindow::AdoptPreview(std::unique_ptr<CPreviewView> preview) { preview_ = std::move(preview); }

void CFrameWindow::DropPreview() { preview_.reset(); }

void CFrameWindow::RetirePreview(CPreviewView* preview) {
  if (preview_.get() != preview) return;
  retiredPreview_ = std::move(preview_);
}

bool CFrameWindow::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    HICON icon = ::LoadIconA(cs.hInstance, MAKEINTRESOURCEA(resourceId_));
    if (!RegisterClass(cs.hInstance, kFrameClass, icon, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                       CS_DBLCLKS))
      return false;
    cs.lpszClass = kFrameClass;
  }
  return true;
}

bool CFrameWindow::LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context) {
  resourceId_ = resourceId;
  CApplication* app = TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  HMENU menu = ::LoadMenuA(inst, MAKEINTRESOURCEA(resourceId));
  accel_ = ::LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resourceId));
  CREATESTRUCTA cs{};
  cs.hInstance = inst;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.style = style;
  cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
  cs.lpszName = "";
  char title[256] = "";
  if (::LoadStringA(inst, resourceId, title, sizeof title) > 0) {
    // The document string's first field is the window title.
    char* nl = std::strchr(title, '\n');
    if (nl) *nl = '\0';
    cs.lpszName = title;
  }
  if (!PreCreateWindow(cs)) {
    if (menu) ::DestroyMenu(menu);
    return false;
  }
  context_ = context;
  bool ok = Create(cs.lpszClass, cs.lpszName, cs.style, cs.dwExStyle, cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent,
                   cs.hMenu, cs.hInstance);
  context_ = nullptr;
  return ok;
}

bool CFrameWindow::OnCreate(const CREATESTRUCTA& cs) { return OnCreateClient(cs, context_); }

bool CFrameWindow::OnCreateClient(const CREATESTRUCTA& /*cs*/, CCreateContext* context) {
  if (!context || !context->newView) return true;
  CView* view = context->newView();
  if (!view) return false;
  if (!view->CreateView(GetSafeHwnd(), kIdPaneFirst, context->document)) return false;
  return true;
}

void CFrameWindow::SetActiveView(CView* view) {
  activeView_ = view;
  if (view && view->GetSafeHwnd() && ::GetActiveWindow() == GetSafeHwnd()) ::SetFocus(view->GetSafeHwnd());
}

void CFrameWindow::InitialUpdateFrame(CDocument* document, bool makeVisible) {
  if (document) {
    for (CView* v : document->GetViews()) v->OnInitialUpdate();
    if (!activeView_ && !document->GetViews().empty()) activeView_ = document->GetViews().front();
  }
  RecalcLayout();
  if (makeVisible) {
    CApplication* app = TheApp();
    int show = app ? app->GetShowCommand() : SW_SHOWNORMAL;
    ::ShowWindow(GetSafeHwnd(), show);
    if (show != SW_HIDE) ::UpdateWindow(GetSafeHwnd());
  }
}

bool CFrameWindow::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
  if (activeView_ && activeView_->OnCmdMsg(id, code, ui)) return true;
  if (CWindow::OnCmdMsg(id, code, ui)) return true;
  CApplication* app = TheApp();
  return app && app->OnCmdMsg(id, code, ui);
}

bool CFrameWindow::PreTranslateMessage(MSG& msg) {
  if (preview_) return false;
  if (accel_ && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
    return ::TranslateAcceleratorA(GetSafeHwnd(), accel_, &msg) != 0;
  return false;
}

void CFrameWindow::OnIdleUpdateCmdUI() {
  if (!toolBar_ || !toolBar_->GetSafeHwnd() || !(::GetWindowLongA(toolBar_->GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE))
    return;
  int n = toolBar_->GetButtonCount();
  for (int i = 0; i < n; ++i) {
    UINT id = toolBar_->GetButtonId(i);
    if (id == 0) continue;
    CCmdUI ui;
    ui.id = id;
    ui.index = static_cast<UINT>(i);
    ui.toolBar = toolBar_->GetSafeHwnd();
    ui.DoUpdate(*this, true);
  }
}

void CFrameWindow::OnInitMenuPopup(HMENU popup, UINT /*index*/, BOOL systemMenu) {
  if (systemMenu || !popup) return;
  int n = ::GetMenuItemCount(popup);
  for (int i = 0; i < n; ++i) {
    UINT id = ::GetMenuItemID(popup, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and sub-menus
    CCmdUI ui;
    ui.id = id;
    ui.index = static_cast<UINT>(i);
    ui.menu = popup;
    ui.DoUpdate(*this, true);
  }
}

bool CFrameWindow::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (CWindow::OnWndMsg(message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
      *result = 0;
      return true;
    case WM_SETFOCUS:
      if (activeView_ && activeView_->GetSafeHwnd()) {
        ::SetFocus(activeView_->GetSafeHwnd());
        *result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CFrameWindow::RecalcLayout() {
  RECT rc;
  if (!GetSafeHwnd()) return;
  ::GetClientRect(GetSafeHwnd(), &rc);
  if (preview_) {
    preview_->Layout(rc);
    return;
  }
  // The bar's own style: the frame itself may not be shown yet.
  if (toolBar_ && toolBar_->GetSafeHwnd() && (::GetWindowLongA(toolBar_->GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE)) {
    toolBar_->SendMsg(TB_AUTOSIZE);
    RECT tr;
    ::GetWindowRect(toolBar_->GetSafeHwnd(), &tr);
    rc.top += tr.bottom - tr.top;
  }
  if (statusBar_ && statusBar_->GetSafeHwnd()) {
    statusBar_->SendMsg(WM_SIZE, 0, 0);
    RECT sr;
    ::GetWindowRect(statusBar_->GetSafeHwnd(), &sr);
    rc.bottom -= sr.bottom - sr.top;
  }
  HWND pane = ::GetDlgItem(GetSafeHwnd(), static_cast<int>(kIdPaneFirst));
  if (pane) {
    ::MoveWindow(pane, rc.left, rc.top, rc.right - rc.left, rc.bottom > rc.top ? rc.bottom - rc.top : 0, TRUE);
  }
}

void CFrameWindow::OnSize(UINT type, int /*cx*/, int /*cy*/) {
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWindow::OnDestroy() {
  CApplication* app = TheApp();
  if (!app || !app->GetMainWindow() || app->GetMainWindow() == GetSafeHwnd()) ::PostQuitMessage(0);
  if (app && app->GetMainWindow() == GetSafeHwnd()) app->SetMainWindow(nullptr);
}

void CFrameWindow::PostNcDestroy() {
  activeView_ = nullptr;
  preview_.reset();
  retiredPreview_.reset();
  if (autoDelete_) delete this;
}

}  // namespace framework
