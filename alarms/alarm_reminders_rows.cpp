// CAlarmRemindersDlg: taking alarms in, listing them, and taking rows out.
#include <algorithm>
#include <cstdio>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/alarm_batch.h"
#include "alarms/alarm_reminders_dlg.h"

#include "model/events/alarm_state_keep.h"
#include "alarms/core/reminder_rows.h"
#include "alarms/reminder_host.h"
#include "model/events/alarm_state_keep.h"
#include "model/events/cal_event.h"
#include "model/events/event_text_fields.h"
#include "model/settings/program_settings.h"
#include "platform/local_path.h"
#include "res/resource.h"
#include "storage/calendar_file.h"

void CAlarmRemindersDlg::AddAlarm(CCalEvent* event) {
  if (!event) return;
  pending_.emplace_back(event, event->latestDue);
  event->reminderWindow = this;
}

void CAlarmRemindersDlg::AppendRow(const COccurrenceRef& ref) {
  EventTextFields fields;
  ref.GetTextFields(fields);
  const int row = grid_.GetRowCount();
  grid_.SetRowCount(row + 1, 0);
  const uint32_t key = nextKey_++;
  rows_[key] = ref;
  CGridCell name;
  name.SetText(fields.name);
  name.SetUserValue(key);
  grid_.SetCell(0, row, name);
  for (int col = 1; col <= 2; ++col) {
    CGridCell cell;
    cell.SetText(col == 1 ? fields.startDate : fields.startTime);
    cell.SetAlignment(34);
    grid_.SetCell(col, row, cell);
  }
  grid_.SetCellText(3, row, fields.type);
  CGridCell notes;
  notes.SetText(ref.GetNotes());
  notes.SetCellType(notesTypeIndex_);
  notes.SetCellTypeStyle(4);
  grid_.SetCell(4, row, notes);
}

void CAlarmRemindersDlg::ShowPendingAlarms() {
  grid_.EnableRedraw(0);
  bool acknowledgedSome = false;
  bool addedRows = false;
  bool soundPlayed = false;
  // By index, copying each entry: a save below may free an event, which
  // blanks its pending entry (RemoveAlarm).
  for (size_t i = 0; i < pending_.size(); ++i) {
    const COccurrenceRef ref = pending_[i];
    CCalEvent* e = ref.event;
    if (!e) continue;
    // An acknowledge the calendar could not save is shown as any due alarm.
    const CAlarmStateKeep kept(*e);
    bool acknowledged = false;
    if (alarmcore::EventAutoAcknowledges(*e)) {
      const std::vector<CDateTime> dates(e->dueAlarms.begin(), e->dueAlarms.end());
      for (const CDateTime& d : dates) e->Acknowledge(d, false);
      acknowledged = SaveAlarmChange(e, kept);
      acknowledgedSome = acknowledgedSome || acknowledged;
    }
    if (pending_[i].event != e) continue;
    if (acknowledged) {
      e->dueAlarms.DeleteAll();
      e->listed = 0;
    } else {
      AppendRow(ref);
      addedRows = true;
    }
    if (pending_[i].event != e) continue;
    const alarmcore::SoundRow sound = alarmcore::EventSoundRow(*e);
    if (!soundPlayed && sound.soundOn) {
      soundPlayed = true;
      // A calendar from elsewhere may name another computer's file: the
      // beep plays instead, and the alarm log says why.
      if (!PlayAlarmFile(sound.file))
        alarms::LogAlarmError(platform::RefusedPathText("The alarm sound", sound.file), "Play Sound", e->name);
    }
  }
  if (acknowledgedSome && host_) host_->RecountAndRefresh();
  if (addedRows) {
    ShowWithoutActivating();
    unseen_ = true;
    ActivateWindow();
    grid_.MoveToRow(0);
    grid_.SortRowsByColumn(0, 1);
    COccurrenceRef first;
    int amount = -1;
    if (GetRowAlarm(0, &first) && first.event) amount = first.event->snoozeAmount;
    char text[16];
    std::snprintf(text, sizeof text, "%d", amount < 0 ? g_Settings.SnoozeMinutes : amount);
    SetSnoozeText(text);
  }
  grid_.EnableRedraw(1);
  grid_.RedrawAll();
  UpdateTitle();
  if (addedRows) {
    nextRow_ = 0;
    fillTime_ = AlarmClockSeconds();
    if (!timerRunning_) StartSoundTimer();
  }
  auto batch = std::make_unique<AlarmBatch>();
  for (const COccurrenceRef& ref : pending_)
    if (ref.event) batch->push_back(ref);
  pending_.clear();
  UpdateRefreshList();
  HandOverAlarmBatch(std::move(batch));
}

const CDateTime* CAlarmRemindersDlg::RowDate(uint32_t key) const {
  auto it = rows_.find(key);
  return it == rows_.end() ? nullptr : &it->second.date;
}

bool CAlarmRemindersDlg::GetRowAlarm(int row, COccurrenceRef* out) {
  uint32_t key = 0;
  if (!grid_.GetRowKey(row, &key)) return false;
  auto it = rows_.find(key);
  if (it == rows_.end()) return false;
  *out = it->second;
  return true;
}

int CAlarmRemindersDlg::FindRow(const CCalEvent* event, const CDateTime* date) {
  for (int row = 0; row < grid_.GetRowCount(); ++row) {
    COccurrenceRef ref;
    if (!GetRowAlarm(row, &ref) || ref.event != event) continue;
    if (!date) return row;
    int32_t d1 = 0, s1 = 0, d2 = 0, s2 = 0;
    ref.date.GetComparableParts(*date, &d1, &s1, &d2, &s2);
    if (d1 == d2 && s1 == s2) return row;
  }
  return -1;
}

void CAlarmRemindersDlg::RemoveAlarm(CCalEvent* event, int row, const CDateTime* date) {
  if (row == -1) {
    // An event freed or edited before its batch was handed over: its
    // pending entry is blanked (never erased: the batch may be walking).
    for (COccurrenceRef& r : pending_)
      if (r.event == event) r.event = nullptr;
  }
  const bool all = row == -1 && date == nullptr;
  for (;;) {
    const int found = row == -1 ? FindRow(event, date) : row;
    if (found < 0 || found >= grid_.GetRowCount()) break;
    uint32_t key = 0;
    if (grid_.GetRowKey(found, &key)) rows_.erase(key);
    grid_.DeleteRow(found);
    if (!all) break;
  }
  if (event && FindRow(event, nullptr) < 0) {
    event->dueAlarms.DeleteAll();
    event->listed = 0;
  }
  if (grid_.GetRowCount() == 0) {
    StopSoundTimer();
    if (GetSafeHwnd()) ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  }
  UpdateTitle();
}

void CAlarmRemindersDlg::RemoveRows(const std::vector<COccurrenceRef>& refs) {
  grid_.EnableRedraw(0);
  for (const COccurrenceRef& ref : refs) RemoveAlarm(ref.event, -1, &ref.date);
  grid_.ClearSelection();
  grid_.EnableRedraw(1);
  grid_.RedrawAll();
}

void CAlarmRemindersDlg::UpdateRefreshList() {
  refreshList_.clear();
  for (int row = grid_.GetRowCount() - 1; row >= 0; --row) {
    COccurrenceRef ref;
    if (!GetRowAlarm(row, &ref) || !ref.event) continue;
    CCalendarFile* calendar = ref.event->calendar;
    if (!calendar || !calendar->subscribed) continue;
    const bool known = std::any_of(refreshList_.begin(), refreshList_.end(),
                                   [&](const CCalendarFile* c) { return c->listId == calendar->listId; });
    if (!known) refreshList_.push_back(calendar);
  }
  if (GetSafeHwnd())
    ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_ALARM_REFRESH), refreshList_.empty() ? FALSE : TRUE);
}

void CAlarmRemindersDlg::PublishChangedCalendars(std::vector<CCalendarFile*>& calendars) {
  for (CCalendarFile* calendar : calendars) {
    if (calendar && calendar->publishAfterSave && calendar->publishAlarms) calendar->AutoPublish(1);
  }
  calendars.clear();
}
