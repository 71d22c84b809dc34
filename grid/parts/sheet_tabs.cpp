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
  return CreatePart("AlmacoraGridTabs", WS_CHILD | WS_VISIBLE, 0, grid, CGridCore::kTabBarId);
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
