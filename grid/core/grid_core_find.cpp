// The grid's answer to the standard find and replace dialog.
#include <windows.h>

#include <commdlg.h>
#undef FindText   // the grid operation, not the dialog function

#include "grid/core/grid_core.h"

void CGridCore::OnFindMessage(LPARAM lParam) {
  auto* fr = reinterpret_cast<FINDREPLACEA*>(lParam);
  if (!fr || !findDialog_ || !::IsWindow(findDialog_)) return;
  if (fr->Flags & FR_DIALOGTERM) {
    showFrame_ = false;
    findSecondFlag_ = false;
    findDialog_ = nullptr;
    return;
  }
  CGridSheetInfo* s = sheet_;
  int flags = 0;
  if (!(fr->Flags & FR_WHOLEWORD)) flags |= CGridDataSource::kFindSubstring;
  if (!(fr->Flags & FR_MATCHCASE)) flags |= CGridDataSource::kFindIgnoreCase;
  if (!(fr->Flags & FR_DOWN)) flags |= 4;
  if (findAlongRows_) flags |= CGridDataSource::kFindAlongRows;
  const std::string what = fr->lpstrFindWhat ? fr->lpstrFindWhat : "";
  const std::string with = fr->lpstrReplaceWith ? fr->lpstrReplaceWith : "";
  int col = s->currentCol, row = s->currentRow;
  if (FindText(what, &col, &row, flags) != 0) {
    ::MessageBoxA(findDialog_, "Item not found", "Not Found", MB_OK);
    return;
  }
  // A refused move leaves the cursor elsewhere: nothing is replaced then,
  // least of all the cell the cursor stayed on.
  if (MoveToCell(col, row) != 0 || s->currentCol != col || s->currentRow != row) return;
  if (fr->Flags & FR_REPLACE) {
    SetCellText(col, row, with);
    RedrawCell(col, row);
  } else if (fr->Flags & FR_REPLACEALL) {
    int lastCol = col, lastRow = row;
    for (int guard = 0; guard < 1000000; ++guard) {
      SetCellText(col, row, with);
      lastCol = col;
      lastRow = row;
      if (FindText(what, &col, &row, flags) != 0) break;
    }
    MoveToCell(lastCol, lastRow);
    RedrawAll();
  }
}
