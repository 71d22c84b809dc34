// One event printed on the default printer: its labelled fields, notes over
// as many pages as they need, and the failures that must not print.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/dialogs/message_box.h"
#include "framework/printing/app_printer.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/printing/print_event.h"
#include "storage/calendar_file.h"
#include "tests/shell/print_fixture.h"
#include "tests/support/win/dialog_driver.h"

namespace {

class PrintEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
    CProgramSettings::ParseFont("Arial,100,700,0", &g_Settings.PrintListHeadingLogFont);
    CProgramSettings::ParseFont("Arial,100,400,0", &g_Settings.PrintListItemLogFont);
    g_Settings.Metric = 0;
    g_Settings.list_orientation = 1;
    g_Settings.list_margin_left = g_Settings.list_margin_top = 1000;
    g_Settings.list_margin_right = g_Settings.list_margin_bottom = 1000;
    home_.name = "Home";
    event_.name = "Tom & Jerry";
    event_.type = "Birthday";
    event_.calendar = &home_;
    event_.start = event_.end = CDateTime::FromParts(CDateTime(7, 3, 2025).GetRawJulianDay(), 36000, 0);
    event_.nextOccurrence = event_.start;
  }
  void TearDown() override { printtest::StopPrintingToFile(); }

  bool Print() {
    CPrintEvent printer(nullptr);
    printer.SetOccurrence(COccurrenceRef(&event_, event_.start));
    bool ok = printer.PrintLoop();
    printer.DestroyWindow();
    return ok;
  }

  CCalendarFile home_;
  CCalEvent event_;
};

}  // namespace

TEST_F(PrintEventTest, FieldsAndNotesPages) {
  std::string paragraph;
  for (int i = 0; i < 40; ++i) paragraph += "Notes line " + std::to_string(i) + " of a long story about a party.\n";
  struct Case {
    const char* name;
    std::string notes;
    int pages;  // 0: more than one
  } cases[] = {
      {"no notes", "", 1},
      {"notes over pages", paragraph + paragraph + paragraph, 0},
      {"one huge word", std::string(5000, 'w'), 0},
  };
  for (const Case& c : cases) {
    event_.notes = c.notes;
    std::string ps = printtest::PrintTo(std::string("print-event-") + (c.pages ? "1" : "n"));
    ASSERT_TRUE(Print()) << c.name;
    int pages = printtest::Pages(ps);
    if (c.pages) {
      EXPECT_EQ(pages, c.pages) << c.name;
    } else {
      EXPECT_GT(pages, 1) << c.name;
      EXPECT_LT(pages, 20) << c.name;
    }
  }

  // The text of a plain event: the four labels, no end, no age; "&" whole.
  event_.notes = paragraph + paragraph + paragraph;
  std::string ps = printtest::PrintTo("print-event");
  ASSERT_TRUE(Print());
  std::string text = printtest::Text(ps);
  for (const char* label : {"Event Name:", "Calendar:", "Event Type:", "Start:", "Tom & Jerry", "Home", "Birthday"})
    EXPECT_NE(text.find(label), std::string::npos) << label << " in\n" << text.substr(0, 400);
  for (const char* absent : {"End:", "Original Year:", "Age on This Date:"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;

  // Page 2 continues at the top margin (1 in = 100 px at 100 dpi, less the
  // printer's offset), without labels.
  printtest::Page page2 = printtest::Render(ps, 2, "print-event-2");
  ASSERT_GT(page2.width, 0);
  EXPECT_FALSE(page2.HasInk(0, 0, page2.width, 85));
  EXPECT_TRUE(page2.HasInk(0, 90, page2.width, 140));
  EXPECT_FALSE(page2.HasInk(0, 0, 90, page2.height));  // left margin stays clear
}

TEST_F(PrintEventTest, FailuresPrintNothing) {
  framework::SetMessageBoxTitle("PrintEventTest");
  struct Case {
    const char* name;
    bool noPrinter;
    UINT failEndPageOn;
    bool message;
  } cases[] = {
      {"no printer", true, 0, true},
      {"EndPage fails", false, 1, false},
  };
  event_.notes = "short";
  for (const Case& c : cases) {
    printtest::PrintTo("print-event-failure");
    framework::ThePrintSeams().noPrinter = c.noPrinter;
    framework::ThePrintSeams().failEndPageOn = c.failEndPageOn;
    bool sawMessage = false;
    if (c.message)
      wintest::Drive({[&] {
        HWND box = wintest::FindDialog("PrintEventTest");
        if (!box) return false;
        sawMessage = true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      }});
    EXPECT_FALSE(Print()) << c.name;
    EXPECT_EQ(sawMessage, c.message) << c.name;
    framework::ThePrintSeams() = framework::PrintSeams{};
  }
}

TEST_F(PrintEventTest, WindowSaysPrinting) {
  CPrintEvent printer(nullptr);
  ASSERT_TRUE(printer.Create(nullptr));
  printer.Show(SW_SHOW);
  EXPECT_EQ(wintest::ItemText(printer.GetSafeHwnd(), IDC_PRINT_EVENT_TEXT), "Printing Event...");
  wintest::Shot shot = wintest::TakeShot(printer.GetSafeHwnd(), "print-event-window");
  ASSERT_GT(shot.width, 0);
  // The dialog face behind the text.
  EXPECT_EQ(shot.At(shot.width / 2, shot.height - 4), ::GetSysColor(COLOR_BTNFACE));
  printer.DestroyWindow();
}
