#include "shell/frame/almacora_splitter.h"

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/core/cal_geometry.h"

#include "shell/day/flat_border.h"

void DrawFlatBorder(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
  auto frame3d = [dc](RECT r, COLORREF tl, COLORREF br) {
    HPEN a = ::CreatePen(PS_SOLID, 1, tl);
    HPEN b = ::CreatePen(PS_SOLID, 1, br);
    HGDIOBJ old = ::SelectObject(dc, a);
    ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    ::LineTo(dc, r.left, r.top);
    ::LineTo(dc, r.right - 1, r.top);
    ::SelectObject(dc, b);
    ::LineTo(dc, r.right - 1, r.bottom - 1);
    ::LineTo(dc, r.left - 1, r.bottom - 1);
    ::SelectObject(dc, old);
    ::DeleteObject(a);
    ::DeleteObject(b);
  };
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  frame3d(rect, face, face);
  RECT inner = rect;
  ::InflateRect(&inner, -1, -1);
  frame3d(inner, topLeft, bottomRight);
}

int CAlmacoraSplitter::UpdateLayoutMode() {
  int list = 0, cal = 0, minimum = 0;
  if (!GetRowInfo(0, &list, &minimum) || !GetRowInfo(1, &cal, &minimum)) return layoutMode_;
  layoutMode_ = calgeom::LayoutMode(list, cal);
  if (layoutMode_ == 0) g_Settings.LastListSize = list;
  int row = 0, col = 0;
  if (GetActivePane(&row, &col)) {
    if (layoutMode_ == 2 && row != 1) SetActivePane(1, 0);
    if (layoutMode_ != 2 && row != 0) SetActivePane(0, 0);
  }
  HWND top = ::GetAncestor(GetSafeHwnd(), GA_ROOT);
  if (HMENU menu = top ? ::GetMenu(top) : nullptr) {
    ::EnableMenuItem(menu, ID_VIEW_TODAY, MF_BYCOMMAND | (layoutMode_ == 1 ? MF_GRAYED : MF_ENABLED));
    ::DrawMenuBar(top);
  }
  return layoutMode_;
}

void CAlmacoraSplitter::OnDrawSplitter(HDC dc, SplitType type, const RECT& rect) {
  if (type == kSplitBorder && dc) {
    DrawFlatBorder(dc, rect, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  } else {
    CSplitterWindow::OnDrawSplitter(dc, type, rect);
  }
  if (type == kSplitBorder || type == kSplitBar) UpdateLayoutMode();
}
