#include "shell/calendar/cal_frame.h"

#include "framework/application.h"
#include "framework/docview/view.h"
#include "model/settings/program_settings.h"
#include "shell/calendar/cal_view.h"
#include "shell/day/splitter_view.h"

namespace {
const char* const kCalFrameClass = "AlmacoraCalFrame";

void Place(framework::CView* view, UINT id, bool shown) {
  if (!view || !view->GetSafeHwnd()) return;
  ::SetWindowLongPtrA(view->GetSafeHwnd(), GWLP_ID, static_cast<LONG_PTR>(id));
  ::ShowWindow(view->GetSafeHwnd(), shown ? SW_SHOW : SW_HIDE);
}
}  // namespace

bool CCalFrame::CreatePane(HWND parent, UINT id, framework::CCreateContext* context) {
  framework::CApplication* app = framework::TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kCalFrameClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), CS_DBLCLKS))
    return false;
  SetAutoDelete(true);
  context_ = context;
  bool ok = Create(kCalFrameClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, parent,
                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst);
  context_ = nullptr;
  return ok;
}

bool CCalFrame::OnCreateClient(const CREATESTRUCTA& /*cs*/, framework::CCreateContext* /*unused*/) {
  document_ = context_ ? context_->document : nullptr;
  calView_ = new CCalView;
  if (!calView_->CreateView(GetSafeHwnd(), kCalViewId, document_)) {
    delete calView_;
    calView_ = nullptr;
    return false;
  }
  // The day layout is made when first shown: most starts show the month,
  // and its panes took a tenth of the start.
  if (g_Settings.CalMode == 2 && CreateSplitterView()) {
    Place(splitterView_, framework::kIdPaneFirst, true);
    Place(calView_, kCalViewId, false);
    SetActiveView(splitterView_);
    current_ = 2;
  } else {
    Place(calView_, framework::kIdPaneFirst, true);
    SetActiveView(calView_);
    current_ = 1;
  }
  RecalcLayout();
  return true;
}

bool CCalFrame::CreateSplitterView() {
  if (splitterView_) return true;
  auto* view = new CSplitterView;
  if (!view->CreateView(GetSafeHwnd(), kSplitterViewId, document_)) {
    delete view;
    return false;
  }
  splitterView_ = view;
  Place(splitterView_, kSplitterViewId, false);
  return true;
}

void CCalFrame::SwitchView(int view) {
  if ((view != 1 && view != 2) || view == current_) return;
  const bool made = view == 2 && !splitterView_;
  if (view == 2 && !CreateSplitterView()) return;
  // A view made after the start is brought up to date as the others were.
  if (made) splitterView_->OnInitialUpdate();
  framework::CView* show = view == 1 ? static_cast<framework::CView*>(calView_) : splitterView_;
  framework::CView* hide = view == 1 ? static_cast<framework::CView*>(splitterView_) : calView_;
  if (!show) return;
  SetActiveView(show);
  Place(show, framework::kIdPaneFirst, true);
  Place(hide, view == 1 ? kSplitterViewId : kCalViewId, false);
  current_ = view;
  RecalcLayout();
}

void CCalFrame::OnDestroy() {
  // A child frame: the program goes on.
}

bool CCalFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_NCCALCSIZE) {
    // The client is shrunk by twice the border on every side.
    auto* r = reinterpret_cast<RECT*>(lParam);
    const int bx = 2 * ::GetSystemMetrics(SM_CXBORDER), by = 2 * ::GetSystemMetrics(SM_CYBORDER);
    r->left += bx;
    r->right -= bx;
    r->top += by;
    r->bottom -= by;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
    *result = 0;
    return true;
  }
  if (message == WM_NCPAINT) {
    // The band the client gave up is ours to paint (the window has no
    // border style the system would draw there).
    HDC dc = ::GetWindowDC(GetSafeHwnd());
    RECT w, c;
    ::GetWindowRect(GetSafeHwnd(), &w);
    ::GetClientRect(GetSafeHwnd(), &c);
    ::MapWindowPoints(GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&c), 2);
    ::OffsetRect(&c, -w.left, -w.top);
    ::ExcludeClipRect(dc, c.left, c.top, c.right, c.bottom);
    RECT all{0, 0, w.right - w.left, w.bottom - w.top};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::ReleaseDC(GetSafeHwnd(), dc);
    *result = 0;
    return true;
  }
  if (message == WM_SETFOCUS) {
    if (GetActiveView() && GetActiveView()->GetSafeHwnd()) ::SetFocus(GetActiveView()->GetSafeHwnd());
    *result = 0;
    return true;
  }
  return CFrameWindow::OnWndMsg(message, wParam, lParam, result);
}
