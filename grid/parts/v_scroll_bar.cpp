#include "grid/parts/v_scroll_bar.h"

#include <string>

#include "grid/core/grid_core.h"
#include "grid/parts/hint_wnd.h"

bool CGridVScrollBar::Create(HWND grid) {
  return CreateBar(grid, WS_CHILD | WS_VISIBLE | SBS_VERT, CGridCore::kVScrollId,
                   CGridCore::kPartVScroll);
}

int CGridVScrollBar::RowForPosition(int position) const {
  return static_cast<int>(position * posToRow_) + grid_->Sheet().frozenRows;
}

void CGridVScrollBar::Update() {
  if (!hwnd_) return;
  const CGridSheetInfo& s = grid_->Sheet();
  const int limit = s.lastFirstVisibleRow;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  if (limit != lastLimit_ || s.vScrollMode != lastMode_ || s.frozenRows != lastFrozen_) {
    lastLimit_ = limit;
    lastMode_ = s.vScrollMode;
    lastFrozen_ = s.frozenRows;
    lastFirst_ = -2;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (s.vScrollMode == 2) {
      rowToPos_ = posToRow_ = 1.0;
      si.nMin = 0;
      si.nMax = 2;
      si.nPage = limit > 1000 ? 1 : 0;
    } else if (limit > 1000) {
      rowToPos_ = 1000.0 / limit;
      posToRow_ = limit * 0.001;
      si.nMin = s.frozenRows;
      si.nMax = 1000;
      si.nPage = 1;
    } else {
      rowToPos_ = posToRow_ = 1.0;
      const int page = s.defaultRowHeight > 0 ? s.cellAreaHeight / s.defaultRowHeight : 1;
      si.nMin = s.frozenRows;
      si.nMax = limit + page - 1;
      si.nPage = static_cast<UINT>(page > 0 ? page : 0);
    }
    ::SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
  }
  if (s.firstVisibleRow != lastFirst_) {
    lastFirst_ = s.firstVisibleRow;
    si.fMask = SIF_POS;
    si.nPos = s.vScrollMode == 2 ? 1 : static_cast<int>(s.firstVisibleRow * rowToPos_);
    ::SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
  }
}

void CGridVScrollBar::OnScroll(int code, int position) {
  const CGridSheetInfo& s = grid_->Sheet();
  const int movement = MovementFor(code);
  if (movement >= 0) {
    grid_->ScrollRows(movement);
    return;
  }
  if (s.vScrollMode == 2) {
    // The three-position scroller: the thumb pushed up or down moves the
    // view by a row and springs back to the middle; it never stands for
    // a row of its own.
    if (code != SB_THUMBPOSITION) return;
    if (position != 1) grid_->ScrollRows(position < 1 ? CGridCore::kPrev : CGridCore::kNext);
    ::SetScrollPos(hwnd_, SB_CTL, 1, TRUE);
    return;
  }
  switch (code) {
    case SB_THUMBPOSITION:
      if (s.vThumbTipOption && grid_->GetHintWindow()) grid_->GetHintWindow()->Hide();
      grid_->SetFirstVisibleRow(RowForPosition(position));
      break;
    case SB_THUMBTRACK: {
      trackRow_ = RowForPosition(position);
      if (s.vScrollMode == 1) grid_->SetFirstVisibleRow(trackRow_);
      if (s.vThumbTipOption) {
        std::string text;
        grid_->OnVScrollThumbText(trackRow_, &text);
        RECT bar;
        POINT mouse;
        BarAndMouse(&bar, &mouse);
        ShowThumbText(text.c_str(), 0x22, bar.left - 1, mouse.y, 40);
      }
      break;
    }
    default: break;
  }
}
