#include "shell/event_list/event_list_grid.h"

#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"

namespace eventlist {

HMENU BuildRowMenu(const COccurrenceRef& occurrence) {
  HMENU menu = ::CreatePopupMenu();
  if (occurrence.IsAcknowledged()) {
    const bool alarmOn = occurrence.event && occurrence.event->GetOccurrenceAlarmEnabled(occurrence.date);
    const bool ahead = occurrence.event &&
                       occurrence.event->GetOccurrenceRange(occurrence.date).start > CDateTime::NowLocal();
    if (alarmOn || ahead) ::AppendMenuA(menu, MF_STRING, 40008, "Un-Acknowledge");
  } else {
    ::AppendMenuA(menu, MF_STRING, 40004, "Acknowledge");
  }
  ::AppendMenuA(menu, MF_STRING, 40005, "Details");
  ::AppendMenuA(menu, MF_STRING, 40010, "Print Event");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, 40009, "Add Copy");
  ::AppendMenuA(menu, MF_STRING, 40002, "Modify");
  ::AppendMenuA(menu, MF_STRING, 40003, "Delete");
  ::AppendMenuA(menu, MF_STRING, 40011, "Export");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, 40007, "Reset");
  return menu;
}

COLORREF CEventListGrid::GetBackgroundColor(int) { return ::GetSysColor(COLOR_BTNFACE); }

void CEventListGrid::DrawCurrentCellFrame(HDC, const RECT*) {}

void CEventListGrid::OnCurrentRowChanged(int, int newRow) {
  // A press reports its row itself, once the button is down.
  if (quiet_ || !owner_ || Sheet().inputKind != CGridSheetInfo::kInputKeyboard) return;
  const bool mark = keyPressed_;
  keyPressed_ = false;
  if (newRow >= 0) owner_->OnRowSelected(newRow, mark);
}

void CEventListGrid::OnCellLeftClick(int, int row, int down, const RECT*, POINT, int) {
  if (down && row >= 0 && owner_) owner_->OnRowSelected(row, true);
}

void CEventListGrid::OnCellRightClick(int, int row, int down, const RECT*, POINT pt, int) {
  if (down || row < 0 || !owner_) return;
  const COccurrenceRef* occurrence = owner_->RowOccurrence(row);
  if (!occurrence) return;
  HMENU menu = BuildRowMenu(*occurrence);
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    const UINT id = ::GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1) && !owner_->IsRowCommandEnabled(id))
      ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
  }
  HWND area = GetPartWindow(kCellAreaId);
  ::ClientToScreen(area, &pt);
  const UINT command = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, GetSafeHwnd(), nullptr));
  ::DestroyMenu(menu);
  if (command != 0 && IsWindow()) owner_->OnRowCommand(row, command);
}

void CEventListGrid::OnCellDoubleClick(int, int row, const RECT*, POINT, int) {
  if (row >= 0 && owner_) owner_->OnRowDoubleClicked(row);
}

void CEventListGrid::OnTopHeadingLeftClick(int col, int, int down, const RECT*, POINT, int) {
  if (down) {
    pressedHeading_ = col;
    return;
  }
  const bool same = col >= 0 && col == pressedHeading_;
  pressedHeading_ = -1;
  if (same && owner_) owner_->OnHeadingClicked(col);
}

void CEventListGrid::OnCellAreaKeyDown(UINT*, int) { keyPressed_ = true; }

int CEventListGrid::OnGetCellTip(int, int row, int, std::string* text) {
  const COccurrenceRef* occurrence = owner_ && row >= 0 ? owner_->RowOccurrence(row) : nullptr;
  if (!occurrence) return 0;
  *text = occurrence->GetNotes();
  return text->empty() ? 0 : 1;
}

}  // namespace eventlist
