// The main frame's event operations with the document faked: the editor
// they open, what reaches the document, the hints the views get, the
// acknowledge question and the export file.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/services/event_document.h"
#include "model/services/model_services.h"
#include "res/resource.h"
#include "shell/commands/event_operations_host.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "storage/calendar_file.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;

namespace {

class FakeHost : public IEventOperationsHost, public dialogcore::IEventEditHost {
 public:
  CCalendarFile home, work;
  std::vector<std::unique_ptr<CCalEvent>> added;
  std::vector<std::pair<int, INT_PTR>> hints;
  bool removeOk = true;
  int saves = 0;
  std::string proposed, extension, exportPath;

  FakeHost() {
    home.listId = 1;
    home.name = "Home";
    work.listId = 2;
    work.name = "Work";
  }
  bool CanAddEvents() override { return true; }
  bool IsFilterActive() override { return false; }
  void SetFilterActive(bool) override {}
  void UpdateViews(int hint, void* param) override { hints.emplace_back(hint, reinterpret_cast<INT_PTR>(param)); }
  int AddEvent(CCalEvent* event) override {
    added.emplace_back(event);
    return 1;
  }
  int16_t saveResult = 1;
  int16_t SaveEventAndRefresh(CCalEvent&) override {
    ++saves;
    return saveResult;
  }
  bool RemoveEvent(CCalEvent&) override { return removeOk; }
  CCalendarFile* DefaultCalendar() override { return &home; }
  dialogcore::IEventEditHost& EditHost() override { return *this; }
  std::string ExportEventText(const CCalEvent& event) override { return "BEGIN:VEVENT\r\nSUMMARY:" + event.name + "\r\n"; }
  bool ChooseExportFile(const std::string& p, const std::string& ext, std::string* path) override {
    proposed = p;
    extension = ext;
    *path = exportPath;
    return true;
  }
  std::vector<CCalendarFile*> Calendars() override { return {&home, &work}; }
  CCalEvent* FindConflictingEvent(const CDateTime&, const CDateTime&, CCalEvent*) override { return nullptr; }
  bool ReopenCalendar(CCalendarFile&) override { return true; }
};

class Prompts : public IEventPrompts {
 public:
  bool confirm = true;
  int choice = kDeleteThisOccurrence;
  bool ConfirmDeleteEvent(const std::string&) override { return confirm; }
  bool AskDeleteOccurrence(const std::string&, int* c) override {
    *c = choice;
    return true;
  }
  WarningAnswer ShowWarning(const WarningRequest&) override { return WarningAnswer(); }
};

class EventOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = CMainFrame::SetEventOperationsHost(&host_);
    saved_ = {g_Settings.WarnTime, g_Settings.WarnTimeConflict, g_Settings.DefaultEventTime, g_Settings.WarnAcknowledge};
    g_Settings.WarnTime = 0;
    g_Settings.WarnTimeConflict = 0;
  }
  void TearDown() override {
    CMainFrame::SetEventOperationsHost(previous_);
    g_Settings.WarnTime = saved_[0];
    g_Settings.WarnTimeConflict = saved_[1];
    g_Settings.DefaultEventTime = saved_[2];
    g_Settings.WarnAcknowledge = static_cast<int16_t>(saved_[3]);
  }
  // One step per editor: names it and presses `button`, each on a new
  // editor window (the previous one may still be closing).
  wintest::Step EditorStep(const char* name, int button) {
    return [this, name, button] {
      HWND h = FindDialog("Event Edit");
      if (!h || h == lastEditor_) return false;
      lastEditor_ = h;
      calendarsShown_.push_back(wintest::ItemText(h, IDC_EE_CALENDAR));
      if (name) ::SetDlgItemTextA(h, IDC_EE_NAME, name);
      Click(h, button);
      return true;
    };
  }
  std::vector<std::string> calendarsShown_;  // the Calendar box of each editor
  FakeHost host_;
  CMainFrame frame_;
  HWND lastEditor_ = nullptr;

 private:
  IEventOperationsHost* previous_ = nullptr;
  std::vector<int> saved_;
};

SYSTEMTIME PickerTime(HWND picker) {
  SYSTEMTIME st{};
  ::SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return st;
}

TEST_F(EventOperations, AddOnDateOpensAtDefaultTimeAndChainsSaveAndNew) {
  g_Settings.DefaultEventTime = 32400;
  const CDateTime fifth(5, 3, 2005);
  SYSTEMTIME date{}, time{};
  Drive({[&] {
    HWND h = FindDialog("Event Edit");
    if (!h) return false;
    date = PickerTime(::GetDlgItem(h, IDC_EE_START_DATE));
    time = PickerTime(::GetDlgItem(::GetDlgItem(h, IDC_EE_START_TIME), 41001));
    lastEditor_ = h;
    ::SetDlgItemTextA(h, IDC_EE_NAME, "First");
    ::SendDlgItemMessageA(h, IDC_EE_CALENDAR, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>("Work"));
    Click(h, IDC_EE_SAVE_NEW);
    return true;
  },
         EditorStep("Second", IDC_EE_SAVE_NEW), EditorStep("Third", IDC_EE_SAVE_NEW), EditorStep(nullptr, IDCANCEL)});
  frame_.AddEventOnDate(&fifth);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_EQ(date.wDay, 5);
  EXPECT_EQ(date.wMonth, 3);
  EXPECT_EQ(date.wYear, 2005);
  EXPECT_EQ(time.wHour, 9);
  EXPECT_EQ(time.wMinute, 0);
  ASSERT_EQ(host_.added.size(), 3u);
  EXPECT_EQ(host_.added[0]->name, "First");
  EXPECT_TRUE(host_.added[0]->start == CDateTime::FromParts(fifth.GetRawJulianDay(), 32400, 0));
  EXPECT_EQ(host_.added[2]->name, "Third");
  EXPECT_EQ(host_.added[2]->start.GetRawJulianDay(), CDateTime::Today().GetRawJulianDay());
  for (const auto& e : host_.added) EXPECT_EQ(e->inEdit, 0);
  EXPECT_EQ(calendarsShown_, (std::vector<std::string>{"Work", "Work", "Work"}));
  for (const auto& e : host_.added) EXPECT_EQ(e->targetCalendarId, 2) << e->name;
}

TEST_F(EventOperations, AddCopyGivesEachCopyItsOwnUid) {
  CCalEvent source;
  source.name = "Gym";
  source.uid = "source-uid";
  source.calendar = &host_.home;
  source.oneTime = 1;
  source.start = source.end = CDateTime::FromParts(CDateTime(7, 3, 2005).GetRawJulianDay(), 36000, 0);
  Drive({EditorStep(nullptr, IDC_EE_SAVE_NEW), EditorStep(nullptr, IDC_EE_SAVE_NEW), EditorStep(nullptr, IDOK)});
  frame_.AddCopy(source);
  ASSERT_EQ(host_.added.size(), 3u);
  std::set<std::string> uids{source.uid};
  for (const auto& copy : host_.added) {
    uids.insert(copy->uid);
    EXPECT_EQ(copy->name, "Gym");
    EXPECT_EQ(copy->calendar, &host_.home);
  }
  EXPECT_EQ(uids.size(), 4u);
  EXPECT_EQ(source.uid, "source-uid");
}

// An edit answers "saved" only when the document's write went through.
TEST_F(EventOperations, ModifyAnswersWhatTheSaveDid) {
  for (const auto& c : {std::pair<int16_t, BOOL>{1, TRUE}, {0, FALSE}, {IEventDocument::kSaveDeclined, FALSE}}) {
    CCalEvent event;
    event.name = "Dentist";
    event.calendar = &host_.home;
    host_.saveResult = c.first;
    Drive({EditorStep("Dentist at nine", IDOK)});
    EXPECT_EQ(c.second, frame_.ModifyEventOver(nullptr, COccurrenceRef(&event, CDateTime()))) << c.first;
  }
}

TEST_F(EventOperations, DeleteHintsAndRefusals) {
  Prompts prompts;
  ModelServices services;
  services.prompts = &prompts;
  ScopedModelServices scoped(services);

  CCalEvent daily;
  daily.name = "Standup";
  daily.oneTime = 0;
  daily.start = daily.end = CDateTime::FromParts(CDateTime(1, 3, 2005).GetRawJulianDay(), 32400, 0);
  daily.recurrence.GetRule()->frequency = CRecurrenceRule::kDaily;
  daily.nextOccurrence = daily.start;
  CDateTime third = CDateTime::FromParts(CDateTime(3, 3, 2005).GetRawJulianDay(), 32400, 0);
  EXPECT_EQ(frame_.DeleteEvent(COccurrenceRef(&daily, third)), FALSE);
  EXPECT_TRUE(host_.hints.empty());
  EXPECT_TRUE(daily.recurrence.excludedDates.Contains(third));

  CCalEvent once;
  once.name = "Once";
  once.oneTime = 1;
  once.serial = 77;
  host_.removeOk = false;
  EXPECT_EQ(frame_.DeleteEvent(COccurrenceRef(&once, once.start)), FALSE);
  const std::vector<std::pair<int, INT_PTR>> refused = {{kHintDropEvent, 77}, {kHintReload, 0}};
  EXPECT_EQ(host_.hints, refused);
  EXPECT_EQ(once.deleted, 0);
}

TEST_F(EventOperations, AcknowledgeQuestion) {
  g_Settings.WarnAcknowledge = 0;
  EXPECT_EQ(frame_.ConfirmAcknowledge(TRUE), TRUE);
  g_Settings.WarnAcknowledge = 1;
  struct Case {
    int press;
    BOOL result;
  } cases[] = {{IDCANCEL, FALSE}, {IDNO, FALSE}, {IDYES, TRUE}};
  for (const Case& c : cases) {
    Drive({[&] {
      HWND h = FindDialog("Warning");
      if (!h) return false;
      if (c.press == IDCANCEL)
        ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
      else
        Click(h, c.press);
      return true;
    }});
    EXPECT_EQ(frame_.ConfirmAcknowledge(FALSE), c.result) << c.press;
  }
}

// The program as it ships holds none of its old misspellings, as text or as
// the wide text of its dialogs (setting names, "ImportColumnDelimeter",
// stay as stored).
TEST(ShippedTexts, NoMisspelledWords) {
  std::ifstream in(ALMACORA_EXE_PATH, std::ios::binary);
  const std::string exe((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const std::string word : {" Delimeter", "occurance", "optional )"}) {
    std::string wide;
    for (char c : word) wide += std::string(1, c) + '\0';
    EXPECT_TRUE(exe.size() > 100000 && exe.find(word) == exe.npos && exe.find(wide) == exe.npos) << word;
  }
}

TEST_F(EventOperations, ExportProposesCleanNameAndWrites) {
  CCalEvent ev;
  ev.name = "a/b:c";
  char temp[MAX_PATH] = "";
  ::GetTempPathA(sizeof temp, temp);
  host_.exportPath = std::string(temp) + "almacora_export_test.ics";
  frame_.ExportEvent(COccurrenceRef(&ev, ev.start));
  EXPECT_EQ(host_.proposed, "abc.ics");
  EXPECT_EQ(host_.extension, "ics");
  std::ifstream in(host_.exportPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "BEGIN:VEVENT\r\nSUMMARY:a/b:c\r\n");
  in.close();
  std::remove(host_.exportPath.c_str());

  // A folder cannot be written as a file: the user is told.
  host_.exportPath = temp;
  std::string message;
  Drive({[&] {
    HWND box = wintest::PopupOf(nullptr);
    if (!box) return false;
    message = wintest::ItemText(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  }});
  frame_.ExportEvent(COccurrenceRef(&ev, ev.start));
  EXPECT_EQ(message, "Could not write the file \"" + std::string(temp) + "\".");
}

}  // namespace
