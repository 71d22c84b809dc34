// The occurrence dialogs: the delete choice, and the event information of
// one occurrence with its buttons handing the occurrence on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/event/delete_occurrence_dlg.h"
#include "dialogs/event/event_info_dlg.h"
#include "dialogs/event/open_recurring_dlg.h"
#include "dialogs/small/help_hook.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;

namespace {

TEST(OccurrenceDialogs, DeleteChoice) {
  struct Case {
    int pick;  // radio to click, 0 none
    int button;
    int result, choice;
  } cases[] = {
      {0, IDOK, IDOK, 0},
      {IDC_OCC_DELETE_ALL, IDOK, IDOK, 1},
      {IDC_OCC_DELETE_ALL, IDCANCEL, IDCANCEL, 0},
  };
  for (const Case& c : cases) {
    dialogs::CDeleteOccurrenceDlg dlg;
    dlg.prompt = "\"Gym\" is a recurring event.";
    dlg.choice = 0;
    std::string prompt;
    Drive({[&] {
      HWND h = FindDialog("Delete");
      if (!h) return false;
      prompt = ItemText(h, IDC_OCC_PROMPT);
      if (c.pick) ::SendDlgItemMessageA(h, c.pick, BM_CLICK, 0, 0);
      Click(h, c.button);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), c.result);
    EXPECT_EQ(dlg.choice, c.choice);
    EXPECT_EQ(prompt, "\"Gym\" is a recurring event.");
  }
  dialogs::COpenRecurringDlg open;
  open.choice = 0;
  // Its Help button and F1 show the dialog's own topic.
  static std::vector<DWORD> topics;
  const auto old = dialogs::SetHelpTopicHook([](DWORD context) { topics.push_back(context); });
  Drive({[&] {
    HWND h = FindDialog("Open Recurring Event");
    if (!h) return false;
    Click(h, IDC_OCC_OPEN_HELP);
    HELPINFO hi{};
    hi.cbSize = sizeof hi;
    ::SendMessageA(h, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    ::SendDlgItemMessageA(h, IDC_OCC_OPEN_SERIES, BM_CLICK, 0, 0);
    Click(h, IDOK);
    return true;
  }});
  EXPECT_EQ(open.DoModal(), IDOK);
  dialogs::SetHelpTopicHook(old);
  EXPECT_EQ(open.choice, 1);
  EXPECT_EQ(topics, (std::vector<DWORD>{155, 155}));
}

class FakeOperations : public dialogs::IEventOperations {
 public:
  std::vector<std::string> calls;
  BOOL deleteAnswer = FALSE;
  BOOL ModifyEvent(COccurrenceRef r) override {
    calls.push_back("modify " + r.event->name);
    return FALSE;
  }
  BOOL DeleteEvent(COccurrenceRef r) override {
    calls.push_back("delete " + r.event->name);
    return deleteAnswer;
  }
  void PrintEvent(COccurrenceRef) override { calls.push_back("print"); }
};

TEST(EventInfo, TextsAndButtons) {
  CCalEvent birthday;
  birthday.name = "Ann";
  birthday.oneTime = 0;
  birthday.start = CDateTime(12, 5, 1970);
  birthday.start.SetTime(9, 0, 0);
  birthday.end = birthday.start;
  birthday.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
  birthday.calculateAge = 1;
  CDateTime in2004(12, 5, 2004);
  in2004.SetTime(9, 0, 0);

  struct Case {
    CDateTime today;
    const char* daysLeft;
  } cases[] = {{CDateTime(12, 5, 2004), "Today!"}, {CDateTime(9, 5, 2004), "3 Days Left"}};
  for (const Case& c : cases) {
    dialogs::CEventInfoDlg dlg(nullptr);
    dlg.SetOccurrence(COccurrenceRef(&birthday, in2004), c.today);
    EXPECT_EQ(dlg.daysLeft, c.daysLeft);
    EXPECT_EQ(dlg.originalYear, "Original Year : 1970");
    EXPECT_EQ(dlg.age, "Age on this Date : 34");
    EXPECT_EQ(dlg.name, ": Ann");
  }
  birthday.recurrence.GetRule()->frequency = CRecurrenceRule::kMonthly;
  {
    dialogs::CEventInfoDlg dlg(nullptr);
    dlg.SetOccurrence(COccurrenceRef(&birthday, in2004));
    EXPECT_EQ(dlg.age, "");
  }
  birthday.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;

  // A delete that removes one occurrence alone leaves the dialog open and
  // its buttons working on the same occurrence.
  FakeOperations ops;
  dialogs::CEventInfoDlg dlg(&ops);
  dlg.SetOccurrence(COccurrenceRef(&birthday, in2004), CDateTime(12, 5, 2004));
  std::string days, age;
  COLORREF face = 0, pixel = 1;
  bool printEnabled = false;
  Drive({[&] {
           HWND h = FindDialog("Event Information");
           if (!h) return false;
           days = ItemText(h, IDC_INFO_DAYS_LEFT);
           age = ItemText(h, IDC_INFO_AGE);
           wintest::Shot shot = wintest::TakeShot(h, "event_info");
           face = ::GetSysColor(COLOR_BTNFACE);
           pixel = shot.At(shot.width / 2, shot.height - 8);
           // Offered and pressed as a user would.
           printEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_INFO_PRINT)) != FALSE;
           ::SendDlgItemMessageA(h, IDC_INFO_PRINT, BM_CLICK, 0, 0);
           Click(h, IDC_INFO_DELETE);
           return true;
         },
         [&] {
           HWND h = FindDialog("Event Information");
           if (!h) return false;
           Click(h, IDC_INFO_MODIFY);
           ops.deleteAnswer = TRUE;
           Click(h, IDC_INFO_DELETE);
           return true;
         }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(days, "Today!");
  EXPECT_EQ(age, "Age on this Date : 34");
  EXPECT_EQ(pixel, face);
  EXPECT_TRUE(printEnabled);
  EXPECT_EQ(ops.calls, (std::vector<std::string>{"print", "delete Ann", "modify Ann", "delete Ann"}));
}

}  // namespace
