// The "Event Edit" dialog and its advanced recurrence dialog driven as a
// person would, with the document faked and the questions scripted.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "dialogs/event/advanced_recurrence_dlg.h"
#include "dialogs/event/event_edit_dlg.h"
#include "dialogs/small/help_hook.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/calendar_file.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/grid_shot.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;

namespace {

struct FakeHost : dialogcore::IEventEditHost {
  CCalendarFile home;
  CCalEvent* conflict = nullptr;
  FakeHost() {
    home.listId = 1;
    home.name = "Home";
  }
  std::vector<CCalendarFile*> Calendars() override { return {&home}; }
  CCalEvent* FindConflictingEvent(const CDateTime&, const CDateTime&, CCalEvent*) override { return conflict; }
  bool ReopenCalendar(CCalendarFile&) override { return true; }
};

class ScriptedEditDlg : public dialogs::CEventEditDlg {
 public:
  using CEventEditDlg::CEventEditDlg;
  std::vector<std::string> asked;
  std::deque<bool> answers;  // warnings answered in turn; Yes when none left
  int openAnswer = 0;

 protected:
  int ShowMessage(const std::string& text, const std::string&, UINT flags) override {
    asked.push_back(text);
    return (flags & MB_YESNO) ? IDYES : IDOK;
  }
  WarningAnswer ShowWarning(const WarningRequest& r) override {
    asked.push_back(r.message);
    WarningAnswer a;
    a.accepted = answers.empty() ? true : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  int AskOpenRecurring(const std::string&) override { return openAnswer; }
};

class ScriptedAdvancedDlg : public dialogs::CAdvancedRecurrenceDlg {
 public:
  std::vector<std::string> asked;

 protected:
  int ShowMessage(const std::string& text, const std::string&, UINT flags) override {
    asked.push_back(text);
    return (flags & MB_YESNO) ? IDYES : IDOK;
  }
};

// The ids of the `n` tab stops after item `from` (a field's inner picker
// counts as the field).
std::vector<int> TabsAfter(HWND dlg, int from, int n) {
  std::vector<int> ids;
  for (HWND at = ::GetDlgItem(dlg, from); n-- > 0;) {
    HWND item = at = ::GetNextDlgTabItem(dlg, at, FALSE);
    while (item && ::GetParent(item) != dlg) item = ::GetParent(item);
    ids.push_back(::GetDlgCtrlID(item));
  }
  return ids;
}

CDateTime At(int day, int month, int year, int h, int m, int s = 0) {
  CDateTime v(day, month, year);
  v.SetTime(h, m, s);
  return v;
}

class SettingsGuard {
 public:
  SettingsGuard() : warn_(g_Settings.WarnTime), b_(g_Settings.WarnTimeBegin), e_(g_Settings.WarnTimeEnd),
                    c_(g_Settings.WarnTimeConflict) {}
  ~SettingsGuard() {
    g_Settings.WarnTime = warn_;
    g_Settings.WarnTimeBegin = b_;
    g_Settings.WarnTimeEnd = e_;
    g_Settings.WarnTimeConflict = c_;
  }

 private:
  int warn_, b_, e_, c_;
};

void MakeDaily(CCalEvent& ev) {
  ev.name = "Standup";
  ev.oneTime = 0;
  ev.start = At(1, 3, 2005, 9, 0);
  ev.end = At(1, 3, 2005, 10, 0);
  ev.showEnd = 1;
  ev.allDay = 0;
  ev.recurrence.GetRule()->frequency = CRecurrenceRule::kDaily;
  ev.nextOccurrence = ev.start;
}

TEST(EventEditDialog, SeriesKindSwitchAndCancel) {
  SettingsGuard guard;
  FakeHost host;
  CCalEvent ev;
  MakeDaily(ev);
  ev.calendar = &host.home;
  CRecurrenceRule& rule = *ev.recurrence.GetRule();
  rule.count = 5;
  rule.byMonth = {3};
  ev.alarmOn = 1;
  ScriptedEditDlg dlg(&host);
  ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
  EXPECT_EQ(ev.inEdit, 1);
  COLORREF pixel = 0;
  int countAfterDaily = -1, countAfterWeekly = -1;
  size_t byMonthAfterWeekly = 9;
  std::string advancedText;
  bool alarmChecked = false;
  std::vector<int> tabs;
  Drive({[&] {
    HWND h = FindDialog("Event Edit");
    if (!h) return false;
    wintest::Shot shot = wintest::TakeShot(h, "event_edit_series");
    pixel = shot.At(shot.width / 2, shot.height - 6);
    ::SendDlgItemMessageA(h, IDC_EE_DAILY, BM_CLICK, 0, 0);
    countAfterDaily = dlg.Session().rule.count;
    ::SendDlgItemMessageA(h, IDC_EE_WEEKLY, BM_CLICK, 0, 0);
    countAfterWeekly = dlg.Session().rule.count;
    byMonthAfterWeekly = dlg.Session().rule.byMonth.size();
    advancedText = wintest::ItemText(h, IDC_EE_ADVANCED);
    alarmChecked = ::IsDlgButtonChecked(h, IDC_EE_ALARM) == BST_CHECKED;
    tabs = TabsAfter(h, IDC_EE_ADVANCED, 5);  // the run-time fields in reading order
    ::PostMessageA(h, WM_CLOSE, 0, 0);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(pixel, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(countAfterDaily, 5);
  EXPECT_EQ(countAfterWeekly, 0);
  EXPECT_EQ(byMonthAfterWeekly, 0u);
  EXPECT_EQ(advancedText, "Weekly - Advanced");
  EXPECT_TRUE(alarmChecked);
  EXPECT_EQ(tabs, (std::vector<int>{IDC_EE_START_DATE, IDC_EE_START_TIME, IDC_EE_END_DATE, IDC_EE_END_TIME,
                                    IDC_EE_SHOW_END}));
  EXPECT_EQ(ev.inEdit, 0);
  EXPECT_EQ(ev.recurrence.GetRule()->count, 5);
}

// Saved at 02:30 on Berlin's skipped hour: first 01:30Z (the offset before the gap), then 02:30 local.
TEST(EventEditDialog, ASeriesSavedInTheSkippedHourRepeatsAtItsWallTime) {
  SettingsGuard guard;
  g_Settings.WarnTime = g_Settings.WarnTimeConflict = 0;
  FakeHost host;
  CCalEvent ev;
  MakeDaily(ev);
  ev.calendar = &host.home;
  ev.start = ev.end = ev.nextOccurrence = At(29, 3, 2026, 2, 30);
  ev.recurrence.GetRule()->frequency = CRecurrenceRule::kWeekly;
  ScriptedEditDlg dlg(&host);
  ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
  Drive({[&] { return FindDialog("Event Edit") ? (Click(FindDialog("Event Edit"), IDOK), true) : false; }});
  ASSERT_EQ(dlg.DoModal(), IDOK);
  std::string got;
  for (CDateTime d = ev.start; got.size() < 34 && ev.GetNextOccurrenceFrom(d, false) == 1; d.AddTime(0, 0, 1))
    got += d.FormatICal(CDateTime::kAsUtc) + ";";
  EXPECT_EQ(got, "20260329T013000Z;20260405T003000Z;");
}

// Type Setup and Actions stay grey until the program installs the sheets;
// after an OK in the options sheet the type list holds the settings' new
// types and the typed text stays; Actions opens its sheet on the event.
TEST(EventEditDialog, TypeSetupRefillsTheTypeListAndActionsOpenOnTheEvent) {
  SettingsGuard guard;
  FakeHost host;
  CCalEvent ev;
  MakeDaily(ev);
  ev.calendar = &host.home;
  struct HookGuard {
    ~HookGuard() {
      dialogs::CEventEditDlg::TypeSetupHook() = nullptr;
      dialogs::CEventEditDlg::AlarmActionsHook() = nullptr;
    }
  } hookGuard;
  CCalEvent* actionsOn = nullptr;
  for (bool installed : {false, true}) {
    dialogs::CEventEditDlg::TypeSetupHook() = nullptr;
    dialogs::CEventEditDlg::AlarmActionsHook() = nullptr;
    if (installed) {
      dialogs::CEventEditDlg::AlarmActionsHook() = [&](HWND, CCalEvent* e) {
        actionsOn = e;
        e->soundOn = 1;  // a page's OK, then the editor is closed unsaved
      };
      dialogs::CEventEditDlg::TypeSetupHook() = [](HWND) {
        g_Settings.EventTypeNames.push_back("Zeppelin");
        return true;
      };
    }
    const LRESULT typesBefore = static_cast<LRESULT>(g_Settings.EventTypeNames.size());
    ScriptedEditDlg dlg(&host);
    ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
    bool enabled = true, actionsEnabled = true;
    LRESULT types = -1;
    std::string typed;
    Drive({[&] {
      HWND h = FindDialog("Event Edit");
      if (!h) return false;
      enabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EE_TYPE_SETUP)) != FALSE;
      actionsEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_EE_ACTIONS)) != FALSE;
      if (actionsEnabled) ::SendDlgItemMessageA(h, IDC_EE_ACTIONS, BM_CLICK, 0, 0);
      ::SetDlgItemTextA(h, IDC_EE_TYPE, "Typed");
      if (enabled) ::SendDlgItemMessageA(h, IDC_EE_TYPE_SETUP, BM_CLICK, 0, 0);
      types = ::SendDlgItemMessageA(h, IDC_EE_TYPE, CB_GETCOUNT, 0, 0);
      typed = wintest::ItemText(h, IDC_EE_TYPE);
      ::PostMessageA(h, WM_CLOSE, 0, 0);
      return true;
    }});
    dlg.DoModal();
    EXPECT_EQ(enabled, installed);
    EXPECT_EQ(actionsEnabled, installed);
    EXPECT_EQ(actionsOn != nullptr, installed);
    EXPECT_NE(actionsOn, &ev);
    EXPECT_EQ(ev.soundOn, -2);
    EXPECT_EQ(types, typesBefore + (installed ? 1 : 0));
    EXPECT_EQ(typed, "Typed");
    g_Settings.EventTypeNames.resize(static_cast<size_t>(typesBefore));
  }
}

TEST(EventEditDialog, UnusualHoursAndConflictBeforeName) {
  SettingsGuard guard;
  g_Settings.WarnTimeBegin = 22;
  g_Settings.WarnTimeEnd = 5;
  struct Case {
    int h, m, s;
    bool warns;
  } cases[] = {{23, 0, 0, true}, {5, 0, 0, true}, {5, 0, 1, false}, {21, 59, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.h * 100 + c.m);
    g_Settings.WarnTime = 1;
    g_Settings.WarnTimeConflict = 0;
    FakeHost host;
    CCalEvent ev;
    ev.name = "Late";
    ev.oneTime = 1;
    ev.calendar = &host.home;
    ev.start = ev.end = At(5, 3, 2005, c.h, c.m, c.s);
    ScriptedEditDlg dlg(&host);
    dlg.answers = {false};
    ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
    Drive({[&] {
      HWND h = FindDialog("Event Edit");
      if (!h) return false;
      Click(h, IDOK);
      if (::IsWindow(h) && ::IsWindowVisible(h)) ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
      return true;
    }});
    const int result = dlg.DoModal();
    EXPECT_EQ(result, c.warns ? IDCANCEL : IDOK);
    ASSERT_EQ(dlg.asked.size(), c.warns ? 1u : 0u);
    if (c.warns) {
      // The hours follow the user's locale, which other tests may switch.
      EXPECT_EQ(dlg.asked[0], IsLocale24Hour() ? "The time you have entered is between\n22:00 and 5:00.\n\nIs this correct?"
                                               : "The time you have entered is between\n10pm and 5am.\n\nIs this correct?");
    }
    EXPECT_EQ(ev.inEdit, 0);
  }

  // With an empty name and a conflicting time the conflict comes first.
  g_Settings.WarnTime = 0;
  g_Settings.WarnTimeConflict = 1;
  FakeHost host;
  CCalEvent other;
  other.name = "Dentist";
  host.conflict = &other;
  CCalEvent ev;
  ev.oneTime = 1;
  ev.calendar = &host.home;
  ev.start = ev.end = At(5, 3, 2005, 10, 0);
  ScriptedEditDlg dlg(&host);
  dlg.answers = {true};
  ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
  Drive({[&] {
    HWND h = FindDialog("Event Edit");
    if (!h) return false;
    Click(h, IDOK);
    ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_EQ(dlg.asked.size(), 2u);
  EXPECT_EQ(dlg.asked[0], "The event time conflicts with the following event:\nEvent Name : Dentist\n\nSave Event Anyway?");
  EXPECT_EQ(dlg.asked[1], "Please Enter an Event Name.");
}

TEST(EventEditDialog, OneOccurrence) {
  SettingsGuard guard;
  g_Settings.WarnTime = 0;
  g_Settings.WarnTimeConflict = 0;
  FakeHost host;
  CCalEvent ev;
  MakeDaily(ev);
  ev.calendar = &host.home;
  const CDateTime third = At(3, 3, 2005, 9, 0);
  ScriptedEditDlg dlg(&host);
  dlg.openAnswer = 0;
  ASSERT_TRUE(dlg.LoadEvent(&ev, &third));
  std::string caption;
  COLORREF pixel = 0;
  bool radiosShown = true;
  Drive({[&] {
    HWND h = FindDialog("Event Edit  ** Editing a single occurrence of a recurring event **");
    if (!h) return false;
    char text[128] = "";
    ::GetWindowTextA(h, text, sizeof text);
    caption = text;
    radiosShown = ::IsWindowVisible(::GetDlgItem(h, IDC_EE_DAILY)) != FALSE;
    wintest::Shot shot = wintest::TakeShot(h, "event_edit_occurrence");
    pixel = shot.At(shot.width / 2, shot.height - 6);
    ::SetDlgItemTextA(h, IDC_EE_NAME, "Standup at the office");
    Click(h, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(caption, "Event Edit  ** Editing a single occurrence of a recurring event **");
  EXPECT_FALSE(radiosShown);
  EXPECT_EQ(pixel, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(dlg.SavedChanges());
  const COccurrenceOverride* o = ev.occurrenceOverrides.GetAssocAt(third);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->mask, COccurrenceOverride::kName);
  EXPECT_FALSE(o->IsMoved());
  EXPECT_EQ(ev.name, "Standup");
}

std::vector<DWORD> g_helpTopics;
void RecordHelp(DWORD context) { g_helpTopics.push_back(context); }

// F1 from the keyboard and the Help button each ask for the editor's own
// topic, not the main window's.
TEST(EventEditDialog, F1AndHelpShowTheEditorsTopic) {
  FakeHost host;
  CCalEvent ev;
  MakeDaily(ev);
  ev.calendar = &host.home;
  ScriptedEditDlg dlg(&host);
  ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
  const auto old = dialogs::SetHelpTopicHook(&RecordHelp);
  g_helpTopics.clear();
  DWORD pressed = 0;
  Drive({[&] {
           HWND h = FindDialog("Event Edit");
           if (!h) return false;
           ::SetForegroundWindow(h);
           INPUT keys[2] = {};
           keys[0].type = keys[1].type = INPUT_KEYBOARD;
           keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
           keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
           ::SendInput(2, keys, sizeof keys[0]);
           Click(h, IDC_EE_HELP);
           pressed = ::GetTickCount();
           return true;
         },
         [&] {
           if (g_helpTopics.size() < 2 && ::GetTickCount() - pressed < 3000) return false;
           ::PostMessageA(FindDialog("Event Edit"), WM_CLOSE, 0, 0);
           return true;
         }});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  dialogs::SetHelpTopicHook(old);
  EXPECT_EQ(g_helpTopics, (std::vector<DWORD>{3, 3}));
}

void SelectCombo(HWND h, int id, int index) {
  ::SendDlgItemMessageA(h, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(h, id)));
}

TEST(AdvancedRecurrence, MonthlyListAndImportedValues) {
  CDateTime start = At(7, 3, 2005, 9, 0);
  CRecurrenceRule monthly(&start);
  monthly.frequency = CRecurrenceRule::kMonthly;
  ScriptedAdvancedDlg dlg;
  dlg.SetRule(&monthly, false);
  COLORREF pixel = 0, beyondPixel = 0;
  int drawn = 0, textAtLeft = 0;
  bool roomBeyond = false;
  RECT dayBox{};
  // Clicks are posted: each step's click runs before the next step.
  auto add = [](int ordinal, int weekday) {
    return [ordinal, weekday] {
      HWND h = FindDialog("Advanced Monthly Options");
      if (!h) return false;
      SelectCombo(h, IDC_ADV_ORDINAL, ordinal);
      SelectCombo(h, IDC_ADV_WEEKDAY, weekday);
      Click(h, IDC_ADV_ADD_DAY);
      return true;
    };
  };
  Drive({add(0, 1), add(2, 1), [&] {
           HWND h = FindDialog("Advanced Monthly Options");
           if (!h) return false;
           wintest::Shot shot = wintest::TakeShot(h, "advanced_monthly");
           pixel = shot.At(20, 40);
           // The criteria grid drew its check boxes and texts.
           RECT grid{}, frame{};
           ::GetWindowRect(dlg.Grid().GetSafeHwnd(), &grid);
           ::GetWindowRect(h, &frame);
           for (int y = grid.top; y < grid.bottom; y += 2)
             for (int x = grid.left; x < grid.right; x += 2)
               if (shot.At(x - frame.left, y - frame.top) != ::GetSysColor(COLOR_BTNFACE)) ++drawn;
           dayBox = wintest::CellInk(shot, h, dlg.Grid(), 0, 1);
           // Beyond the last column and row the grid shows the dialog's grey.
           HWND cells = dlg.Grid().GetPartWindow(CGridCore::kCellAreaId);
           RECT client{}, last{};
           ::GetClientRect(cells, &client);
           dlg.Grid().GetCellRect(7, 14, &last);
           POINT beyond{client.right - 1, client.bottom - 1};
           ::ClientToScreen(cells, &beyond);
           roomBeyond = last.right < client.right || last.bottom < client.bottom;
           beyondPixel = shot.At(beyond.x - frame.left, beyond.y - frame.top);
           // "All Days" stands centred: no text in the left quarter of its block.
           RECT all{};
           dlg.Grid().GetCellRect(0, dialogs::CRecurrenceCriteriaGrid::kButtonRow, &all);
           ::MapWindowPoints(cells, nullptr, reinterpret_cast<POINT*>(&all), 2);
           for (int y = all.top + 3; y < all.bottom - 3; ++y)
             for (int x = all.left + 3; x < all.left + (all.right - all.left) / 4; ++x)
               if (shot.At(x - frame.left, y - frame.top) == ::GetSysColor(COLOR_WINDOWTEXT)) ++textAtLeft;
           Click(h, IDOK);
           return true;
         }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(pixel, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(drawn, 200);
  EXPECT_GE(dayBox.right - dayBox.left, 13);
  EXPECT_GE(dayBox.bottom - dayBox.top, 13);
  EXPECT_TRUE(roomBeyond);
  EXPECT_EQ(beyondPixel, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(textAtLeft, 0);
  const std::vector<std::string> expected = {
      "Every Monday Is Already in The List.\n\n2nd Monday not added."};
  ASSERT_FALSE(dlg.asked.empty());
  EXPECT_EQ(dlg.asked.back(), expected[0]);
  ASSERT_EQ(monthly.byDayWeekdays.size(), 1u);
  EXPECT_EQ(monthly.byDayWeekdays[0], 1);
  EXPECT_EQ(monthly.byDayOrdinals[0], 0);

  CRecurrenceRule yearly(&start);
  yearly.frequency = CRecurrenceRule::kYearly;
  yearly.AddByDayOrdinal(1, 20);
  yearly.byMonthDay = {-2};
  ScriptedAdvancedDlg again;
  again.SetRule(&yearly, false);
  Drive({[&] {
    HWND h = FindDialog("Advanced Yearly Options");
    if (!h) return false;
    Click(h, IDOK);
    return true;
  }});
  EXPECT_EQ(again.DoModal(), IDOK);
  ASSERT_EQ(yearly.byDayOrdinals.size(), 1u);
  EXPECT_EQ(yearly.byDayOrdinals[0], 20);
  EXPECT_EQ(yearly.byMonthDay, (std::vector<int16_t>{-2}));
}

}  // namespace

// The three repeat-length radios form one group: a click on one unchecks the
// others, an UNTIL opens checked, and OK keeps or clears the end date as shown.
TEST(AdvancedRecurrence, RepeatLengthRadiosKeepTheEndDate) {
  CDateTime start = At(7, 3, 2005, 9, 0);
  CDateTime weekOn = CDateTime::Today();
  weekOn.AddDays(7);
  struct Case {
    bool hasUntil;
    int click;  // radio pressed by the user, 0 for none
    int checkedAtOpen, expectJulian;
  } cases[] = {
      {true, 0, IDC_ADV_UNTIL, At(20, 6, 2006, 0, 0).GetRawJulianDay()},
      {false, IDC_ADV_UNTIL, IDC_ADV_FOREVER, weekOn.GetRawJulianDay()},
      {true, IDC_ADV_FOREVER, IDC_ADV_UNTIL, 0},
  };
  for (const Case& c : cases) {
    CRecurrenceRule rule(&start);
    rule.frequency = CRecurrenceRule::kWeekly;
    if (c.hasUntil) rule.until = At(20, 6, 2006, 0, 0);
    ScriptedAdvancedDlg dlg;
    dlg.SetRule(&rule, false);
    std::vector<int> checked, tabs;
    auto readChecks = [&checked](HWND h) {
      for (int id : {IDC_ADV_FOREVER, IDC_ADV_REPEAT, IDC_ADV_UNTIL})
        if (::IsDlgButtonChecked(h, id) == BST_CHECKED) checked.push_back(id);
    };
    Drive({[&] {
             HWND h = FindDialog("Advanced Weekly Options");
             if (!h) return false;
             readChecks(h);
             tabs = TabsAfter(h, IDC_ADV_COUNT, 3);
             if (c.click) ::SendDlgItemMessageA(h, c.click, BM_CLICK, 0, 0);
             return true;
           },
           [&] {
             HWND h = FindDialog("Advanced Weekly Options");
             if (!h) return false;
             readChecks(h);
             Click(h, IDOK);
             return true;
           }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    const int after = c.click ? c.click : c.checkedAtOpen;
    EXPECT_EQ(checked, (std::vector<int>{c.checkedAtOpen, after})) << c.click;
    EXPECT_EQ(rule.until.GetRawJulianDay(), c.expectJulian) << c.click;
    EXPECT_EQ(rule.count, 0) << c.click;
    EXPECT_EQ(tabs, (std::vector<int>{IDC_ADV_UNTIL_DATE, IDC_ADV_UNTIL_TIME, IDOK}));
  }
}

// Picking a Monday as Repeat Until of a 10:00 weekly meeting keeps that
// Monday's meeting, also when the start time is set afterwards; a time the
// user sets is kept as set.
TEST(AdvancedRecurrence, RepeatUntilADayIncludesThatDay) {
  struct Case {
    int typedHour;   // -1: the user picks only the date
    int laterStart;  // the start hour set after OK, -1 none
    int lastDay;     // of January 2027
    int untilHour;
  } cases[] = {{-1, -1, 18, 10}, {9, -1, 11, 9}, {-1, 18, 18, 18}, {9, 18, 11, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typedHour * 100 + c.laterStart);
    SettingsGuard guard;
    g_Settings.WarnTime = 0;
    g_Settings.WarnTimeConflict = 0;
    FakeHost host;
    CCalEvent ev;
    ev.name = "Team meeting";
    ev.oneTime = 0;
    ev.calendar = &host.home;
    ev.start = At(4, 1, 2027, 10, 0);  // a Monday
    ev.end = At(4, 1, 2027, 11, 0);
    ev.recurrence.GetRule()->frequency = CRecurrenceRule::kWeekly;
    ev.nextOccurrence = ev.start;
    ScriptedEditDlg dlg(&host);
    ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
    COLORREF face = 0;
    // What the date and time pickers send when the user changes them.
    auto changed = [](HWND dlgWnd, int id) {
      NMDATETIMECHANGE n{};
      n.nmhdr.hwndFrom = ::GetDlgItem(dlgWnd, id);
      n.nmhdr.idFrom = static_cast<UINT_PTR>(id);
      n.nmhdr.code = DTN_DATETIMECHANGE;
      ::SendMessageA(dlgWnd, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&n));
    };
    Drive({[&] {
             HWND h = FindDialog("Event Edit");
             if (!h) return false;
             ::PostMessageA(h, WM_COMMAND, IDC_EE_ADVANCED, 0);
             return true;
           },
           [&] {
             HWND h = FindDialog("Advanced Weekly Options");
             if (!h) return false;
             ::SendDlgItemMessageA(h, IDC_ADV_UNTIL, BM_CLICK, 0, 0);
             SYSTEMTIME day{2027, 1, 1, 18, 0, 0, 0, 0};
             ::SendDlgItemMessageA(h, IDC_ADV_UNTIL_DATE, DTM_SETSYSTEMTIME, GDT_VALID,
                                   reinterpret_cast<LPARAM>(&day));
             changed(h, IDC_ADV_UNTIL_DATE);
             if (c.typedHour >= 0) {
               HWND picker = ::GetDlgItem(::GetDlgItem(h, IDC_ADV_UNTIL_TIME), dialogs::CTimePickerEdit::kPickerId);
               SYSTEMTIME at{2027, 1, 1, 18, static_cast<WORD>(c.typedHour), 0, 0, 0};
               ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
               changed(h, IDC_ADV_UNTIL_TIME);
             }
             wintest::Shot shot = wintest::TakeShot(h, c.typedHour < 0 ? "repeat_until_day" : "repeat_until_typed");
             face = shot.At(shot.width / 2, shot.height - 4);
             ::PostMessageA(h, WM_COMMAND, IDOK, 0);
             return true;
           },
           [&] {
             HWND h = FindDialog("Event Edit");
             if (FindDialog("Advanced Weekly Options") || !h) return false;
             HWND picker = ::GetDlgItem(::GetDlgItem(h, IDC_EE_START_TIME), dialogs::CTimePickerEdit::kPickerId);
             SYSTEMTIME at{2027, 1, 1, 4, static_cast<WORD>(c.laterStart), 0, 0, 0};
             if (c.laterStart >= 0) ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
             if (c.laterStart >= 0) changed(h, IDC_EE_START_TIME);
             return true;
           },
           [&] {
             if (FindDialog("Advanced Weekly Options")) return false;
             HWND h = FindDialog("Event Edit");
             if (!h) return false;
             ::PostMessageA(h, WM_COMMAND, IDOK, 0);
             return true;
           }},
          20000);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(face, ::GetSysColor(COLOR_BTNFACE));
    CRecurrenceRule& rule = *ev.recurrence.GetRule();
    ASSERT_TRUE(rule.IsUntilSet());
    EXPECT_EQ(rule.until.GetHour(), c.untilHour);
    rule.SetSeriesStart(&ev.start);
    int last = 0;
    for (CDateTime at = At(5, 1, 2027, 0, 0); rule.GetNextOccurrence(at) == CRecurrenceRule::kFound;
         at.AddDays(1))
      last = at.GetDay();
    EXPECT_EQ(last, c.lastDay);
  }
}

// A snoozed alarm: an edit leaving the start and the alarm alone keeps the
// snooze (no ring at once); a changed lead time starts the occurrence afresh.
TEST(EventEditDialog, AnEditLeavingStartAndAlarmKeepsTheSnooze) {
  const struct {
    int item;
    const char* text;
    bool dueNow;
  } cases[] = {{IDC_EE_NAME, "Call Bob back", false}, {IDC_EE_LEAD, "45", true}};
  for (const auto& c : cases) {
    FakeHost host;
    CCalEvent ev;
    ev.name = "Call Bob";
    ev.oneTime = ev.alarmOn = ev.hasNext = 1;
    ev.calendar = &host.home;
    const CDateTime now = CDateTime::NowLocal();
    CDateTime start = now, snoozed = now;
    start.AddDuration(CDuration::Minutes(30));  // due half an hour ago, snoozed for an hour
    start.SetTime(start.GetHour(), start.GetMinute(), 0);
    snoozed.AddDuration(CDuration::Hours(1));
    ev.start = ev.end = ev.nextOccurrence = start;
    ev.leadTime = CDuration::Hours(1);
    ev.occurrenceStates[start] = COccurrenceState(0, snoozed);
    ScriptedEditDlg dlg(&host);
    ASSERT_TRUE(dlg.LoadEvent(&ev, nullptr));
    Drive({[&] {
      HWND h = FindDialog("Event Edit");
      if (h) ::SetDlgItemTextA(h, c.item, c.text), Click(h, IDOK);
      return h != nullptr;
    }});
    ASSERT_EQ(dlg.DoModal(), IDOK) << c.text;
    EXPECT_EQ(ev.IsAlarmDue(now), c.dueNow) << c.text;
  }
}
