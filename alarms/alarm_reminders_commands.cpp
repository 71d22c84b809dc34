// CAlarmRemindersDlg: acknowledge, snooze, modify, delete and refresh.
#include <algorithm>

#include "alarms/alarm_reminders_dlg.h"
#include "alarms/core/reminder_snooze.h"
#include "alarms/reminder_host.h"
#include "framework/dialogs/message_box.h"
#include "model/events/alarm_state_keep.h"
#include "model/events/cal_event.h"
#include "platform/clock.h"
#include "storage/calendar_file.h"

namespace {

void AddCalendarOnce(std::vector<CCalendarFile*>* calendars, CCalendarFile* calendar) {
  if (!calendar) return;
  for (CCalendarFile* c : *calendars)
    if (c->listId == calendar->listId) return;
  calendars->push_back(calendar);
}

}  // namespace

void CAlarmRemindersDlg::SelectCurrentRow() {
  const int row = grid_.GetCurrentRow();
  if (row >= 0 && row < grid_.GetRowCount()) grid_.SelectCell(0, row);
}

std::vector<int> CAlarmRemindersDlg::SelectedRowsDescending() {
  SelectCurrentRow();
  std::vector<int> rows;
  for (int row = grid_.GetRowCount() - 1; row >= 0; --row)
    if (grid_.IsCellSelected(0, row, nullptr) || row == grid_.GetCurrentRow()) rows.push_back(row);
  return rows;
}

std::vector<COccurrenceRef> CAlarmRemindersDlg::SelectedAlarms() {
  std::vector<COccurrenceRef> refs;
  for (int row : SelectedRowsDescending()) {
    COccurrenceRef ref;
    if (GetRowAlarm(row, &ref) && ref.event) refs.push_back(ref);
  }
  return refs;
}

void CAlarmRemindersDlg::OnOK() {
  framework::CWaitCursor wait;
  std::vector<COccurrenceRef> removed;
  std::vector<CCalendarFile*> calendars;
  for (const COccurrenceRef& ref : SelectedAlarms()) {
    // An earlier answer's save may have taken the row out.
    if (FindRow(ref.event, &ref.date) < 0) continue;
    CCalEvent* e = ref.event;
    if (host_ && !host_->ConfirmAcknowledge(e->oneTime != 0)) continue;
    const CAlarmStateKeep kept(*e);
    const std::vector<CDateTime> dates(e->dueAlarms.begin(), e->dueAlarms.end());
    for (const CDateTime& d : dates) e->Acknowledge(d, false);
    // Not saved: the row stays, its alarm due.
    if (!SaveAlarmChange(e, kept)) continue;
    removed.push_back(ref);
    AddCalendarOnce(&calendars, e->calendar);
  }
  RemoveRows(removed);
  UpdateRefreshList();
  PublishChangedCalendars(calendars);
  if (host_) host_->RecountAndRefresh();
}

void CAlarmRemindersDlg::SnoozeCommand(alarmcore::SnoozeUnit unit) {
  const int n = alarmcore::ReadSnoozeNumber(GetSnoozeText());
  COccurrenceRef current;
  if (GetRowAlarm(grid_.GetCurrentRow(), &current) && current.event) current.event->snoozeAmount = n;
  if (!alarmcore::IsSnoozeNumberValid(unit, n)) {
    ::MessageBoxA(GetSafeHwnd(), alarmcore::SnoozeRangeMessage(unit).c_str(), alarmcore::kSnoozeMessageCaption,
                  MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  Snooze(unit, n);
}

void CAlarmRemindersDlg::Snooze(alarmcore::SnoozeUnit unit, int n) {
  framework::CWaitCursor wait;
  const platform::CivilTime local = platform::LocalNow();
  const int seconds = local.hour * 3600 + local.minute * 60 + local.second;
  const CDateTime until = alarmcore::SnoozeUntil(CDateTime::Today(), seconds, unit, n);
  std::vector<COccurrenceRef> removed;
  std::vector<CCalendarFile*> calendars;
  for (const COccurrenceRef& ref : SelectedAlarms()) {
    CCalEvent* e = ref.event;
    const CAlarmStateKeep kept(*e);
    // The row's own occurrence comes back; the event's other due ones are
    // acknowledged with it.
    const std::vector<CDateTime> dates(e->dueAlarms.begin(), e->dueAlarms.end());
    for (const CDateTime& d : dates) {
      int32_t d1 = 0, s1 = 0, d2 = 0, s2 = 0;
      d.GetComparableParts(ref.date, &d1, &s1, &d2, &s2);
      if (d1 != d2 || s1 != s2) e->Acknowledge(d, false);
    }
    const int16_t saved = e->SetSnoozeTime(ref.date, until);
    if (saved == 0) kept.Restore(e);
    if (saved != 1) continue;
    removed.push_back(ref);
    AddCalendarOnce(&calendars, e->calendar);
  }
  RemoveRows(removed);
  PublishChangedCalendars(calendars);
  if (host_) host_->RecountAndRefresh();
}

void CAlarmRemindersDlg::ActivateIfRowsLeft() {
  if (grid_.GetRowCount() == 0 || !GetSafeHwnd()) return;
  ::SetActiveWindow(GetSafeHwnd());
  ::SetForegroundWindow(GetSafeHwnd());
}

void CAlarmRemindersDlg::OnModify() {
  if (!host_ || !host_->CanModifyEvents()) return;
  SelectCurrentRow();
  COccurrenceRef ref;
  if (!GetRowAlarm(grid_.GetCurrentRow(), &ref)) return;
  // A copy: the editor takes the event's rows out of this window.
  host_->ModifyEvent(ref);
  ActivateIfRowsLeft();
}

void CAlarmRemindersDlg::OnDelete() {
  framework::CWaitCursor wait;
  const std::vector<COccurrenceRef> refs = SelectedAlarms();
  // Each delete may free its event and take rows out: the copies are
  // checked against the rows still there before each one.
  for (const COccurrenceRef& ref : refs) {
    if (!host_ || FindRow(ref.event, &ref.date) < 0) continue;
    host_->DeleteEvent(ref);
  }
  ActivateIfRowsLeft();
}

void CAlarmRemindersDlg::OnRefresh() {
  const std::vector<CCalendarFile*> calendars = refreshList_;
  for (CCalendarFile* calendar : calendars)
    if (host_) host_->RefreshCalendar(calendar);
  ActivateIfRowsLeft();
}
