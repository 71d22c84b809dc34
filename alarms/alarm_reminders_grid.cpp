#include "alarms/alarm_reminders_grid.h"

#include <utility>

#include "alarms/alarm_reminders_dlg.h"
#include "alarms/core/reminder_rows.h"
#include "framework/dialogs/message_box.h"

bool CAlarmRemindersGrid::GetRowKey(int row, uint32_t* key) {
  if (row < 0 || row >= GetRowCount()) return false;
  CGridCell cell;
  if (GetCellData(0, row, &cell) != 0) return false;
  return cell.GetUserValue(key);
}

void CAlarmRemindersGrid::OnCellDoubleClick(int /*col*/, int row, const RECT*, POINT, int /*processed*/) {
  if (row >= 0) owner_->OnModify();
}

int CAlarmRemindersGrid::OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param) {
  if (code == 100 && col == 4) {
    CGridCell cell;
    GetCell(col, row, &cell);
    std::string text;
    cell.GetText(&text);
    ::MessageBoxA(owner_->GetSafeHwnd(), text.c_str(), "Event Notes", MB_OK);
    return 1;
  }
  return CGridCore::OnCellTypeEvent(typeIndex, col, row, code, param);
}

int CAlarmRemindersGrid::CompareCells(const CGridCell* a, const CGridCell* b, int flags) {
  if (flags & kGridSortDescending) std::swap(a, b);
  if (!a || !b) return !a && !b ? 0 : (!a ? -1 : 1);
  uint32_t ka = 0, kb = 0;
  if (!a->GetUserValue(&ka) || !b->GetUserValue(&kb)) return 0;
  const CDateTime* da = owner_->RowDate(ka);
  const CDateTime* db = owner_->RowDate(kb);
  if (!da || !db) return 0;
  if (alarmcore::OccurrenceBefore(da, db)) return -1;
  if (alarmcore::OccurrenceBefore(db, da)) return 1;
  return 0;
}

COLORREF CAlarmRemindersGrid::GetBackgroundColor(int /*part*/) { return ::GetSysColor(COLOR_BTNFACE); }

void CAlarmRemindersGrid::DrawCurrentCellFrame(HDC, const RECT*) {}
