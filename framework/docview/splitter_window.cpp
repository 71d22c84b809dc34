#include "framework/docview/splitter_window.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/docview/view.h"

namespace framework {

namespace {
const char* const kSplitterClass = "AlmacoraSplitter";
constexpr int kShownBorder = 2 * CSplitterWindow::kBorder;

CFrameWindow* TopFrame(HWND from) {
  HWND top = ::GetAncestor(from, GA_ROOT);
  return dynamic_cast<CFrameWindow*>(CWindow::FromHandle(top));
}
}  // namespace

bool CSplitterWindow::CreateStatic(HWND parent, int rows, int cols, DWORD style, UINT id) {
  if (rows < 1 || rows > 16 || cols < 1 || cols > 16) return false;
  rows_.assign(static_cast<size_t>(rows), Info());
  cols_.assign(static_cast<size_t>(cols), Info());
  panes_.assign(static_cast<size_t>(rows), std::vector<CWindow*>(static_cast<size_t>(cols), nullptr));
  CApplication* app = TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kSplitterClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                     CS_DBLCLKS))
    return false;
  return Create(kSplitterClass, "", style | WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, parent,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst);
}

bool CSplitterWindow::CreateView(int row, int col, CWindow* pane, SIZE size, CCreateContext* context) {
  if (!pane || row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount() || !GetSafeHwnd()) return false;
  const UINT id = IdFromRowCol(row, col);
  bool ok = false;
  if (auto* custom = dynamic_cast<ISplitterPane*>(pane)) {
    ok = custom->CreatePane(GetSafeHwnd(), id, context);
  } else if (auto* view = dynamic_cast<CView*>(pane)) {
    ok = view->CreateView(GetSafeHwnd(), id, context ? context->document : nullptr);
  }
  if (!ok) return false;
  panes_[static_cast<size_t>(row)][static_cast<size_t>(col)] = pane;
  rows_[static_cast<size_t>(row)].ideal = std::max<int>(size.cy, 0);
  cols_[static_cast<size_t>(col)].ideal = std::max<int>(size.cx, 0);
  return true;
}

HWND CSplitterWindow::GetPane(int row, int col) const {
  return GetSafeHwnd() ? ::GetDlgItem(GetSafeHwnd(), static_cast<int>(IdFromRowCol(row, col))) : nullptr;
}

CWindow* CSplitterWindow::GetPaneObject(int row, int col) const {
  if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount()) return nullptr;
  return FromHandle(GetPane(row, col));
}

bool CSplitterWindow::GetRowInfo(int row, int* current, int* minimum) const {
  if (row < 0 || row >= GetRowCount()) return false;
  *current = rows_[static_cast<size_t>(row)].current;
  *minimum = rows_[static_cast<size_t>(row)].minimum;
  return true;
}

bool CSplitterWindow::GetColumnInfo(int col, int* current, int* minimum) const {
  if (col < 0 || col >= GetColumnCount()) return false;
  *current = cols_[static_cast<size_t>(col)].current;
  *minimum = cols_[static_cast<size_t>(col)].minimum;
  return true;
}

void CSplitterWindow::SetRowInfo(int row, int ideal, int minimum) {
  if (row < 0 || row >= GetRowCount()) return;
  rows_[static_cast<size_t>(row)].ideal = std::max(ideal, 0);
  rows_[static_cast<size_t>(row)].minimum = std::max(minimum, 0);
}

void CSplitterWindow::SetColumnInfo(int col, int ideal, int minimum) {
  if (col < 0 || col >= GetColumnCount()) return;
  cols_[static_cast<size_t>(col)].ideal = std::max(ideal, 0);
  cols_[static_cast<size_t>(col)].minimum = std::max(minimum, 0);
}

void CSplitterWindow::Lay(std::vector<Info>& infos, int total) {
  int left = std::max(total, 0);
  const size_t n = infos.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    Info& r = infos[i];
    int cur = r.ideal >= r.minimum ? r.ideal : 0;
    if (cur > 0) cur = std::min(cur, std::max(left - kShownBorder, 0));
    r.current = cur;
    left -= cur > 0 ? cur + kShownBorder : 0;
    left = std::max(left - kBarSize, 0);
  }
  Info& last = infos[n - 1];
  last.current = std::max(left - kShownBorder, 0);
  if (n > 1 && (last.current < last.minimum || last.current == 0)) {
    for (size_t i = n - 1; i-- > 0;) {
      if (infos[i].current > 0) {
        infos[i].current += left;
        last.current = 0;
        break;
      }
    }
  }
  int at = 0;
  for (size_t i = 0; i < n; ++i) {
    infos[i].start = at;
    if (infos[i].current > 0 || (i + 1 == n && n == 1)) at += infos[i].current + kShownBorder;
    if (i + 1 < n) at += kBarSize;
  }
}

int CSplitterWindow::BarPos(const std::vector<Info>& infos, int index) {
  const Info& r = infos[static_cast<size_t>(index)];
  return r.start + (r.current > 0 ? r.current + kShownBorder : 0);
}

void CSplitterWindow::RecalcLayout() {
  if (!GetSafeHwnd() || rows_.empty()) return;
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  Lay(rows_, rc.bottom);
  Lay(cols_, rc.right);
  for (int r = 0; r < GetRowCount(); ++r) {
    for (int c = 0; c < GetColumnCount(); ++c) {
      HWND pane = GetPane(r, c);
      if (!pane) continue;
      const Info& ri = rows_[static_cast<size_t>(r)];
      const Info& ci = cols_[static_cast<size_t>(c)];
      if (ri.current > 0 && ci.current > 0) {
        ::MoveWindow(pane, ci.start + kBorder, ri.start + kBorder, ci.current, ri.current, TRUE);
        ::ShowWindow(pane, SW_SHOWNA);
      } else {
        ::ShowWindow(pane, SW_HIDE);
      }
    }
  }
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

bool CSplitterWindow::GetActivePane(int* row, int* col) const {
  if (rows_.empty()) return false;
  *row = activeRow_;
  *col = activeCol_;
  return true;
}

void CSplitterWindow::SetActivePane(int row, int col) {
  if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount()) return;
  activeRow_ = row;
  activeCol_ = col;
  CWindow* pane = GetPaneObject(row, col);
  CView* view = dynamic_cast<CView*>(pane);
  if (!view) {
    if (auto* frame = dynamic_cast<CFrameWindow*>(pane)) view = frame->GetActiveView();
  }
  if (CFrameWindow* top = TopFrame(GetSafeHwnd())) {
    if (view) top->SetActiveView(view);
  } else if (pane && pane->GetSafeHwnd()) {
    ::SetFocus(pane->GetSafeHwnd());
  }
}

void CSplitterWindow::OnDrawSplitter(HDC dc, SplitType type, const RECT& rect) {
  if (!dc) {
    ::InvalidateRect(GetSafeHwnd(), &rect, TRUE);
    return;
  }
  if (type == kSplitBorder) {
    RECT r = rect;
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    return;
  }
  ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
}

void CSplitterWindow::OnPaint(HDC dc, const PAINTSTRUCT& /*ps*/) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  for (int r = 0; r + 1 < GetRowCount(); ++r) {
    const int y = BarPos(rows_, r);
    OnDrawSplitter(dc, kSplitBar, RECT{rc.left, y, rc.right, y + kBarSize});
  }
  for (int c = 0; c + 1 < GetColumnCount(); ++c) {
    const int x = BarPos(cols_, c);
    OnDrawSplitter(dc, kSplitBar, RECT{x, rc.top, x + kBarSize, rc.bottom});
  }
  for (const Info& ri : rows_) {
    if (ri.current <= 0) continue;
    for (const Info& ci : cols_) {
      if (ci.current <= 0) continue;
      OnDrawSplitter(dc, kSplitBorder,
                     RECT{ci.start, ri.start, ci.start + ci.current + kShownBorder, ri.start + ri.current + kShownBorder});
    }
  }
}

void CSplitterWindow::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) { RecalcLayout(); }

int CSplitterWindow::BarAt(const std::vector<Info>& infos, int at) const {
  for (int i = 0; i + 1 < static_cast<int>(infos.size()); ++i) {
    const int p = BarPos(infos, i);
    if (at >= p && at < p + kBarSize) return i;
  }
  return -1;
}

void CSplitterWindow::DropBar(bool vertical, int index, int at) {
  std::vector<Info>& infos = vertical ? rows_ : cols_;
  if (index < 0 || index + 1 >= static_cast<int>(infos.size())) return;
  Info& above = infos[static_cast<size_t>(index)];
  const int wanted = std::max(at - above.start - kShownBorder, 0);
  const int diff = wanted - above.current;
  above.ideal = wanted;
  if (index + 2 < static_cast<int>(infos.size())) {
    Info& next = infos[static_cast<size_t>(index + 1)];
    next.ideal = std::max(next.current - diff, 0);
  }
  RecalcLayout();
}

void CSplitterWindow::DrawTracker() {
  if (!GetSafeHwnd()) return;
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  RECT bar = trackVertical_ ? RECT{rc.left, trackPos_, rc.right, trackPos_ + kBarSize}
                            : RECT{trackPos_, rc.top, trackPos_ + kBarSize, rc.bottom};
  HDC dc = ::GetDCEx(GetSafeHwnd(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  ::PatBlt(dc, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, DSTINVERT);
  ::ReleaseDC(GetSafeHwnd(), dc);
  trackerShown_ = !trackerShown_;
}

void CSplitterWindow::StartTracking(bool vertical, int index, int at) {
  tracking_ = true;
  trackVertical_ = vertical;
  trackIndex_ = index;
  trackPos_ = at;
  ::SetCapture(GetSafeHwnd());
  ::SetFocus(GetSafeHwnd());
  DrawTracker();
}

void CSplitterWindow::EndTracking(bool accept) {
  if (!tracking_) return;
  if (trackerShown_) DrawTracker();
  tracking_ = false;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
  if (accept) DropBar(trackVertical_, trackIndex_, trackPos_);
}

void CSplitterWindow::DoKeyboardSplit() {
  if (tracking_) return;
  if (GetRowCount() > 1) {
    StartTracking(true, 0, BarPos(rows_, 0));
  } else if (GetColumnCount() > 1) {
    StartTracking(false, 0, BarPos(cols_, 0));
  }
}

bool CSplitterWindow::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  switch (message) {
    case WM_LBUTTONDOWN: {
      int i = BarAt(rows_, y);
      if (i >= 0) {
        StartTracking(true, i, y);
      } else if ((i = BarAt(cols_, x)) >= 0) {
        StartTracking(false, i, x);
      }
      *result = 0;
      return true;
    }
    case WM_MOUSEMOVE:
      if (tracking_) {
        if (trackerShown_) DrawTracker();
        trackPos_ = std::max(trackVertical_ ? y : x, 0);
        DrawTracker();
      }
      *result = 0;
      return true;
    case WM_LBUTTONUP:
      if (tracking_) {
        trackPos_ = std::max(trackVertical_ ? y : x, 0);
        EndTracking(true);
      }
      *result = 0;
      return true;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      if (tracking_ && (message == WM_CANCELMODE || reinterpret_cast<HWND>(lParam) != GetSafeHwnd())) {
        EndTracking(false);
      }
      return false;
    case WM_KEYDOWN:
      if (!tracking_) return false;
      switch (wParam) {
        case VK_RETURN: EndTracking(true); break;
        case VK_ESCAPE: EndTracking(false); break;
        case VK_UP:
        case VK_LEFT:
        case VK_DOWN:
        case VK_RIGHT: {
          const int step = (::GetKeyState(VK_CONTROL) < 0) ? 1 : 15;
          const bool back = wParam == VK_UP || wParam == VK_LEFT;
          if (trackerShown_) DrawTracker();
          trackPos_ = std::max(trackPos_ + (back ? -step : step), 0);
          DrawTracker();
          break;
        }
        default: break;
      }
      *result = 0;
      return true;
    case WM_SETCURSOR: {
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(GetSafeHwnd(), &pt);
      const bool onRow = BarAt(rows_, pt.y) >= 0;
      const bool onCol = BarAt(cols_, pt.x) >= 0;
      if (reinterpret_cast<HWND>(wParam) == GetSafeHwnd() && (onRow || onCol || tracking_)) {
        ::SetCursor(::LoadCursor(nullptr, (tracking_ ? trackVertical_ : onRow) ? IDC_SIZENS : IDC_SIZEWE));
        *result = TRUE;
        return true;
      }
      return false;
    }
    case WM_ERASEBKGND:
      *result = 1;
      {
        RECT rc;
        ::GetClientRect(GetSafeHwnd(), &rc);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rc, ::GetSysColorBrush(COLOR_BTNFACE));
      }
      return true;
    default:
      break;
  }
  return CWindow::OnWndMsg(message, wParam, lParam, result);
}

}  // namespace framework
