#include "grid/celltypes/drop_list_type.h"

#include <algorithm>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"
#include "grid/parts/drop_list.h"

CGridDropListType::CGridDropListType() : list_(new CGridDropList(this)) { allowOverflow_ = false; }

CGridDropListType::~CGridDropListType() = default;

GUID CGridDropListType::GetTypeGuid() const {
  return GUID{0x6a1c2e01, 0x4d1b, 0x4f7a, {0x9b, 0x10, 0x41, 0x6c, 0x6d, 0x61, 0x06, 0x00}};
}

int CGridDropListType::AdjustEditRect(RECT* rect) {
  if (rect) rect->right -= buttonWidth_ + 1;
  return 1;
}

std::vector<std::string> CGridDropListType::SplitChoices(const char* label) {
  std::vector<std::string> out;
  if (!label) return out;
  std::string text(label);
  size_t start = 0;
  for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

bool CGridDropListType::IsListOpen() const { return list_->IsOpen(); }

HWND CGridDropListType::GetListWindow() const { return list_->GetSafeHwnd(); }

int CGridDropListType::OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) {
  if (!rect) return 0;
  if (!pressed) {
    if (!down_) return 0;
    pressed_ = down_ = false;
    Redraw(pressCol_, pressRow_);
    return 1;
  }
  const RECT b = ButtonRect(*rect);
  if (!::PtInRect(&b, pt)) return 0;
  // The press that took the focus from the open list closes it for good.
  if ((IsListOpen() && openCol_ == col && openRow_ == row) || openCol_ == kJustClosed) {
    if (IsListOpen()) ::SetFocus(grid_->GetPartWindow(CGridCore::kCellAreaId));
    openCol_ = openRow_ = kNone;
    return 1;
  }
  // The list opens for the current cell only: when the move to the pressed
  // cell was refused (or a Shift+click only widened the selection), its
  // choices would be another cell's, and so would the cell written.
  if (!grid_ || grid_->GetCurrentColumn() != col || grid_->GetCurrentRow() != row) return 0;
  pressed_ = down_ = true;
  pressCol_ = col;
  pressRow_ = row;
  pressRect_ = b;
  Redraw(col, row);
  ShowList();
  return 1;
}

int CGridDropListType::OnDoubleClick(int col, int row, const RECT* rect, POINT pt) {
  return OnLeftClick(col, row, 1, rect, pt);
}

int CGridDropListType::OnKeyDown(int, int, UINT* key) {
  if (!key) return 0;
  if (*key == VK_RETURN || (*key == VK_DOWN && ::GetKeyState(VK_CONTROL) < 0)) {
    ShowList();
    *key = 0;
    return 1;
  }
  return 0;
}

int CGridDropListType::OnCharTyped(int, int, UINT* ch) {
  if (ch && (*ch == 13 || *ch == 40)) {
    *ch = 0;
    return 1;
  }
  return 0;
}

void CGridDropListType::OnLeaveCell(int col, int row, const CGridCell& cell) {
  openCol_ = openRow_ = kNone;
  CGridDropButtonType::OnLeaveCell(col, row, cell);
}

void CGridDropListType::OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected,
                               int current) {
  if ((cell.GetCellTypeStyle() & kNoButtonStyle) && !current) {
    CGridCellType::OnDraw(dc, col, row, rect, cell, selected, current);
    return;
  }
  CGridDropButtonType::OnDraw(dc, col, row, rect, cell, selected, current);
}

void CGridDropListType::ShowList() {
  if (!grid_ || IsListOpen()) return;
  const int col = grid_->GetCurrentColumn(), row = grid_->GetCurrentRow();
  if (col < 0 || row < 0) return;
  openCol_ = col;
  openRow_ = row;
  CGridCell cell;
  grid_->GetCell(col, row, &cell);
  std::vector<std::string> choices = SplitChoices(cell.GetLabelPtr());
  Report(col, row, kListOpening, &choices);
  HWND area = grid_->GetPartWindow(CGridCore::kCellAreaId);
  HFONT font = cell.GetFont() ? cell.GetFont() : SheetFont();
  int itemHeight = 12;
  if (font) {
    HDC dc = ::GetDC(area);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(area, dc);
    itemHeight = tm.tmHeight;
  }
  RECT r;
  if (grid_->GetCellRect(col, row, &r) != 0) return;
  ::OffsetRect(&r, 10, 0);
  const int rows = std::min(static_cast<int>(choices.size()) + 1, 16);
  r.top = r.bottom;
  r.bottom = r.top + rows * itemHeight + 2;
  RECT client;
  ::GetClientRect(area, &client);
  if (r.bottom > client.bottom) ::OffsetRect(&r, 0, -std::min<LONG>(r.bottom - client.bottom, r.top));
  if (r.right > client.right) ::OffsetRect(&r, -std::min<LONG>(r.right - client.right, r.left), 0);
  if (!list_->Open(area, r, font, itemHeight, choices)) return;
  Redraw(col, row);
}

void CGridDropListType::OnListClosed(bool chosen) {
  if (!chosen) openCol_ = openRow_ = kJustClosed;
  if (grid_) grid_->RepaintAllCells();
}

void CGridDropListType::OnListGone() {
  // The mark is for the press that took the focus from the list, handled
  // before the list goes; a list closed by Escape or a click elsewhere
  // leaves the next press on the button free to open it again.
  if (openCol_ == kJustClosed) openCol_ = openRow_ = kNone;
}

int CGridDropListType::OnChoice(const std::string& text) {
  std::string chosen = text;
  const int col = openCol_, row = openRow_;
  int result = 1;
  if (grid_ && col >= 0 && row >= 0 && Report(col, row, kItemChosen, &chosen) != 0) {
    CGridCell cell;
    grid_->GetCellData(col, row, &cell);
    cell.SetText(chosen);
    result = grid_->SetCell(col, row, cell) == 0 ? 0 : 2;
    Redraw(col, row);
  }
  openCol_ = openRow_ = kNone;
  if (grid_) ::SetFocus(grid_->GetPartWindow(CGridCore::kCellAreaId));
  return result;
}
