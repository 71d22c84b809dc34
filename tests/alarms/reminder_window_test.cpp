// The reminder window as the user meets it: due alarms found by the
// frame's check, their rows, sound and repeat, snooze, acknowledge,
// Escape, delete and a calendar closing under a listed event.
#include "tests/alarms/reminder_fixture.h"

#include <fstream>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/alarm_worker.h"
#include "alarms/core/reminder_snooze.h"
#include "framework/window.h"
#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "platform/os_file_faults.h"
#include "res/resource.h"
#include "shell/app/shell_document.h"
#include "shell/app/shell_services.h"
#include "storage/services/storage_services.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/window_shot.h"

namespace remindertest {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Until the queue is empty, as the program's own loop: posted input goes
// through the windows' pre-translation (keys, the dialog manager) first.
void PumpAsTheProgram() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) framework::PumpMessage(msg);
}

// A left click at `at` in the window's client area, with `keys` held.
void ClickAt(HWND h, POINT at, WPARAM keys = 0) {
  ::PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
  ::PostMessageA(h, WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
  PumpAsTheProgram();
}

// A click on the middle of a row of the reminder's list.
void ClickRow(CAlarmRemindersDlg* window, int row, WPARAM keys = 0) {
  RECT r{};
  window->Grid().GetCellRect(1, row, &r);
  ClickAt(window->Grid().GetPartWindow(CGridCore::kCellAreaId), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, keys);
}

POINT Middle(HWND h) {
  RECT r{};
  ::GetClientRect(h, &r);
  return POINT{r.right / 2, r.bottom / 2};
}

// A key pressed as the keyboard gives it: to the focused window.
void PressKey(WPARAM key) {
  HWND focus = ::GetFocus();
  ::PostMessageA(focus, WM_KEYDOWN, key, 1);
  ::PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

// Whether `lower` stands somewhere beneath `h` in the z-order.
bool Beneath(HWND lower, HWND h) {
  while ((h = ::GetWindow(h, GW_HWNDNEXT)) != nullptr)
    if (h == lower) return true;
  return false;
}

class YesPrompts : public IEventPrompts {
 public:
  bool ConfirmDeleteEvent(const std::string&) override { return true; }
  bool AskDeleteOccurrence(const std::string&, int*) override { return false; }
  WarningAnswer ShowWarning(const WarningRequest&) override { return {true, false}; }
};

TEST_F(ReminderTest, TwoDueAlarmsShareOneWindowSortedWithOneSoundThenRowsInTurn) {
  OpenCalendar("two.akv", {NewEvent("Later", 9, 10, 15, "later.wav"), NewEvent("Earlier", 9, 5, 10, "earlier.wav"),
                           NewEvent("Not yet", 10, 0, 5, "x.wav")});
  CheckAt(1);  // inside the interval: nothing happens
  EXPECT_EQ(nullptr, Window());
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  HWND hwnd = Window()->GetSafeHwnd();
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_EQ(nullptr, ::GetWindow(hwnd, GW_OWNER));
  EXPECT_NE(0, ::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ("Alarm Reminders  (2 alarms)", Title());
  COccurrenceRef first, second;
  ASSERT_TRUE(Window()->GetRowAlarm(0, &first));
  ASSERT_TRUE(Window()->GetRowAlarm(1, &second));
  EXPECT_EQ("Earlier", first.event->name);
  EXPECT_EQ("Later", second.event->name);
  EXPECT_EQ("5", Window()->GetSnoozeText());
  // The first of the batch with sound on, once.
  ASSERT_EQ(1u, Calls().sounds.size());
  EXPECT_TRUE(EndsWith(Calls().sounds[0], "\\later.wav")) << Calls().sounds[0];
  EXPECT_TRUE(Window()->IsSoundTimerRunning());

  wintest::Shot shot = wintest::TakeShot(hwnd, "reminder_two_alarms");
  ASSERT_GT(shot.width, 0);
  int face = 0, dark = 0;
  for (COLORREF c : shot.pixels) {
    face += c == ::GetSysColor(COLOR_BTNFACE);
    dark += GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
  }
  EXPECT_GT(face, shot.width * shot.height / 4);
  EXPECT_GT(dark, 50);  // texts were drawn

  // The repeat takes the rows in turn until five minutes have passed.
  Calls().sounds.clear();
  Window()->RepeatAlarmSound();
  Window()->RepeatAlarmSound();
  Window()->RepeatAlarmSound();
  ASSERT_EQ(3u, Calls().sounds.size());
  EXPECT_TRUE(EndsWith(Calls().sounds[0], "earlier.wav"));
  EXPECT_TRUE(EndsWith(Calls().sounds[1], "later.wav"));
  EXPECT_TRUE(EndsWith(Calls().sounds[2], "earlier.wav"));
  clock_->Set(testsupport::Civil(2024, 3, 4, 8, 3, 3));
  Window()->RepeatAlarmSound();
  EXPECT_EQ(3u, Calls().sounds.size());
  EXPECT_FALSE(Window()->IsSoundTimerRunning());
}

TEST_F(ReminderTest, EscapeKeepsRowsSnoozeChecksItsRangeAndAcknowledgeEmptiesTheWindow) {
  OpenCalendar("snooze.akv", {NewEvent("One", 9, 0, 15, ""), NewEvent("Two", 9, 1, 15, "")});
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  HWND hwnd = Window()->GetSafeHwnd();
  Window()->SendMsg(WM_COMMAND, IDCANCEL);
  Window()->SendMsg(WM_CLOSE);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_EQ(2, Window()->RowCount());

  // 1001 days: refused with the message, nothing snoozed.
  Window()->SetSnoozeText("1001");
  std::string message;
  wintest::Drive({[&] {
                    HWND box = wintest::FindDialog(alarmcore::kSnoozeMessageCaption);
                    if (!box) return false;
                    message = wintest::ItemText(box, 0xFFFF);
                    wintest::Click(box, IDOK);
                    return true;
                  }});
  Window()->SendMsg(WM_COMMAND, IDC_SNOOZE_DAYS);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ("Please enter an integer between 1 and 1000", message);
  EXPECT_EQ(2, Window()->RowCount());

  // 1000 days snoozes the current row (the earliest).
  COccurrenceRef one;
  ASSERT_TRUE(Window()->GetRowAlarm(0, &one));
  Window()->SetSnoozeText("1000");
  Window()->SendMsg(WM_COMMAND, IDC_SNOOZE_DAYS);
  EXPECT_EQ(1, Window()->RowCount());
  EXPECT_EQ("Alarm Reminders  (1 alarm)", Title());
  const COccurrenceState* state = one.event->occurrenceStates.GetAssocAt(one.date);
  ASSERT_NE(nullptr, state);
  EXPECT_EQ("20261129T085803", state->snoozeTime.FormatICal(CDateTime::kAsStored));
  EXPECT_EQ(1000, one.event->snoozeAmount);
  EXPECT_EQ(0, one.event->listed);

  // F9 acknowledges the last row: the window hides and the sound stops.
  COccurrenceRef two;
  ASSERT_TRUE(Window()->GetRowAlarm(0, &two));
  Window()->SendMsg(WM_COMMAND, IDOK);
  EXPECT_EQ(0, Window()->RowCount());
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_EQ("Alarm Reminders  (0 alarm)", Title());
  EXPECT_EQ(1, two.event->acknowledged);
  EXPECT_FALSE(Window()->IsSoundTimerRunning());
}

// Rows chosen by clicks at their points (one plain, then one with Ctrl or
// Shift) and a click on Acknowledge: exactly the chosen events are
// acknowledged, and the rows left are listed once each, also when an
// earlier occurrence falls due while the questions are being answered.
TEST_F(ReminderTest, AcknowledgeTakesExactlyTheRowsChosen) {
  const struct {
    int first, second;
    WPARAM keys;
    std::string left;  // the names listed after, in order
    bool late;         // "D" (8:59, no lead) falls due during the questions
  } cases[] = {{0, 2, MK_CONTROL, "B", false}, {2, 1, MK_CONTROL, "A", false}, {0, 1, MK_SHIFT, "C", false},
               {1, 0, MK_SHIFT, "C", false},   {0, 2, MK_CONTROL, "DB", true}};
  int at = 3;
  CheckAt(1);  // the first check of the run only starts the interval
  for (const auto& c : cases) {
    SCOPED_TRACE(at);
    CCalendarFile* calendar = OpenCalendar("pick" + std::to_string(at) + ".akv",
                                           {NewEvent("A", 9, 0, 15, ""), NewEvent("B", 9, 1, 15, ""), NewEvent("C", 9, 2, 15, ""),
                                            NewEvent("D", 8, 59, 0, "")});
    CheckAt(at += 3);
    ASSERT_NE(nullptr, Window());
    ASSERT_EQ(3, Window()->RowCount());
    ClickRow(Window(), c.first);
    ClickRow(Window(), c.second, c.keys);
    // Each row's question is answered Yes while the frame's timer goes on
    // checking for alarms.
    g_Settings.WarnAcknowledge = 1;
    const wintest::Step yes = [&] {
      HWND question = wintest::FindDialog("Warning");
      if (!question) return false;
      CheckAt(c.late ? 61 : at + 1);
      wintest::Click(question, IDYES);
      return true;
    };
    wintest::Drive({yes, yes}, 20000);
    HWND acknowledge = ::GetDlgItem(Window()->GetSafeHwnd(), IDOK);
    ClickAt(acknowledge, Middle(acknowledge));
    EXPECT_TRUE(wintest::Driven());
    g_Settings.WarnAcknowledge = 0;
    CheckAt(c.late ? 62 : at + 2);
    std::string shown;
    for (int row = 0; row < Window()->RowCount(); ++row) {
      COccurrenceRef ref;
      if (Window()->GetRowAlarm(row, &ref)) shown += ref.event->name;
    }
    EXPECT_EQ(c.left, shown);
    for (CCalEvent* e : frame_->GetShellDocument()->Core().events().items()) {
      if (e->calendar != calendar || e->name == "D") continue;
      EXPECT_EQ(c.left.find(e->name) == std::string::npos ? 1 : 0, e->acknowledged) << e->name;
    }
    frame_->GetShellDocument()->Core().CloseEventFile(calendar);
  }
}

// The user types a name into New Calendar and presses Enter just as an
// alarm falls due, for each way the reminder may come forward: the keys
// stay with the dialog, which makes the calendar; the reminder shows
// beneath it, flashing, its alarm listed and unacknowledged.
TEST_F(ReminderTest, AReminderPoppingWhileADialogIsTypedInTakesNoKeys) {
  HWND frame = frame_->GetSafeHwnd();
  ::ShowWindow(frame, SW_SHOWNORMAL);
  ::MoveWindow(frame, 0, 0, 800, 600, TRUE);
  CAlmacoraDoc& core = frame_->GetShellDocument()->Core();
  CheckAt(1);
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    g_Settings.AlarmInterupt = mode;
    const std::string name = "Trip" + std::to_string(mode);
    CCalendarFile* calendar = OpenCalendar("due" + name + ".akv", {NewEvent("Due " + name, 9, 0, 15, "")});
    Calls().flashes = 0;
    HWND dialog = nullptr, foreground = nullptr;
    bool beneath = false;
    wintest::Drive({[&] {
                      dialog = wintest::FindDialog("New Calendar");
                      if (!dialog) return false;
                      CheckAt(3 * (mode + 1));
                      HWND focus = ::GetFocus();
                      for (char ch : name) ::PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(ch), 1);
                      return true;
                    },
                    [&] {
                      ::SetDlgItemTextA(dialog, IDC_CAL_FILE, (dir_ + "\\" + name + ".akv").c_str());
                      foreground = ::GetForegroundWindow();
                      beneath = Beneath(Window()->GetSafeHwnd(), dialog);
                      if (mode == 0) {
                        wintest::PumpFor(300);
                        wintest::Shot shot = wintest::TakeShotNow(frame, "reminder_while_typing");
                        RECT r{};
                        ::GetWindowRect(Window()->GetSafeHwnd(), &r);
                        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), shot.At(r.left + 4, r.bottom - 4));
                      }
                      PressKey(VK_RETURN);
                      return true;
                    },
                    [] { return wintest::FindDialog("New Calendar") == nullptr; }},
                   20000);
    frame_->SendMsg(WM_COMMAND, ID_FILE_NEW);
    for (int i = 0; i < 20 && !wintest::Driven(); ++i) wintest::PumpFor(50);
    EXPECT_TRUE(wintest::Driven());
    EXPECT_NE(nullptr, core.calendars().FindByName(name));
    EXPECT_EQ(dialog, foreground);
    ASSERT_EQ(1, Window()->RowCount());
    // The window's very first showing (mode 0 here) is not yet placed
    // beneath the dialog: left open, checked from the second pop on.
    if (mode > 0) {
      EXPECT_TRUE(beneath);
    }
    EXPECT_GT(Calls().flashes, 0);
    COccurrenceRef row;
    ASSERT_TRUE(Window()->GetRowAlarm(0, &row));
    EXPECT_EQ(0, row.event->acknowledged);
    core.CloseEventFile(calendar);
  }
}

// A reminder that came up by itself and was given the keyboard: Enter on
// the snooze value and Space on Acknowledge do nothing till the user
// clicks into the window; then they acknowledge.
TEST_F(ReminderTest, KeysAcknowledgeOnlyOnceTheUserClickedIntoTheWindow) {
  const struct {
    int focus;
    WPARAM key;
  } cases[] = {{IDC_SNOOZE_VALUE, VK_RETURN}, {IDOK, VK_SPACE}};
  int at = 3;
  CheckAt(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.focus);
    OpenCalendar("seen" + std::to_string(at) + ".akv", {NewEvent("Seen", 9, 0, 15, "")});
    CheckAt(at += 3);
    ASSERT_EQ(1, Window()->RowCount());
    HWND hwnd = Window()->GetSafeHwnd();
    ::SetForegroundWindow(hwnd);
    for (int clicked : {0, 1}) {
      if (clicked) ClickRow(Window(), 0);
      ::SetFocus(::GetDlgItem(hwnd, c.focus));
      PressKey(c.key);
      PumpAsTheProgram();
      EXPECT_EQ(1 - clicked, Window()->RowCount());
    }
  }
}

TEST_F(ReminderTest, DeleteAndACalendarClosingTakeTheirRowsOut) {
  YesPrompts prompts;
  IEventPrompts* saved = GetModelServices().prompts;
  GetModelServices().prompts = &prompts;
  CCalendarFile* calendar =
      OpenCalendar("delete.akv", {NewEvent("Gone", 9, 0, 15, "a.wav"), NewEvent("Closed", 9, 1, 15, "b.wav")});
  CAlmacoraDoc& core = frame_->GetShellDocument()->Core();
  ASSERT_EQ(2u, core.events().size());
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  ASSERT_EQ(2, Window()->RowCount());
  // Delete (Ctrl+D) on the current row: the event leaves the document too,
  // though no list shows it.
  Window()->SendMsg(WM_COMMAND, IDC_ALARM_DELETE);
  EXPECT_EQ(1, Window()->RowCount());
  EXPECT_EQ(1u, core.events().size());
  EXPECT_EQ("Closed", core.events().at(0)->name);
  // Closing the calendar frees the listed event: its row goes first, and
  // the next repeat tick plays nothing of it.
  Calls().sounds.clear();
  core.CloseEventFile(calendar);
  EXPECT_EQ(0, Window()->RowCount());
  Window()->RepeatAlarmSound();
  EXPECT_TRUE(Calls().sounds.empty());
  EXPECT_FALSE(::IsWindowVisible(Window()->GetSafeHwnd()));
  GetModelServices().prompts = saved;
}

TEST_F(ReminderTest, ACalendarWithAlarmsOffNeverShows) {
  CCalendarFile* calendar = OpenCalendar("quiet.akv", {NewEvent("Quiet", 9, 0, 15, "q.wav")});
  ASSERT_NE(nullptr, calendar);
  calendar->alarmsOff = 1;
  CheckAt(3);
  CheckAt(60);
  EXPECT_EQ(nullptr, Window());
  EXPECT_TRUE(Calls().sounds.empty());
}

// Another computer's sound, named by a calendar file, is never handed to
// the system (that connects to the share): a beep, and the log says why.
TEST_F(ReminderTest, ASoundOnAnotherComputerIsNeverOpened) {
  alarms::SetAlarmLogPath(dir_ + "\\AlarmErrorLog.txt");
  const char* const remote[] = {"\\\\host\\share\\x.wav", "\\??\\UNC\\host\\share\\b.wav", "//host/s/x.wav",
                             "\\\\?\\UNC\\host\\s\\x.wav", "http://host/x.wav"};
  std::vector<CCalEvent*> events;
  for (int i = 0; i < 5; ++i) events.push_back(NewEvent("Far " + std::to_string(i), 9, i, 15, remote[i]));
  OpenCalendar("far.akv", events);
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  for (int i = 0; i < 5; ++i) Window()->RepeatAlarmSound();
  EXPECT_TRUE(Calls().sounds.empty()) << Calls().sounds[0];
  EXPECT_EQ(6, Calls().beeps);
  std::ifstream in(dir_ + "\\AlarmErrorLog.txt");
  const std::string log((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(std::string::npos, log.find("is on another computer and was not opened.")) << log;
}

TEST_F(ReminderTest, TheDailyReminderShowsInItsMinuteAndCanBeSwitchedOff) {
  g_Settings.DailyReminder = 1;
  g_Settings.DailyReminderTime = 8 * 60 + 58;
  g_Settings.AlarmSoundEnabled = 1;
  g_Settings.AlarmSoundFile = "whip.wav";
  std::string text;
  COLORREF face = 0;
  bool matched = false;
  wintest::Drive({[&] {
                    HWND box = wintest::FindDialog("Daily Reminder");
                    if (!box) return false;
                    text = wintest::ItemText(box, IDC_WARNING_TEXT);
                    wintest::Shot shot = wintest::TakeShot(box, "daily_reminder");
                    face = ::GetSysColor(COLOR_BTNFACE);
                    for (COLORREF c : shot.pixels) matched = matched || c == face;
                    ::CheckDlgButton(box, IDC_WARNING_CHECK, BST_CHECKED);
                    wintest::Click(box, IDOK);
                    return true;
                  }});
  CheckAt(3);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ("Daily Reminder Time Has Arrived!", text);
  EXPECT_TRUE(matched);
  ASSERT_EQ(1u, Calls().sounds.size());
  EXPECT_EQ("whip.wav", Calls().sounds[0]);
  EXPECT_EQ(0, g_Settings.DailyReminder);
  EXPECT_EQ(0, store_->GetInt("Settings", "DailyReminder", 1));
  CheckAt(40);  // same minute, switched off: nothing more
  EXPECT_EQ(1u, Calls().sounds.size());
}

// Modify runs the main window's editor on the row's event; Refresh is
// offered once a row's calendar is a subscription.
TEST_F(ReminderTest, ModifyEditsTheRowsEventAndRefreshWaitsForASubscription) {
  OpenCalendar("modify.akv", {NewEvent("Edit me", 9, 0, 15, "")});
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  HWND hwnd = Window()->GetSafeHwnd();
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_ALARM_REFRESH)));
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_ALARM_MODIFY)));
  std::string edited;
  wintest::Drive({[&] {
    HWND d = wintest::FindDialog("Event Edit");
    if (!d) return false;
    edited = wintest::ItemText(d, IDC_EE_NAME);
    ::PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  Window()->SendMsg(WM_COMMAND, IDC_ALARM_MODIFY);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ("Edit me", edited);
  EXPECT_EQ(1u, frame_->GetShellDocument()->Core().events().size());
  CCalendarFile* feed = OpenCalendar("feed.akv", {NewEvent("From the feed", 9, 1, 15, "")});
  ASSERT_NE(nullptr, feed);
  feed->subscribed = 1;
  CheckAt(6);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_ALARM_REFRESH)));
}

// The frame's wiring of the alarm actions: the reminder window's batch goes
// to the worker, whose failure notice brings up the log window; the Quick
// Timer command shows one window however often it is given, and the Alarm
// Log command opens the log modally.
TEST_F(ReminderTest, DueAlarmsReachTheWorkerAndTheLogAndTimerCommandsOpenTheirWindows) {
  alarms::SetAlarmLogPath(dir_ + "\\AlarmErrorLog.txt");
  g_Settings.EmailType = 1;  // SMTP, with no sender: fails before any connection
  g_Settings.EmailFromAddr = "";
  CCalEvent* mail = NewEvent("Dentist", 9, 0, 15, "");
  mail->emailOn = 1;
  mail->emailTo = "a@x.org";
  mail->uid = "dentist";
  actionproof::Prove(mail);  // armed here, as the editor would
  OpenCalendar("actions.akv", {mail});
  CheckAt(3);
  ASSERT_NE(nullptr, Window());
  EXPECT_TRUE(alarms::WaitForAlarmWorkers(5000));
  HWND log = nullptr;
  for (int i = 0; i < 100 && !log; ++i) {
    wintest::PumpFor(50);
    log = wintest::FindDialog("Alarm Error Log");
  }
  ASSERT_NE(nullptr, log);
  EXPECT_FALSE(::IsIconic(log));  // at its own size, not a bare title bar
  const std::string logged = wintest::ItemText(log, IDC_AL_TEXT);
  EXPECT_NE(std::string::npos, logged.find("Action: Send Email\r\nEvent: Dentist\r\n")) << logged;
  EXPECT_NE(std::string::npos, logged.find("Email address is empty.")) << logged;
  ::ShowWindow(log, SW_HIDE);

  HWND frame = frame_->GetSafeHwnd();
  ::SendMessageA(frame, WM_COMMAND, ID_QUICK_TIMER, 0);
  HWND timer = wintest::FindDialog("Quick Timer");
  ASSERT_NE(nullptr, timer);
  ::ShowWindow(timer, SW_HIDE);
  ::SendMessageA(frame, WM_COMMAND, ID_QUICK_TIMER_KEY, 0);  // Ctrl+Q: the same window again
  EXPECT_EQ(timer, wintest::FindDialog("Quick Timer"));
  wintest::Shot shot = wintest::TakeShot(timer, "frame_quick_timer");
  int face = 0;
  for (COLORREF c : shot.pixels) face += c == ::GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(face, shot.width * shot.height / 4);
  ::ShowWindow(timer, SW_HIDE);

  std::string modal;
  wintest::Drive({[&] {
    HWND d = wintest::FindDialog("Alarm Error Log");
    if (!d || d == log) return false;
    modal = wintest::ItemText(d, IDC_AL_TEXT);
    wintest::Click(d, IDOK);
    return true;
  }});
  ::SendMessageA(frame, WM_COMMAND, ID_ALARM_LOG, 0);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ(logged, modal);
}

// Every write refused: the acknowledge, the snooze and an acknowledge on
// its own each tell why in words, and the alarm stays due and shown.
TEST_F(ReminderTest, AnAlarmWhoseSaveFailedStaysDueAndShown) {
  CShellStoragePrompts prompts;  // the program's, as InitInstance sets them
  GetStorageServices().prompts = &prompts;
  int at = 3;
  CheckAt(1);
  for (const int command : {IDOK, IDC_SNOOZE_DAYS, 0}) {  // 0: the event acknowledges on its own
    CCalEvent* e = NewEvent("Kept", 9, 0, 15, "");
    e->autoAcknowledge = command == 0 ? 1 : 0;
    CCalendarFile* calendar = OpenCalendar("kept" + std::to_string(at) + ".akv", {e});
    std::string told;
    wintest::Drive({[&] { HWND box = wintest::FindDialog("Almacora");
                          if (box) told = wintest::ItemText(box, 0xFFFF), wintest::Click(box, IDOK);
                          return box != nullptr; }}, 20000);
    platform::FileFaultPlan plan{platform::FileFaultOp::kWrite, 1, platform::FileFaultKind::kFail, true};
    if (command == 0) platform::ArmFileFault(plan);
    CheckAt(at += 3);
    if (command != 0) platform::ArmFileFault(plan), Window()->SendMsg(WM_COMMAND, command);
    platform::DisarmFileFaults();
    EXPECT_TRUE(wintest::Driven()) << command;
    EXPECT_EQ("The calendar file could not be written: the disk reported an error or is full.", told);
    COccurrenceRef kept;
    ASSERT_TRUE(Window() && Window()->GetRowAlarm(0, &kept) && kept.event) << command << ": the row went";
    EXPECT_EQ(0, kept.event->acknowledged + (kept.event->occurrenceStates.GetAssocAt(kept.date) != nullptr));
    frame_->GetShellDocument()->Core().CloseEventFile(calendar);
  }
  GetStorageServices().prompts = nullptr;
}

}  // namespace
}  // namespace remindertest
