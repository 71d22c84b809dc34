// CGridCore: the spreadsheet-like grid window. It keeps sheets of cells in
// data sources, lays out its part windows (cell area, headings, corner
// button, scroll bars, sheet-tab bar, hint window, in-place editor), moves
// its cursor under the owner's veto and draws cells through registered cell
// types. Program grids derive from it and override notifications; every
// notification has a default, so the base works alone.
//
// Positions are 0-based; a negative column or row addresses heading cells
// (-1 nearest the cells, (-1, -1) the corner). Unless said otherwise every
// operation answers 0 done, 1 bad argument or nothing to do, 2 refused by
// a notification or the data source. All operations act on the current
// sheet and on the thread owning the window; none needs the window to
// exist except those that move or paint windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/window.h"
#include "grid/cell/grid_cell.h"
#include "grid/celltypes/arrow_type.h"
#include "grid/celltypes/cell_type.h"
#include "grid/celltypes/check_box_type.h"
#include "grid/celltypes/drop_list_type.h"
#include "grid/core/sheet_info.h"
#include "grid/data/cell_compare.h"
#include "grid/data/data_source.h"
#include "grid/data/ptr_slots.h"
#include "grid/data/selection.h"

class CGridCellArea;
class CGridTopHeading;
class CGridSideHeading;
class CGridCornerButton;
class CGridVScrollBar;
class CGridHScrollBar;
class CGridSheetTabs;
class CGridHintWnd;
class CGridEdit;
class CGridDropList;

class CGridCore : public framework::CWindow, public CGridCellComparer, public CGridSelectionHost {
 public:
  // Child ids of the part windows. The hint has an id of its own, so that
  // looking up the horizontal bar by id never finds the hint.
  enum : int {
    kCellAreaId = 1, kTopHeadingId = 2, kSideHeadingId = 3, kCornerId = 4, kTabBarId = 5,
    kVScrollId = 6, kHScrollId = 7, kHintId = 8, kEditorId = 123
  };
  // Parts named to the pop-up menu and tip notifications.
  enum : int {
    kPartCells = 1, kPartTopHeading = 2, kPartSideHeading = 3, kPartCorner = 4, kPartHScroll = 5,
    kPartVScroll = 6, kPartTabBar = 7
  };
  // Movement codes of MoveRows, MoveColumns, ScrollRows, ScrollColumns.
  enum : int { kPrev = 0, kNext = 1, kPageBack = 2, kPageForward = 3, kFirst = 4, kLast = 5 };
  // Standard cell-type indexes.
  enum : int { kTypeText = 0, kTypeDropList = 1, kTypeCheckBox = 2, kTypeArrow = 3 };

  enum : int { kMaxColumns = 32000, kMaxSheets = 1024, kMaxSize = 1024, kMaxPerRowHeights = 64000 };

  CGridCore();
  ~CGridCore() override;

  // --- Creation (grid_core.cpp) ---
  // Creates the window (WS_CLIPCHILDREN added) with its part windows; then
  // OnGridCreated and OnSheetCreated(0). Answers nonzero when created.
  BOOL CreateGrid(DWORD style, const RECT& rect, HWND parent, UINT id);
  // Puts the grid in place of a dialog's control (same id, place, size and
  // tab order; WS_CLIPCHILDREN, WS_BORDER and WS_TABSTOP added) and calls
  // OnGridCreated. 0 done; 1 when the parent has no such control or the
  // window cannot be created.
  int CreateFromDialogItem(HWND parent, int id);

  // --- Cells (grid_core_cells.cpp) ---
  // Defaults (heading or column default cell), then the data source's cell
  // while the row is below the row count, then OnReadCell, the callback and
  // the linked cell. Always 0.
  int GetCell(int col, int row, CGridCell* cell);
  // The stored cell alone; 1 for a column at or beyond the column count.
  int GetCellData(int col, int row, CGridCell* cell);
  // OnWriteCell, then the store (data source, or the sheet's heading
  // store); 0. Nothing is repainted.
  int SetCell(int col, int row, const CGridCell& cell);
  int SetCellText(int col, int row, const std::string& text);
  int SetCellTextColor(int col, int row, COLORREF color);
  int SetCellAlignment(int col, int row, std::uint16_t flags);
  int SetCellBorder(int col, int row, std::uint16_t style);
  // Joins a block drawn, hit and edited as one; 1 when the end lies before
  // the start, outside the cells, or the start beyond the headings; 2 when
  // the store refused a cell of the block.
  int MergeCells(int startCol, int startRow, int endCol, int endRow);
  // The block holding a cell: its origin and size; false when not joined.
  bool GetJoinBlock(int col, int row, int* originCol, int* originRow, int* cols, int* rows);

  // The type of that index; the normal type for 0, a negative or an empty
  // index. Never null.
  CGridCellType* GetCellType(int index);
  // Registers a type (referenced, not owned) and answers its index; -1 for
  // null or when the registry cannot grow.
  int AddCellType(CGridCellType* type);
  // Data sources: index 0 is the current sheet's own; null outside the
  // registry. AddDataSource answers the index (-1 for null); a registered
  // source is referenced, never owned. SelectDataSource makes a registered
  // source the sheet's current one (used by columns created afterwards and
  // told of moves); 1 outside the registry.
  CGridDataSource* GetDataSource(int index);
  int AddDataSource(CGridDataSource* source);
  int SelectDataSource(int index);

  // Sorting and finding through the sheet's current data source; the
  // grid column is mapped to its data-source column. kGridSortDescending
  // sorts descending. Answers the data source's result.
  int SortRowsByColumn(int col, int flags);
  int FindText(const std::string& text, int* col, int* row, int flags);
  // The default order of cells (cell_compare.h); program grids override.
  int CompareCells(const CGridCell* a, const CGridCell* b, int flags) override;

  // --- Moves, scrolling and selection (grid_core_moves.cpp) ---
  int MoveToRow(int row);
  int MoveToColumn(int col);
  int MoveToCell(int col, int row);
  int SetFirstVisibleRow(int row);
  int SetFirstVisibleColumn(int col);
  int MoveRows(int how);
  int MoveColumns(int how);
  int ScrollRows(int how);
  int ScrollColumns(int how);
  int ClearSelection();
  int SelectCell(int col, int row);
  // Nonzero when the cell is selected; the range index through rangeIndex.
  int IsCellSelected(int col, int row, int* rangeIndex);
  // Whole rows as the unit: the current row is painted whole and ranges
  // (when multi-selection is on, which this turns on) are of rows.
  int SelectWholeRows(int flag);
  // Ranges of cells or rows, or (0) only the current cell or row.
  int EnableMultiSelect(int flag);
  int GetCurrentRow() const { return sheet_->currentRow; }
  int GetCurrentColumn() const { return sheet_->currentCol; }
  int GetCursorRow() const { return sheet_->cursorRow; }
  int GetCursorColumn() const { return sheet_->cursorCol; }
  int GetFirstVisibleRow() const { return sheet_->firstVisibleRow; }
  int GetFirstVisibleColumn() const { return sheet_->firstVisibleCol; }

  // --- Counts, sizes, layout and geometry (grid_core_layout.cpp) ---
  int SetColumnCount(int count, int redraw = 1);
  int SetRowCount(int count, int redraw = 1);
  int GetColumnCount() const { return sheet_->ColumnCount(); }
  int GetRowCount() const { return sheet_->rowCount; }
  // Asks the data source, then the grid (OnRowsRequested), for rows up to
  // and including target. Answers the row count afterwards.
  int RequestRows(int target);
  int InsertRow(int row);
  int AppendRow();
  int DeleteRow(int row);
  int SetColumnWidth(int col, int width);
  int GetColumnWidth(int col, int* width) const;
  int ColumnWidth(int col) const { return sheet_->ColumnWidth(col); }
  int SetRowHeight(int row, int height);
  int GetRowHeight(int row) const { return sheet_->RowHeight(row); }
  int SetDefaultRowHeight(int height);
  int GetDefaultRowHeight() const { return sheet_->defaultRowHeight; }
  int SetUniformRowHeight(int flag);
  bool IsUniformRowHeight() const { return sheet_->uniformRows; }
  int SetTopHeadingHeight(int height);
  int SetSideHeadingWidth(int width);
  int GetTopHeadingHeight() const { return sheet_->topHeadingHeight; }
  int GetSideHeadingWidth() const { return sheet_->sideHeadingWidth; }
  // The number of heading rows (columns), 1..16, else 1; added ones are 0
  // high (wide) until sized.
  int SetHeadingRowCount(int count);
  int SetHeadingColumnCount(int count);
  int SetHeadingRowHeight(int row, int height);
  // The row heading's width changes with its column's (by as much, when
  // it has several columns).
  int SetHeadingColumnWidth(int col, int width);
  // 0 outside the heading rows (columns).
  int GetHeadingRowHeight(int row) const;
  int GetHeadingColumnWidth(int col) const;
  int SetVScrollWidth(int width);
  int SetHScrollHeight(int height);
  int AutoSizeColumns(int firstCol, int lastCol, int maxRows, int flags);
  int MoveColumn(int from, int to, int before);
  int SetColumnMapping(int col, int sourceCol);
  int GetColumnMapping(int col) const;
  void AdjustLayout();
  int HitTest(int x, int y, int* col, int* row, RECT* rect);
  int GetCellRect(int col, int row, RECT* rect);
  // The part rectangles of the last layout.
  const CGridSheetInfo& Sheet() const { return *sheet_; }

  // --- Sheets and options (grid_core_sheets.cpp) ---
  int SetSheetCount(int count);
  int GetSheetCount() const { return static_cast<int>(sheets_.size()); }
  int SelectSheet(int index, int redraw = 1);
  int GetCurrentSheet() const { return sheetIndex_; }
  int SetTabBarWidth(int width);
  int AddSheetTab(const std::string& label, int value);
  int ShowGridLines(int flag);
  int EnableColumnMove(int flag);
  int SetHighlightStyle(int style);
  int ShowCellTips(int flag);
  int SetDoubleBuffer(int flag);
  int SetDefaultFont(HFONT font);
  int SetVScrollMode(int mode);
  int SetDefaultCell(const CGridCell& cell);
  int SetHeadingDefaultCell(const CGridCell& cell);
  int GetHeadingDefaultCell(CGridCell* cell) const;
  int EnablePopupMenu(int flag);
  int SetFrozenCounts(int cols, int rows);

  // --- Redrawing and the pop-up menu (grid_core_redraw.cpp) ---
  int EnableRedraw(int flag);
  int IsRedrawEnabled() const { return redraw_; }
  int RedrawAll();
  int RedrawCell(int col, int row);
  int RedrawRow(int row);
  HMENU GetPopupMenu() const { return popupMenu_; }
  // 1 when the pop-up option is off, 2 when OnCanShowPopupMenu refuses,
  // 3 when tracking fails.
  int ShowPopupMenu(int col, int row, POINT screenPoint, int part);

  // An owner's window that follows the current cell (null: none). In
  // placement mode 1 it is first put 30 pixels right of the cell; then,
  // when it covers the cell, it is moved 5 pixels clear of the cell to the
  // right, below, to the left or above, the first that keeps it on the
  // screen. OnMovePopupWindow may change the
  // place. The window is not owned.
  int SetPopupWindow(HWND window, int placementMode);

  // --- In-place editing (grid_core_edit.cpp) ---
  // Shows the editor on a cell: 0 shown, 1 editing not possible (no such
  // cell or heading cell, the cell type, a read-only cell, or refused by
  // OnEditBegin), 2 the move to the cell was refused. A firstChar above 0
  // is typed into the editor.
  int BeginEdit(int col, int row, int firstChar);
  // Ends the edit (the editor calls it when it loses the focus): 0 when the
  // edit must go on (refused by OnEditEnd), 2 when it ended but the store
  // refused the text (the cell keeps its value), else 1. Stores the text
  // unless cancelled; with moveNext edits the next cell (wrapping at the
  // edges).
  // forced: the focus left the grid; the end is cancelled and no answer of
  // OnEditEnd keeps the editor.
  int EndEdit(const std::string& text, int cancelled, int moveNext, int nextCol, int nextRow, bool forced = false);
  // Hides the editor without storing anything.
  void HideEditor();
  bool IsEditing() const { return editing_; }
  int GetEditColumn() const { return editCol_; }
  int GetEditRow() const { return editRow_; }
  HWND GetEditorWindow() const { return editorInUse_; }
  // Told by the part hosting the editor that the editor's text changed.
  void OnEditorTextChanged(HWND editor);

  // --- Find (grid_core_find.cpp) ---
  // The owner's modeless find or replace dialog, whose FINDMSGSTRING
  // messages go to the grid (the dialog's owner must be the grid window).
  void SetFindDialog(HWND dialog) { findDialog_ = dialog; }
  void SetFindAlongRows(int flag) { findAlongRows_ = flag != 0; }
  // Draws the current cell's frame without the focus (while a find
  // dialog is up).
  void SetShowFrame(int flag) { showFrame_ = flag != 0; }
  bool IsFrameShown() const { return showFrame_; }

  // Part windows and state they share.
  CGridSheetInfo& MutableSheet() { return *sheet_; }
  CGridCellArea* GetCellArea() const { return cellArea_.get(); }
  CGridHintWnd* GetHintWindow() const { return hint_.get(); }
  CGridSheetTabs* GetSheetTabs() const { return tabs_.get(); }
  CGridVScrollBar* GetVScrollBar() const { return vScroll_.get(); }
  bool IsDropListOpen() const;
  // Nonzero when the current cell's type acts on that key.
  bool CurrentCellWantsKey(UINT vk);

  HPEN LightPen() const { return lightPen_; }
  HPEN ShadowPen() const { return shadowPen_; }
  HWND GetPartWindow(int id) const;

  // --- Notifications (defaults in grid_core_notify.cpp) ---
  virtual void OnPartFocused(int part);
  virtual void OnGridCreated();
  virtual void OnSheetCreated(int sheet);
  virtual int OnCanMoveCurrentCell(int oldCol, int oldRow, int newCol, int newRow);
  virtual int OnCanScroll(int oldFirstCol, int oldFirstRow, int newFirstCol, int newFirstRow);
  virtual void OnRowsRequested(int rowCount, int rowsMissing, void* param);
  virtual int OnCanResizeColumn(int col);
  virtual void OnColumnResizing(int col, int* width);
  virtual void OnColumnResized(int col, int* width);
  virtual int OnCanResizeRow(int row);
  virtual void OnRowResizing(int row, int* height);
  virtual void OnRowResized(int row, int* height);
  virtual int OnCanResizeTopHeading();
  virtual int OnCanResizeSideHeading();
  virtual int OnTopHeadingResizing(int* height);
  virtual int OnSideHeadingResizing(int* width);
  virtual int OnTopHeadingResized(int* height);
  virtual int OnSideHeadingResized(int* width);
  virtual void OnCurrentColumnChanged(int oldCol, int newCol);
  virtual void OnCurrentRowChanged(int oldRow, int newRow);
  virtual void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow);
  virtual void OnFirstVisibleColumnChanged(int oldCol, int newCol);
  virtual void OnFirstVisibleRowChanged(int oldRow, int newRow);
  virtual void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnCellRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnCellDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed);
  virtual void OnCellMouseMove(int col, int row, POINT pt, UINT keyFlags, int processed);
  virtual void OnTopHeadingLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnTopHeadingRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnTopHeadingDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed);
  virtual void OnSideHeadingLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnSideHeadingRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed);
  virtual void OnSideHeadingDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed);
  virtual void OnCornerLeftClick(int down, const RECT* rect, POINT pt, int processed);
  virtual void OnCornerRightClick(int down, const RECT* rect, POINT pt, int processed);
  virtual void OnCornerDoubleClick(const RECT* rect, POINT pt, int processed);
  virtual void OnCellAreaKeyDown(UINT* key, int processed);
  virtual void OnCellAreaChar(UINT* ch, int processed);
  virtual void OnReadCell(int col, int row, CGridCell* cell);
  virtual void OnWriteCell(int col, int row, CGridCell* cell);
  // Codes: 1 clicked, 2 pressed, 3 released, 53 check box changed, 100 drop
  // button pressed, 101 list item chosen (nonzero lets it be stored).
  virtual int OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param);
  virtual int OnEditBegin(int col, int row, HWND* editor);
  virtual int OnEditKey(int col, int row, HWND editor, UINT* ch);
  virtual int OnEditEnd(int col, int row, HWND editor, std::string* text, int cancelled);
  virtual int OnEditMoveNext(int col, int row, int* nextCol, int* nextRow);
  virtual void OnPopupMenuCommand(int col, int row, int part, int id);
  virtual int OnCanShowPopupMenu(int col, int row, int part);
  virtual int OnGetCellTip(int col, int row, int part, std::string* text);
  virtual int OnVScrollThumbText(int row, std::string* text);
  virtual int OnHScrollThumbText(int col, std::string* text);
  virtual void OnPrepareDC(HDC dc, HDC memoryDc, int part);
  virtual void OnLayoutAdjusted(RECT* cellArea, RECT* topHeading, RECT* sideHeading, RECT* corner, RECT* vScroll,
                                RECT* hScroll, RECT* tabBar);
  virtual void OnSheetTabClicked(int value);
  virtual COLORREF GetBackgroundColor(int part);
  virtual void DrawCurrentCellFrame(HDC dc, const RECT* rect);
  virtual void OnPartFocusLost(int part);
  virtual int OnCanDragColumn(int col);
  virtual int OnColumnDropped(int fromCol, int toCol);
  virtual void OnMovePopupWindow(RECT* screen, RECT* rect);

  // CGridSelectionHost.
  int SelectionColumnCount() const override { return GetColumnCount(); }
  void RepaintCells(int left, int top, int right, int bottom) override;
  void RepaintAllCells() override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnScrollBar(bool vertical, int code, int position);

 private:
  // Creation helpers.
  bool CreateParts();
  // Cells.
  CGridDataSource* ColumnSource(int col) const;
  std::map<std::pair<int, int>, CGridCell>* HeadingStore(int col, int row, std::pair<int, int>* key) const;
  // Moves.
  int AdjustTargetRow(int target);
  int AdjustTargetColumn(int target);
  void KeepCursorVisible();
  void NotifyChange();
  void PlacePopupWindow();
  void UpdateParts();
  int PageTarget(int from, int how, bool rows) const;
  bool MouseSelecting() const;
  void SyncCurrentToAnchor();
  // Layout.
  void RecomputeLastFirstVisible();
  int ColumnLeft(int col) const;
  int RowTop(int row) const;
  void RawCellRect(int col, int row, RECT* rect) const;
  void WireSheet(CGridSheetInfo* sheet);
  void ApplyHeadingRescale(std::vector<int>& sizes, int total);

  std::vector<CGridDataSource*> sources_;   // index 0: the current sheet's own
  CGridPtrSlots cellTypes_;

  CGridCellType normalType_;
  CGridDropListType dropListType_;
  CGridCheckBoxType checkBoxType_;
  CGridArrowType arrowType_;

  HMENU popupMenu_ = nullptr;
  int popupCol_ = -1, popupRow_ = -1, popupPart_ = 0;
  CGridCell scratch_;

  std::vector<std::unique_ptr<CGridSheetInfo>> sheets_;
  int sheetIndex_ = 0;
  CGridSheetInfo* sheet_ = nullptr;

  int redraw_ = 1;
  bool inLayout_ = false;

  std::unique_ptr<CGridCellArea> cellArea_;
  std::unique_ptr<CGridTopHeading> topHeading_;
  std::unique_ptr<CGridSideHeading> sideHeading_;
  std::unique_ptr<CGridCornerButton> corner_;
  std::unique_ptr<CGridVScrollBar> vScroll_;
  std::unique_ptr<CGridHScrollBar> hScroll_;
  std::unique_ptr<CGridSheetTabs> tabs_;
  std::unique_ptr<CGridHintWnd> hint_;
  std::unique_ptr<CGridEdit> editor_;
  // Serves an editor offered by OnEditBegin in place of editor_.
  std::unique_ptr<CGridEdit> substitute_;

  void OnFindMessage(LPARAM lParam);

  bool editing_ = false;
  int editCol_ = -1, editRow_ = -1;
  HWND editorInUse_ = nullptr;
  HWND editHost_ = nullptr;
  CGridCell editCell_;
  HWND findDialog_ = nullptr;
  bool findAlongRows_ = false;
  bool showFrame_ = false;
  bool findSecondFlag_ = false;
  HWND popupWindow_ = nullptr;

  HPEN lightPen_ = nullptr;
  HPEN shadowPen_ = nullptr;
};
