// In-place editing: showing the editor on a cell and ending the edit.
#include <windows.h>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"
#include "grid/parts/grid_edit.h"
#include "grid/parts/side_heading.h"
#include "grid/parts/top_heading.h"

int CGridCore::BeginEdit(int col, int row, int firstChar) {
  CGridSheetInfo* s = sheet_;
  // Only a cell or heading cell that exists has a place for the editor
  // and a store for its text.
  if (col >= s->ColumnCount() || row >= s->rowCount || col < -s->HeadingCols() || row < -s->HeadingRows() ||
      (col < 0 && row < 0)) {
    return 1;
  }
  // A joined block shows and keeps its origin's text: that is what is
  // edited, from whichever of its cells the edit starts.
  int oc, orow;
  if (s->joinOption && GetJoinBlock(col, row, &oc, &orow, nullptr, nullptr)) {
    col = oc;
    row = orow;
  }
  editing_ = true;
  int l, t, r, b;
  const bool hadSelection = s->selection.BoundingBox(&l, &t, &r, &b) == 0;
  ClearSelection();
  if (hadSelection && !(l == col && r == col && t == row && b == row)) RepaintCells(l, t, r, b);
  if ((col != s->currentCol || row != s->currentRow) && col >= 0 && row >= 0 && MoveToCell(col, row) != 0) {
    editing_ = false;
    return 2;
  }
  editCell_.Clear();
  GetCell(col, row, &editCell_);
  CGridCellType* type = GetCellType(editCell_.GetCellType());
  HWND editor = editor_->GetSafeHwnd();
  if (!type->CanEdit() || editCell_.GetReadOnly() || !editor) {
    editing_ = false;
    return 1;
  }
  RECT rect;
  if (GetCellRect(col, row, &rect) != 0) ::SetRectEmpty(&rect);
  rect.right -= 1;
  rect.bottom -= 1;
  type->AdjustEditRect(&rect);
  HWND host = col < 0 ? sideHeading_->GetSafeHwnd() : row < 0 ? topHeading_->GetSafeHwnd() : cellArea_->GetSafeHwnd();
  editCol_ = col;
  editRow_ = row;
  const char* text = editCell_.GetTextPtr();
  ::SetWindowTextA(editor, text ? text : "");
  void* dsEditor = editor;
  HWND gridEditor = editor;
  if (!s->currentSource->OnEditBegin(col, row, &dsEditor)) {
    editing_ = false;
    return 1;
  }
  // The data source may offer its own editor, and the grid another still.
  if (dsEditor && dsEditor != editor) gridEditor = static_cast<HWND>(dsEditor);
  if (!OnEditBegin(col, row, &gridEditor) || !gridEditor) {
    editing_ = false;
    return 1;
  }
  // An offered editor ends the edit as the standard one does.
  if (gridEditor != editor && !substitute_->Attach(gridEditor)) {
    editing_ = false;
    return 1;
  }
  editorInUse_ = gridEditor;
  editHost_ = host;
  ::SetWindowTextA(gridEditor, text ? text : "");
  HFONT font = editCell_.GetFont() ? editCell_.GetFont() : s->defaultFont;
  if (font) ::SendMessageA(gridEditor, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  if (::GetParent(gridEditor) != host) ::SetParent(gridEditor, host);
  ::MoveWindow(gridEditor, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  ::ShowWindow(gridEditor, SW_SHOW);
  ::SetFocus(gridEditor);
  if (firstChar > 0) ::SendMessageA(gridEditor, WM_CHAR, static_cast<WPARAM>(firstChar), 0);
  return 0;
}

int CGridCore::EndEdit(const std::string& text, int cancelled, int moveNext, int nextCol, int nextRow, bool forced) {
  CGridSheetInfo* s = sheet_;
  const bool wasEditing = editing_;
  if (!wasEditing || forced) cancelled = 1;
  std::string stored = text;
  const int col = editCol_, row = editRow_;
  const bool agreed = s->currentSource->OnEditEnd(col, row, editorInUse_, &stored, cancelled) == 1 &&
                      OnEditEnd(col, row, editorInUse_, &stored, cancelled) != 0;
  if (!agreed && !forced) return wasEditing ? 0 : 1;
  if (editorInUse_) ::ShowWindow(editorInUse_, SW_HIDE);
  if (!cancelled && SetCellText(col, row, stored) != 0) {
    // The store refused the text: the cell shows what it holds, and the
    // edit does not go on to the next cell as if it had been stored.
    RedrawCell(col, row);
    editing_ = false;
    return 2;
  }
  if (!cancelled) RedrawCell(col, row);
  if (moveNext && wasEditing && editHost_ == cellArea_->GetSafeHwnd()) {
    const int cols = s->ColumnCount(), rows = s->rowCount;
    if (nextCol < 0) nextCol = cols - 1;
    if (nextCol >= cols) nextCol = 0;
    if (nextRow < 0) nextRow = rows - 1;
    if (nextRow >= rows) nextRow = 0;
    if (s->currentSource->OnEditMoveNext(col, row, &nextCol, &nextRow) == 1 &&
        OnEditMoveNext(col, row, &nextCol, &nextRow)) {
      BeginEdit(nextCol, nextRow, 0);
      return 1;
    }
  }
  editing_ = false;
  return 1;
}

void CGridCore::HideEditor() {
  if (!editing_) return;
  editing_ = false;
  if (editorInUse_ && ::GetFocus() == editorInUse_) ::SetFocus(cellArea_->GetSafeHwnd());
  if (editorInUse_) ::ShowWindow(editorInUse_, SW_HIDE);
}

void CGridCore::OnEditorTextChanged(HWND editor) {
  if (editing_ && editor == editor_->GetSafeHwnd()) editor_->GrowToText();
}
