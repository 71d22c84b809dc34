#include "dialogs/options/type_list_grid.h"

namespace options {

HFONT CreateDialogGridFont() {
  return ::CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

int DialogGridRowHeight(HWND window, HFONT font) {
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return static_cast<int>(tm.tmHeight * 1.1);
}

CTypeListGrid::~CTypeListGrid() {
  if (GetSafeHwnd()) ::DestroyWindow(GetSafeHwnd());
  if (font_) ::DeleteObject(font_);
}

bool CTypeListGrid::Attach(HWND dialog, int id) {
  parent_ = dialog;
  if (CreateFromDialogItem(dialog, id) != 0) return false;
  font_ = CreateDialogGridFont();
  SetDefaultFont(font_);
  SetColumnCount(1, 0);
  SetColumnWidth(0, 200);
  SetTopHeadingHeight(0);
  SetSideHeadingWidth(0);
  SetHScrollHeight(0);
  ShowGridLines(0);
  SetUniformRowHeight(1);
  SetDefaultRowHeight(DialogGridRowHeight(GetSafeHwnd(), font_));
  SelectWholeRows(1);
  SetHighlightStyle(1);
  CGridCell cell;
  cell.SetBackColor(RGB(255, 255, 255));
  cell.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  cell.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
  cell.SetSelectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  cell.SetText("");
  cell.SetBorder(0);
  cell.SetAlignment(0x21);
  SetDefaultCell(cell);
  AdjustLayout();
  return true;
}

void CTypeListGrid::ShowRows(const std::vector<TypeRow>& rows) {
  int current = GetRowCount() > 0 ? GetCurrentRow() : 0;
  SetRowCount(static_cast<int>(rows.size()), 0);
  for (size_t i = 0; i < rows.size(); ++i) {
    int r = static_cast<int>(i);
    SetCellText(0, r, rows[i].name);
    SetCellTextColor(0, r, rows[i].color);
  }
  if (!rows.empty() && current >= static_cast<int>(rows.size())) MoveToRow(static_cast<int>(rows.size()) - 1);
  RedrawAll();
}

void CTypeListGrid::SelectRow(int row) {
  if (row < 0 || row >= GetRowCount()) return;
  MoveToCell(0, row);
  // Moving to the row already current tells nobody: the parent still
  // wants to follow the selection.
  if (parent_) ::SendMessageA(parent_, WM_TYPEROWCHANGED, static_cast<WPARAM>(-1), row);
  RedrawAll();
}

void CTypeListGrid::OnCurrentRowChanged(int oldRow, int newRow) {
  if (parent_) ::SendMessageA(parent_, WM_TYPEROWCHANGED, static_cast<WPARAM>(oldRow), newRow);
}

void CTypeListGrid::OnCellLeftClick(int, int row, int down, const RECT*, POINT, int) {
  if (!down && parent_) ::SendMessageA(parent_, WM_TYPEROWCHANGED, static_cast<WPARAM>(-1), row);
}

}  // namespace options
