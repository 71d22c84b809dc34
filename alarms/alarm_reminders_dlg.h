// CAlarmRemindersDlg: the one modeless "Alarm Reminders" window that every
// due alarm leads to. The main frame's alarm check creates it on first
// need and keeps it for the run: AddAlarm for each due event, then
// ShowPendingAlarms once. It lists one row per due occurrence, plays and
// repeats the alarm sound, brings itself to the user as the settings say,
// and offers acknowledge, snooze, modify, delete and refresh.
//
// Rows are identified by their event (the object, never its array index,
// which renumbers) and occurrence date. Every path that frees or edits an
// event takes its rows out first (IReminderWindow::RemoveAlarm, called by
// the event model), so no row, pending entry or sound tick outlives its
// event. Escape and the close box do nothing: an alarm leaves the window
// only by acknowledge, snooze or delete. Enter acknowledges only once the
// user has clicked into the window since its latest rows came, so typing
// meant for another window never acknowledges an alarm nobody read.
//
// GUI thread only. Each batch of due alarms is handed whole to the alarm
// batch hook (alarm_batch.h), which owns it from then on.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "alarms/alarm_reminders_grid.h"
#include "alarms/core/reminder_snooze.h"
#include "framework/dialogs/dialog.h"
#include "grid/celltypes/drop_button_type.h"
#include "model/events/occurrence_ref.h"
#include "model/services/reminder_window.h"

class CCalendarFile;
class IReminderHost;

class CAlarmRemindersDlg : public framework::CDialog, public IReminderWindow {
 public:
  // `host` may be null (no modify, delete, refresh or recount).
  explicit CAlarmRemindersDlg(IReminderHost* host);
  ~CAlarmRemindersDlg() override;

  // Creates the unowned window from template 307 (hidden).
  bool CreateWindowless();

  // Queues the event's latest due occurrence; nothing is shown yet.
  void AddAlarm(CCalEvent* event);
  // Shows the queued alarms (rows, sound, activation) and hands the batch
  // to the alarm batch hook; always empties the queue.
  void ShowPendingAlarms();

  // IReminderWindow: with row -1 the rows of the event (and, when a date is
  // given, of that occurrence) go; a pending entry of the event too.
  void RemoveAlarm(CCalEvent* event, int row, const CDateTime* date) override;

  // The first row of the event (identity) and, when given, occurrence
  // date (same Julian day and seconds); -1 when none.
  int FindRow(const CCalEvent* event, const CDateTime* date);
  // The row's reference; false (out unchanged) when the row has no data.
  bool GetRowAlarm(int row, COccurrenceRef* out);
  int RowCount() { return grid_.GetRowCount(); }
  const CDateTime* RowDate(uint32_t key) const;
  std::string GetSnoozeText() const;
  void SetSnoozeText(const std::string& text);
  bool IsSoundTimerRunning() const { return timerRunning_; }
  CAlarmRemindersGrid& Grid() { return grid_; }

  // One tick of the sound repeat (also run by the repeat timer).
  void RepeatAlarmSound();
  // Brings the window to the user by AlarmInterupt, but never takes the
  // keyboard from another window the user is working in: then it only
  // shows itself (beneath a dialog being answered) and flashes.
  void ActivateWindow();

  // Commands.
  void OnModify();
  void OnDelete();
  void OnRefresh();
  void OnSnoozeMinutes() { SnoozeCommand(alarmcore::SnoozeUnit::kMinutes); }
  void OnSnoozeHours() { SnoozeCommand(alarmcore::SnoozeUnit::kHours); }
  void OnSnoozeDays() { SnoozeCommand(alarmcore::SnoozeUnit::kDays); }
  void OnSnoozeWeeks() { SnoozeCommand(alarmcore::SnoozeUnit::kWeeks); }

  bool PreTranslateMessage(MSG& msg) override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override {}
  void OnClose() override {}

 private:
  friend class CAlarmRemindersGrid;

  void OnNothing() {}
  LRESULT OnHelpInfo(WPARAM, LPARAM);
  void SetUpGrid();
  void PlaceCascaded();
  void AddToolTips();
  void AppendRow(const COccurrenceRef& ref);
  void UpdateTitle();
  void UpdateRefreshList();
  // Rows of these references go (RemoveAlarm each), then the selection.
  void RemoveRows(const std::vector<COccurrenceRef>& refs);
  void PublishChangedCalendars(std::vector<CCalendarFile*>& calendars);
  void SelectCurrentRow();
  // Selected rows from the last to the first (the current one included).
  std::vector<int> SelectedRowsDescending();
  // The alarms of the selected rows, last row first, copied before any is
  // worked on: a question asked on the way lets the alarm check add and
  // sort rows, which would move what a row number names.
  std::vector<COccurrenceRef> SelectedAlarms();
  void SnoozeCommand(alarmcore::SnoozeUnit unit);
  void Snooze(alarmcore::SnoozeUnit unit, int n);
  // False when the file is not on this computer (only the beep came).
  bool PlayAlarmFile(const std::string& file);
  void StartSoundTimer();
  void StopSoundTimer();
  void ActivateIfRowsLeft();
  // The window the user is working in when it is not the reminder itself:
  // the foreground window, unless there is none or only the desktop.
  static HWND WindowInUse(HWND self);
  void ShowWithoutActivating();
  void Flash();
  // A key that would press the default or the focused button while rows
  // are unseen.
  bool PressesUnseen(const MSG& msg);

  static void CALLBACK AlarmSoundTimerProc(HWND, UINT, UINT_PTR, DWORD);

  IReminderHost* host_;
  int nextRow_ = 0;
  HACCEL accel_ = nullptr;
  int64_t fillTime_ = 0;
  UINT_PTR timerId_ = 0;
  bool timerRunning_ = false;
  bool unseen_ = false;
  std::vector<COccurrenceRef> pending_;
  std::vector<CCalendarFile*> refreshList_;
  std::map<uint32_t, COccurrenceRef> rows_;  // by the key in column 0
  uint32_t nextKey_ = 1;
  HFONT font_ = nullptr;
  HWND toolTip_ = nullptr;
  CAlarmRemindersGrid grid_;
  CGridDropButtonType notesType_;
  int notesTypeIndex_ = 0;
};

// Seconds since 1970 by the program's clock (frozen in tests).
int64_t AlarmClockSeconds();
