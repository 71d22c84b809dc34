// The event list on paper: headings, the column positions, rows per page
// and "&" in names, read back from the printed job at 100 dpi.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/printing/app_printer.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "shell/printing/list_print_job.h"
#include "tests/shell/print_fixture.h"

class ListPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
    CProgramSettings& s = g_Settings;
    CProgramSettings::ParseFont("Arial,100,700,0", &s.PrintListHeadingLogFont);
    CProgramSettings::ParseFont("Arial,100,400,0", &s.PrintListItemLogFont);
    s.Metric = 1;
    s.list_orientation = 1;
    s.list_margin_left = s.list_margin_top = s.list_margin_right = s.list_margin_bottom = 2540;
    s.SetPrintColumnDefaults();
    for (int i = 0; i < 3; ++i) {
      events_.push_back(std::make_unique<CCalEvent>());
      CCalEvent& e = *events_.back();
      e.name = i == 0 ? "Tom & Jerry" : "Event " + std::to_string(i);
      e.type = "Birthday";
      e.oneTime = 1;
      e.start = e.end = e.nextOccurrence = CDateTime::FromParts(CDateTime(10 + i, 3, 2025).GetRawJulianDay(), 36000, 0);
    }
  }
  void TearDown() override {
    printtest::StopPrintingToFile();
    g_Settings.SetPrintColumnDefaults();
  }
  std::vector<COccurrenceRef> Entries(size_t n) {
    std::vector<COccurrenceRef> list;
    for (size_t i = 0; i < n; ++i) {
      CCalEvent* e = events_[i % events_.size()].get();
      list.emplace_back(e, e->start);
    }
    return list;
  }
  // Prints `n` entries; the pages printed and the rows a page holds.
  int PrintList(size_t n, const std::string& name, int* rowsPerPage = nullptr) {
    std::string ps = printtest::PrintTo(name);
    CListPrintJob job(Entries(n), nullptr);
    job.SetDirect(true);
    EXPECT_TRUE(job.Print());
    if (rowsPerPage) *rowsPerPage = job.RowsPerPage();
    return printtest::Pages(ps);
  }
  std::vector<std::unique_ptr<CCalEvent>> events_;
};

TEST_F(ListPrintTest, HeadingsColumnsAndAmpersand) {
  std::string ps = printtest::PrintTo("print-list");
  CListPrintJob job(Entries(3), nullptr);
  job.SetDirect(true);
  ASSERT_TRUE(job.Print());
  std::string text = printtest::Text(ps);
  for (const char* heading : {"Name", "Day", "Date", "Days Left", "Time", "Age", "Type", "Tom & Jerry"})
    EXPECT_NE(text.find(heading), std::string::npos) << heading << " in\n" << text.substr(0, 300);
  printtest::Page page = printtest::Render(ps, 1, "print-list");
  ASSERT_GT(page.width, 0);
  // Name column from 105 (margin 100 + gap 5), 210 wide; the Day column's
  // ink starts at 320.
  EXPECT_TRUE(page.HasInk(104, 100, 115, 160));
  EXPECT_FALSE(page.HasInk(200, 0, 319, page.height));
  EXPECT_TRUE(page.HasInk(320, 100, 335, 160));
}

TEST_F(ListPrintTest, PagesAndColumnFlags) {
  int rows = 0;
  EXPECT_EQ(PrintList(1, "print-list-rows", &rows), 1);
  ASSERT_GT(rows, 1);
  EXPECT_EQ(PrintList(static_cast<size_t>(rows), "print-list-full"), 1);
  EXPECT_EQ(PrintList(static_cast<size_t>(rows) + 1, "print-list-over"), 2);
  EXPECT_EQ(PrintList(0, "print-list-empty"), 1);

  CProgramSettings& s = g_Settings;
  s.print_name = s.print_day = s.print_date = s.print_days_left = s.print_time = s.print_age = s.print_type = 0;
  std::string ps = printtest::PrintTo("print-list-none");
  CListPrintJob job(Entries(3), nullptr);
  job.SetDirect(true);
  ASSERT_TRUE(job.Print());
  printtest::Page page = printtest::Render(ps, 1, "print-list-none");
  ASSERT_GT(page.width, 0);
  EXPECT_FALSE(page.HasInk(0, 0, page.width, page.height));
}

// With the program's own fonts every column prints its texts whole (a
// full date, "Days Left"): each column alone at its own width inks as wide
// as at a width no text needs.
TEST_F(ListPrintTest, EveryTextFitsItsColumnInTheDefaultFonts) {
  CProgramSettings& s = g_Settings;
  CProgramSettings::ParseFont("MS Sans Serif,100,700,0", &s.PrintListHeadingLogFont);
  CProgramSettings::ParseFont("MS Sans Serif,100,400,0", &s.PrintListItemLogFont);
  events_[0]->start = events_[0]->end = events_[0]->nextOccurrence =
      CDateTime::FromParts(CDateTime(28, 12, 2025).GetRawJulianDay(), 82800, 0);
  // The ink's width on page 1 with only `column` printed, `width` wide.
  auto inkWidth = [this](int column, int width, const std::string& name) {
    int16_t* flags[] = {&g_Settings.print_name,      &g_Settings.print_day, &g_Settings.print_date,
                        &g_Settings.print_days_left, &g_Settings.print_time, &g_Settings.print_age,
                        &g_Settings.print_type};
    int32_t* widths[] = {&g_Settings.print_width_name,      &g_Settings.print_width_day,  &g_Settings.print_width_date,
                     &g_Settings.print_width_days_left, &g_Settings.print_width_time, &g_Settings.print_width_age,
                     &g_Settings.print_width_type};
    g_Settings.SetPrintColumnDefaults();
    for (int i = 0; i < printcore::kListColumnCount; ++i) *flags[i] = i == column;
    if (width) *widths[column] = width;
    std::string ps = printtest::PrintTo(name);
    CListPrintJob job(Entries(3), nullptr);
    job.SetDirect(true);
    EXPECT_TRUE(job.Print());
    printtest::Page page = printtest::Render(ps, 1, name);
    int left = page.width, right = -1;
    for (int x = 0; x < page.width; ++x)
      if (page.HasInk(x, 0, x + 1, page.height)) left = std::min(left, x), right = x;
    return right - left;
  };
  for (int column = 0; column < printcore::kListColumnCount; ++column) {
    SCOPED_TRACE(printcore::kListHeadings[column]);
    const int own = inkWidth(column, 0, "print-list-column");
    EXPECT_GT(own, 0);
    EXPECT_NEAR(own, inkWidth(column, 5000, "print-list-column-wide"), 1);
  }
  g_Settings.SetPrintColumnDefaults();
  std::string ps = printtest::PrintTo("print-list-fits");
  CListPrintJob job(Entries(3), nullptr);
  job.SetDirect(true);
  ASSERT_TRUE(job.Print());
  EXPECT_TRUE(printtest::Render(ps, 1, "print-list-fits").HasInk(104, 100, 115, 160));
}
