// Reading and writing cells, joined blocks, cell-type and data-source
// registries, sorting and finding.
#include "grid/core/grid_core.h"

CGridDataSource* CGridCore::ColumnSource(int col) const {
  if (col >= 0 && col < sheet_->ColumnCount()) {
    CGridDataSource* ds = sheet_->columns[static_cast<size_t>(col)].source;
    if (ds) return ds;
  }
  return sheet_->ownSource.get();
}

int CGridCore::GetColumnMapping(int col) const {
  if (col < 0 || col >= sheet_->ColumnCount()) return col;
  return sheet_->columns[static_cast<size_t>(col)].sourceCol;
}

std::map<std::pair<int, int>, CGridCell>* CGridCore::HeadingStore(int col, int row, std::pair<int, int>* key) const {
  if (col < 0) {
    *key = {col, row};
    return &sheet_->sideHeadingCells;
  }
  if (row < 0) {
    *key = {GetColumnMapping(col), row};
    return &sheet_->topHeadingCells;
  }
  return nullptr;
}

int CGridCore::GetCell(int col, int row, CGridCell* cell) {
  if (!cell) return 1;
  cell->Clear();
  const bool heading = col < 0 || row < 0;
  if (heading || col >= sheet_->ColumnCount()) {
    cell->CopyFrom(sheet_->headingDefaultCell);
  } else if (const CGridCell* def = sheet_->columns[static_cast<size_t>(col)].defaultCell.get()) {
    cell->CopyFrom(*def);
  }
  if (row >= sheet_->rowCount) return 0;
  std::pair<int, int> key;
  if (auto* store = HeadingStore(col, row, &key)) {
    auto it = store->find(key);
    if (it != store->end()) cell->MergeFrom(it->second);
  } else {
    ColumnSource(col)->GetCell(GetColumnMapping(col), row, cell);
  }
  OnReadCell(GetColumnMapping(col), row, cell);
  if (CGridCellCallback* cb = cell->GetCallback()) cb->ReadCell(*cell);
  if (const CGridCell* linked = cell->GetLinkedCell()) {
    if (linked != cell) cell->MergeFrom(*linked);
  }
  return 0;
}

int CGridCore::GetCellData(int col, int row, CGridCell* cell) {
  if (!cell) return 1;
  cell->Clear();
  if (col >= sheet_->ColumnCount()) return 1;
  if (row >= sheet_->rowCount) return 0;
  std::pair<int, int> key;
  if (auto* store = HeadingStore(col, row, &key)) {
    auto it = store->find(key);
    if (it != store->end()) cell->MergeFrom(it->second);
  } else {
    ColumnSource(col)->GetCell(GetColumnMapping(col), row, cell);
  }
  return 0;
}

int CGridCore::SetCell(int col, int row, const CGridCell& cell) {
  CGridCell written(cell);
  OnWriteCell(col, row, &written);
  std::pair<int, int> key;
  if (auto* store = HeadingStore(col, row, &key)) {
    (*store)[key].CopyFrom(written);
    return 0;
  }
  // A store that refuses (a bare data source) is reported, not hidden.
  return ColumnSource(col)->SetCell(GetColumnMapping(col), row, written) == 0 ? 0 : 2;
}

int CGridCore::SetCellText(int col, int row, const std::string& text) {
  GetCellData(col, row, &scratch_);
  scratch_.SetText(text);
  return SetCell(col, row, scratch_);
}

int CGridCore::SetCellTextColor(int col, int row, COLORREF color) {
  GetCellData(col, row, &scratch_);
  scratch_.SetTextColor(color);
  return SetCell(col, row, scratch_);
}

int CGridCore::SetCellAlignment(int col, int row, std::uint16_t flags) {
  GetCellData(col, row, &scratch_);
  scratch_.SetAlignment(flags);
  return SetCell(col, row, scratch_);
}

int CGridCore::SetCellBorder(int col, int row, std::uint16_t style) {
  GetCellData(col, row, &scratch_);
  scratch_.SetBorder(style);
  return SetCell(col, row, scratch_);
}

int CGridCore::MergeCells(int startCol, int startRow, int endCol, int endRow) {
  if (endCol < startCol || endRow < startRow) return 1;
  if (endCol >= sheet_->ColumnCount() || endRow >= sheet_->rowCount) return 1;
  if (startCol < -sheet_->HeadingCols() || startRow < -sheet_->HeadingRows()) return 1;
  CGridCell cell;
  bool refused = false;
  for (int r = startRow; r <= endRow; ++r) {
    for (int c = startCol; c <= endCol; ++c) {
      GetCellData(c, r, &cell);
      cell.SetJoin(0, startCol - c, startRow - r);
      refused |= SetCell(c, r, cell) != 0;
    }
  }
  GetCellData(startCol, startRow, &cell);
  cell.SetJoin(1, endCol - startCol, endRow - startRow);
  refused |= SetCell(startCol, startRow, cell) != 0;
  return refused ? 2 : 0;
}

bool CGridCore::GetJoinBlock(int col, int row, int* originCol, int* originRow, int* cols, int* rows) {
  CGridCell cell;
  GetCell(col, row, &cell);
  int flag, jc, jr;
  if (cell.GetJoin(&flag, &jc, &jr) != 0) return false;
  int oc = col, orow = row;
  if (flag != 1) {
    oc = col + jc;
    orow = row + jr;
    GetCell(oc, orow, &cell);
    if (cell.GetJoin(&flag, &jc, &jr) != 0 || flag != 1) return false;
  }
  // A block must hold the cell that points to it; stale marks are ignored.
  if (jc < 0 || jr < 0 || col < oc || row < orow || col > oc + jc || row > orow + jr) return false;
  if (originCol) *originCol = oc;
  if (originRow) *originRow = orow;
  if (cols) *cols = jc + 1;
  if (rows) *rows = jr + 1;
  return true;
}

CGridCellType* CGridCore::GetCellType(int index) {
  auto* t = static_cast<CGridCellType*>(cellTypes_.Get(index));
  return t ? t : &normalType_;
}

int CGridCore::AddCellType(CGridCellType* type) {
  if (!type) return -1;
  const int index = cellTypes_.Add(type);
  if (index >= 0) type->Attach(this, index);
  return index;
}

CGridDataSource* CGridCore::GetDataSource(int index) {
  if (index < 0 || index >= static_cast<int>(sources_.size())) return nullptr;
  if (index == 0) return sheet_->ownSource.get();
  return sources_[static_cast<size_t>(index)];
}

int CGridCore::AddDataSource(CGridDataSource* source) {
  if (!source) return -1;
  source->SetOwner(this, this);
  sources_.push_back(source);
  return static_cast<int>(sources_.size()) - 1;
}

int CGridCore::SelectDataSource(int index) {
  CGridDataSource* ds = GetDataSource(index);
  if (!ds) return 1;
  sheet_->currentSource = ds;
  return 0;
}

int CGridCore::SortRowsByColumn(int col, int flags) {
  if (col < 0 || col >= sheet_->ColumnCount()) return 1;
  const int r = ColumnSource(col)->SortRowsByColumn(GetColumnMapping(col), flags);
  RedrawAll();
  return r;
}

int CGridCore::FindText(const std::string& text, int* col, int* row, int flags) {
  if (!col || !row) return 1;
  int sourceCol = GetColumnMapping(*col);
  const int r = ColumnSource(*col)->FindNext(text, &sourceCol, row, flags);
  if (r != 0) return r;
  // Back from the data-source column to the grid column showing it.
  for (int c = 0; c < sheet_->ColumnCount(); ++c) {
    if (GetColumnMapping(c) == sourceCol) {
      *col = c;
      return 0;
    }
  }
  *col = sourceCol;
  return 0;
}

int CGridCore::CompareCells(const CGridCell* a, const CGridCell* b, int flags) { return CompareGridCells(a, b, flags); }
