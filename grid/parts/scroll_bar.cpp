#include "grid/parts/scroll_bar.h"

#include "grid/core/grid_core.h"

CGridScrollBarBase::~CGridScrollBarBase() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CGridScrollBarBase::CreateBar(HWND grid, DWORD style, int id) {
  hwnd_ = ::CreateWindowExA(0, "SCROLLBAR", "", style, 0, 0, 0, 0, grid,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
  return hwnd_ != nullptr;
}

void CGridScrollBarBase::Move(const RECT& r, bool repaint) {
  if (hwnd_) ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void CGridScrollBarBase::Invalidate() {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool CGridVScrollBar::Create(HWND grid) { return CreateBar(grid, WS_CHILD | WS_VISIBLE | SBS_VERT, CGridCore::kVScrollId); }

bool CGridHScrollBar::Create(HWND grid) { return CreateBar(grid, WS_CHILD | WS_VISIBLE, CGridCore::kHScrollId); }

void CGridVScrollBar::Update() {
  if (!hwnd_) return;
  const CGridSheetInfo& s = grid_->Sheet();
  const int page = s.defaultRowHeight > 0 ? s.cellAreaHeight / s.defaultRowHeight : 1;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (s.lastFirstVisibleRow > 1000) {
    si.nMin = s.frozenRows;
    si.nMax = 1000;
    si.nPage = 1;
    si.nPos = static_cast<int>(s.firstVisibleRow * (1000.0 / s.lastFirstVisibleRow));
  } else {
    si.nMin = s.frozenRows;
    si.nMax = s.lastFirstVisibleRow + page - 1;
    si.nPage = static_cast<UINT>(page > 0 ? page : 1);
    si.nPos = s.firstVisibleRow;
  }
  ::SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
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
