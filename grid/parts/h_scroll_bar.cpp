#include "grid/parts/h_scroll_bar.h"

#include <string>

#include "grid/core/grid_core.h"
#include "grid/parts/hint_wnd.h"

bool CGridHScrollBar::Create(HWND grid) {
  return CreateBar(grid, WS_CHILD | WS_VISIBLE, CGridCore::kHScrollId,
                   CGridCore::kPartHScroll);
}

void CGridHScrollBar::Update() {
  if (!hwnd_) return;
  const CGridSheetInfo& s = grid_->Sheet();
  const int page = s.defaultColWidth > 0 ? (s.cellAreaWidth - s.frozenWidth) / s.defaultColWidth : 1;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = s.lastFirstVisibleCol + page - s.frozenCols - 1;
  si.nPage = static_cast<UINT>(page > 0 ? page : 1);
  si.nPos = s.firstVisibleCol - s.frozenCols;
  ::SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
}

void CGridHScrollBar::OnScroll(int code, int position) {
  const CGridSheetInfo& s = grid_->Sheet();
  const int movement = MovementFor(code);
  if (movement >= 0) {
    grid_->ScrollColumns(movement);
    return;
  }
  switch (code) {
    case SB_THUMBPOSITION:
      if (s.hThumbTipOption && grid_->GetHintWindow()) grid_->GetHintWindow()->Hide();
      grid_->SetFirstVisibleColumn(position + s.frozenCols);
      break;
    case SB_THUMBTRACK: {
      trackCol_ = position + s.frozenCols;
      if (s.hScrollMode == 1) grid_->SetFirstVisibleColumn(trackCol_);
      if (s.hThumbTipOption) {
        std::string text;
        grid_->OnHScrollThumbText(trackCol_, &text);
        RECT bar;
        POINT mouse;
        BarAndMouse(&bar, &mouse);
        ShowThumbText(text.c_str(), 0x14, mouse.x, bar.top - 1, 20);
      }
      break;
    }
    default: break;
  }
}
