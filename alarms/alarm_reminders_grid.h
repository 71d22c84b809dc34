// CAlarmRemindersGrid: the reminder window's list of due alarms, one row
// per occurrence. Column 0 carries the row's key (a number the window maps
// to its COccurrenceRef); rows sort by occurrence date through that key.
#pragma once

#include <cstdint>

#include "grid/core/grid_core.h"

class CAlarmRemindersDlg;

class CAlarmRemindersGrid : public CGridCore {
 public:
  explicit CAlarmRemindersGrid(CAlarmRemindersDlg* owner) : owner_(owner) {}

  // The key in column 0 of the row; false when the row has none.
  bool GetRowKey(int row, uint32_t* key);

  void OnCellDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed) override;
  int OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param) override;
  int CompareCells(const CGridCell* a, const CGridCell* b, int flags) override;
  COLORREF GetBackgroundColor(int part) override;
  void DrawCurrentCellFrame(HDC dc, const RECT* rect) override;

 private:
  CAlarmRemindersDlg* owner_;
};
