// The calendar wizard at first start, driven page by page: the holiday
// files beside the program while the test runs elsewhere, the Alarms page
// skipped and reached again, and the alarms read back from the files.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/holiday_calendars.h"
#include "storage/ui/cal_wiz_sheet.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Drive;

namespace {

class CalWizard : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    folder_ = platform::ProgramFolder();
    for (size_t i = 0; i < holidays::kCalendarCount; ++i) ASSERT_EQ(holidays::WriteCalendar(i, folder_), 1);
    g_Settings.EventTypeNames = {"Birthday", "Holiday - Canada"};
    g_Settings.EventTypeColors = {1, 2};
    storagetest::StartOn(&doc_, {NewCalendarFile("work.akv")});
  }
  void TearDown() override {
    doc_.calendars().DeleteAll();
    for (const holidays::CalendarInfo& info : holidays::kCalendars) std::filesystem::remove(folder_ + info.file);
    storagetest::StorageTest::TearDown();
  }
  static HWND Sheet() { return wintest::PropertySheet(); }
  static HWND Page() { return Sheet() ? PropSheet_GetCurrentPageHwnd(Sheet()) : nullptr; }
  // The current page, when it holds the control.
  static HWND PageWith(int id) {
    HWND page = Page();
    return page && ::GetDlgItem(page, id) ? page : nullptr;
  }
  static wintest::Step Press(int button, int onPageWith) {
    return [=] {
      if (!PageWith(onPageWith)) return false;
      PropSheet_PressButton(Sheet(), button);
      return true;
    };
  }
  static std::vector<std::string> Rows(HWND page, std::vector<bool>* ticks) {
    HWND list = ::GetDlgItem(page, IDC_CALWIZ_LIST);
    std::vector<std::string> names;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
      char text[80] = "";
      ListView_GetItemText(list, i, 0, text, sizeof text);
      names.push_back(text);
      ticks->push_back(ListView_GetCheckState(list, i) != 0);
    }
    return names;
  }
  static void Tick(HWND page, int row, bool on) {
    ListView_SetCheckState(::GetDlgItem(page, IDC_CALWIZ_LIST), row, on ? TRUE : FALSE);
  }

  std::string folder_;
  CAlmacoraDoc doc_;
};

TEST_F(CalWizard, FirstStartSkipsAndReachesAlarms) {
  const int usId = 5, canadaId = 3;  // after work.akv (1): Australia 2, Canada 3, UK 4, US 5
  std::vector<std::string> names, alarmNames;
  std::vector<bool> ticks;
  bool skipped = false, leadOffWhenUnticked = false;
  wintest::Shot calendarsShot, alarmsShot;
  CCalWizSheet sheet(doc_);
  // A point inside a control, relative to the sheet's window (shots
  // include the frame).
  POINT listPoint{}, leadPoint{};
  auto pointIn = [](HWND control, int fromBottom) {
    RECT c, w;
    ::GetWindowRect(control, &c);
    ::GetWindowRect(Sheet(), &w);
    return POINT{(c.left + c.right) / 2 - w.left, c.bottom - fromBottom - w.top};
  };
  // The intro page first.
  Drive({[&] {
           HWND page = Page();
           if (!page || ::GetDlgItem(page, IDC_CALWIZ_LIST)) return false;
           PropSheet_PressButton(Sheet(), PSBTN_NEXT);
           return true;
         },
         [&] {
           HWND page = PageWith(IDC_CALWIZ_REFRESH);
           if (!page) return false;
           names = Rows(page, &ticks);
           listPoint = pointIn(::GetDlgItem(page, IDC_CALWIZ_LIST), 6);  // below the rows
           calendarsShot = wintest::TakeShot(Sheet(), "wizard-calendars");
           Tick(page, 3, false);
           PropSheet_PressButton(Sheet(), PSBTN_NEXT);
           return true;
         },
         [&] {
           if (!PageWith(IDC_CALWIZ_LINK)) return false;
           skipped = true;
           PropSheet_PressButton(Sheet(), PSBTN_BACK);
           return true;
         },
         [&] {
           HWND page = PageWith(IDC_CALWIZ_REFRESH);
           if (!page) return false;
           Tick(page, 1, true);
           Tick(page, 3, true);
           PropSheet_PressButton(Sheet(), PSBTN_NEXT);
           return true;
         },
         [&] {
           HWND page = PageWith(IDC_CALWIZ_ALARM_ON);
           if (!page) return false;
           HWND list = ::GetDlgItem(page, IDC_CALWIZ_LIST);
           for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
             char text[80] = "";
             ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
             alarmNames.push_back(std::string(text) + "=" +
                                  std::to_string(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
           }
           // The defaults tick it; a click clears it and the lead time
           // with it, another ticks it again.
           HWND box = ::GetDlgItem(page, IDC_CALWIZ_ALARM_ON);
           ::SendMessageA(box, BM_CLICK, 0, 0);
           leadOffWhenUnticked = ::IsDlgButtonChecked(page, IDC_CALWIZ_ALARM_ON) == BST_UNCHECKED &&
                                 !::IsWindowEnabled(::GetDlgItem(page, IDC_CALWIZ_LEAD)) &&
                                 !::IsWindowEnabled(::GetDlgItem(page, IDC_CALWIZ_UNITS));
           ::SendMessageA(box, BM_CLICK, 0, 0);
           ::SetDlgItemTextA(page, IDC_CALWIZ_LEAD, "2");
           ::SendDlgItemMessageA(page, IDC_CALWIZ_UNITS, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>("Hours"));
           leadPoint = pointIn(::GetDlgItem(page, IDC_CALWIZ_LEAD), 4);
           alarmsShot = wintest::TakeShot(Sheet(), "wizard-alarms");
           PropSheet_PressButton(Sheet(), PSBTN_NEXT);
           return true;
         },
         Press(PSBTN_FINISH, IDC_CALWIZ_LINK)});
  EXPECT_EQ(sheet.DoModal(), IDOK);

  EXPECT_EQ(names, (std::vector<std::string>{"Australia Holidays", "Canada Holidays", "UK Holidays", "US Holidays"}));
  EXPECT_EQ(ticks, (std::vector<bool>{false, false, false, true}));
  EXPECT_TRUE(skipped);
  EXPECT_TRUE(leadOffWhenUnticked);
  EXPECT_EQ(alarmNames, (std::vector<std::string>{"Canada Holidays=" + std::to_string(canadaId),
                                                  "US Holidays=" + std::to_string(usId)}));
  // The list's empty part and the enabled lead-time edit are drawn white.
  ASSERT_GT(calendarsShot.width, 100);
  ASSERT_GT(alarmsShot.width, 100);
  EXPECT_EQ(calendarsShot.At(listPoint.x, listPoint.y), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(alarmsShot.At(leadPoint.x, leadPoint.y), ::GetSysColor(COLOR_WINDOW));

  // The types: Canada's kept once with its colour, the others added red.
  EXPECT_EQ(g_Settings.EventTypeNames, (std::vector<std::string>{"Birthday", "Holiday - Canada", "Holiday - Australia",
                                                                 "Holiday - UK", "Holiday - US"}));
  EXPECT_EQ(g_Settings.EventTypeColors, (std::vector<uint32_t>{1, 2, 255, 255, 255}));
  // Opened: Canada and US; the others listed closed.
  const int states[] = {CCalendarFile::kOpen, CCalendarFile::kClosed, CCalendarFile::kOpen, CCalendarFile::kClosed,
                        CCalendarFile::kOpen};
  ASSERT_EQ(doc_.calendars().size(), 5u);
  for (int id = 1; id <= 5; ++id) EXPECT_EQ(doc_.calendars().FindById(id)->openState, states[id - 1]) << id;

  // Read back from the US file.
  CCalendarFile reread;
  CEventArray events;
  ASSERT_EQ(reread.Open(&events, folder_ + "US Holidays.akv"), 1);
  ASSERT_EQ(events.items().size(), holidays::HolidaysOf(3).size());
  for (const CCalEvent* e : events.items()) {
    EXPECT_EQ(e->alarmOn, 1) << e->name;
    EXPECT_EQ(e->leadTime.hours, 2) << e->name;
    EXPECT_EQ(e->dtStamp.GetJulianDay(), JulianDayFromDate(1, 1, 2000)) << e->name;
  }
  reread.Close(&events);
}

}  // namespace
