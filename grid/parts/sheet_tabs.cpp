#include "grid/parts/sheet_tabs.h"

#include "grid/core/grid_core.h"

CGridSheetTabs::CGridSheetTabs(CGridCore* grid)
    : CGridPartWindow(grid),
      leftMargin_(2 * ::GetSystemMetrics(SM_CXHSCROLL)),
      font_(::CreateFontA(14, 0, 0, 0, 500, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial")) {}

CGridSheetTabs::~CGridSheetTabs() {
  if (font_) ::DeleteObject(font_);
}

bool CGridSheetTabs::CreateBar(HWND grid) {
  if (!CreatePart("AlmacoraGridTabs", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kTabBarId)) return false;
  scrollBar_ = ::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE, 0, 1, leftMargin_, 0, GetSafeHwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(100)), ::GetModuleHandleA(nullptr),
                                 nullptr);
  return scrollBar_ != nullptr;
}

LRESULT CGridSheetTabs::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_ERASEBKGND: return 1;   // the paint covers every pixel
    case WM_LBUTTONDOWN: OnButtonDown(pt); return 0;
    case WM_MOUSEMOVE: OnMouseMove(pt); return 0;
    case WM_LBUTTONUP:
      splitting_ = false;
      if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED: splitting_ = false; return 0;
    case WM_RBUTTONDOWN: OnRightButton(pt); return 0;
    case WM_HSCROLL: OnScroll(LOWORD(wParam)); return 0;
    case WM_SETCURSOR:
      ::SetCursor(splitterHot_ || splitting_ ? grid_->Sheet().sizeWECursor : grid_->Sheet().arrowCursor);
      return TRUE;
    default: return CGridPartWindow::WindowProc(message, wParam, lParam);
  }
}

void CGridSheetTabs::OnSize(UINT, int, int cy) {
  if (scrollBar_) ::MoveWindow(scrollBar_, 0, 1, leftMargin_, cy > 1 ? cy - 1 : 0, TRUE);
  RecomputeMax();
}

int CGridSheetTabs::TabLeft(int index) const {
  if (index < 0 || index >= TabCount()) return -1;
  int x = leftMargin_ - offset_;
  for (int i = 0; i < index; ++i) x += tabs_[static_cast<size_t>(i)].width;
  return x;
}

int CGridSheetTabs::TabAt(int x) const {
  int left = leftMargin_ - offset_;
  for (int i = 0; i < TabCount(); ++i) {
    const int right = left + tabs_[static_cast<size_t>(i)].width;
    if (x >= left && x <= right + 2) return i;
    left = right;
  }
  return -1;
}

void CGridSheetTabs::OnButtonDown(POINT pt) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  if (client.right - pt.x <= 7) {
    splitting_ = true;
    ::SetCapture(GetSafeHwnd());
    return;
  }
  const int i = TabAt(pt.x);
  if (i < 0) return;
  selected_ = i;
  // Into view: not left of the margin + 5, its right edge + 19 inside.
  const int left = TabLeft(i), right = left + tabs_[static_cast<size_t>(i)].width;
  if (left < leftMargin_ + 5) offset_ -= leftMargin_ + 5 - left;
  else if (right + 19 > client.right) offset_ += right + 19 - client.right;
  if (offset_ < 0) offset_ = 0;
  UpdateScrollBar();
  Invalidate();
  grid_->OnSheetTabClicked(tabs_[static_cast<size_t>(i)].value);
}

void CGridSheetTabs::OnMouseMove(POINT pt) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  if (splitting_) {
    RECT grid;
    ::GetClientRect(grid_->GetSafeHwnd(), &grid);
    int width = pt.x;
    if (width > grid.right - 15) width = grid.right - 15;
    if (width < 5) width = 5;
    grid_->SetTabBarWidth(width);
    return;
  }
  splitterHot_ = client.right - pt.x <= 7;
}

void CGridSheetTabs::OnRightButton(POINT pt) {
  if (!grid_->Sheet().popupMenuOption) return;
  POINT screen = pt;
  ::ClientToScreen(GetSafeHwnd(), &screen);
  grid_->ShowPopupMenu(TabAt(pt.x), 0, screen, CGridCore::kPartTabBar);
}

void CGridSheetTabs::OnScroll(int code) {
  if (code == SB_LINELEFT && offset_ > 0) offset_ = offset_ > 5 ? offset_ - 5 : 0;
  if (code == SB_LINERIGHT && offset_ < maxOffset_ - 5) offset_ += 5;
  UpdateScrollBar();
  Invalidate();
}

void CGridSheetTabs::UpdateScrollBar() {
  // The bar's arrows answer only over a range: the tabs' overflow.
  if (!scrollBar_) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = maxOffset_;
  si.nPos = offset_;
  ::SetScrollInfo(scrollBar_, SB_CTL, &si, TRUE);
}

int CGridSheetTabs::AddTab(const std::string& label, int value) {
  if (TabCount() >= kMaxTabs) return 1;
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = font_ ? ::SelectObject(dc, font_) : nullptr;
  SIZE ext{};
  ::GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &ext);
  if (old) ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  tabs_.push_back(Tab{label, ext.cx + 10, value, ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_BTNFACE)});
  RecomputeMax();
  Invalidate();
  return 0;
}

void CGridSheetTabs::RecomputeMax() {
  int sum = leftMargin_;
  for (const Tab& t : tabs_) sum += t.width;
  RECT client{};
  if (GetSafeHwnd()) ::GetClientRect(GetSafeHwnd(), &client);
  const int over = sum - client.right;
  maxOffset_ = over > 0 ? over + 20 : 0;
  UpdateScrollBar();
}

void CGridSheetTabs::OnPaint(HDC dc, const PAINTSTRUCT&) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  FillBackground(dc, client, ::GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldFont = font_ ? ::SelectObject(dc, font_) : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  std::vector<int> lefts;
  int x = leftMargin_ - offset_;
  for (const Tab& t : tabs_) {
    lefts.push_back(x);
    x += t.width;
  }
  auto drawTab = [&](int i, COLORREF back) {
    const Tab& t = tabs_[static_cast<size_t>(i)];
    const int left = lefts[static_cast<size_t>(i)], right = left + t.width;
    POINT pts[4] = {{left, client.top}, {left + 7, client.bottom - 1}, {right + 2, client.bottom - 1},
                    {right + 9, client.top}};
    HBRUSH brush = ::CreateSolidBrush(back);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    ::Polygon(dc, pts, 4);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
    ::SetTextColor(dc, t.textColor);
    ::TextOutA(dc, left + 10, client.top + 1, t.label.c_str(), static_cast<int>(t.label.size()));
  };
  for (int i = 0; i < TabCount(); ++i) {
    if (i != selected_) drawTab(i, tabs_[static_cast<size_t>(i)].backColor);
  }
  if (selected_ < TabCount()) drawTab(selected_, 0xFFFFFF);
  if (oldFont) ::SelectObject(dc, oldFont);
}
