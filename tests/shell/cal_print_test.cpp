// Month and week calendars on paper: the page painters through the print
// loop onto the default printer, read back at 100 dpi.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/printing/app_printer.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "shell/printing/cal_print_job.h"
#include "tests/shell/print_fixture.h"

using printtest::InkOf;
using printtest::kBand;
using printtest::kTypeColour;
using printtest::Near;

namespace {

class Source : public ICalPageSource {
 public:
  std::vector<CCalEvent*> events;
  const std::vector<CCalEvent*>& GetPageEvents() const override { return events; }
  int IsTypeHidden(const std::string&) const override { return 0; }
  int GetDisplayMode() const override { return 1; }
};

class CalPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
    printtest::BandedCalendarSettings();
    CProgramSettings& s = g_Settings;
    CProgramSettings::ParseFont("Times New Roman,280,700,0", &s.MonthHeadingLogFont);
    CProgramSettings::ParseFont("Arial,120,700,0", &s.DayHeadingLogFont);
    CProgramSettings::ParseFont("Times New Roman,120,700,0", &s.DayLogFont);
    CProgramSettings::ParseFont("Arial,80,400,0", &s.ItemLogFont);
    s.rgb_MonthHeading = 0x80;
    s.rgb_DayHeading = 0xFFFFFF;
    s.rgb_Day = 0x800000;
    s.rgb_Item = 0;
    party_.name = "Party";
    party_.type = "Birthday";
    party_.start = party_.end = CDateTime::FromParts(CDateTime(12, 3, 2025).GetRawJulianDay(), 36000, 0);
    party_.nextOccurrence = party_.start;
    source_.events = {&party_};
  }
  void TearDown() override { printtest::StopPrintingToFile(); }

  // Prints and renders page 1; the columns of type-coloured ink.
  printtest::Page PrintPage(short mode, const CDateTime& start, const std::string& name, std::string* ps) {
    *ps = printtest::PrintTo(name);
    CCalPrintJob job(source_, start, mode, nullptr);
    job.SetDirect(true);
    EXPECT_TRUE(job.Print());
    EXPECT_EQ(printtest::Pages(*ps), 1);
    return printtest::Render(*ps, 1, name);
  }

  Source source_;
  CCalEvent party_;
};

}  // namespace

TEST_F(CalPrintTest, MonthPortrait) {
  g_Settings.cal_orientation = 1;
  std::string ps;
  printtest::Page page = PrintPage(CCalPage::kMonth, CDateTime(20, 3, 2025), "print-month", &ps);
  ASSERT_GT(page.width, 0);
  EXPECT_LT(page.width, page.height);
  EXPECT_NE(printtest::Text(ps).find("March 2025"), std::string::npos);
  // The heading band spans the content width inside 1-inch margins.
  RECT band = InkOf(page, kBand);
  EXPECT_NEAR(band.left, 100, 3);
  EXPECT_NEAR(band.right, page.width - 100, 3);
  EXPECT_GT(band.top, 100);
  EXPECT_TRUE(Near(page.At(103, band.top + 3), kBand));  // a filled band, not a line
  // The party's ink lies in Wednesday's column (7 equal columns), the
  // third week row of six.
  RECT ink = InkOf(page, kTypeColour);
  ASSERT_GE(ink.right, 0) << "no event ink";
  const double col = (page.width - 200) / 7.0;
  EXPECT_GE(ink.left, 100 + 3 * col - 2);
  EXPECT_LE(ink.right, 100 + 4 * col + 2);
  EXPECT_GT(ink.top, band.top + 30);
}

TEST_F(CalPrintTest, WeekLandscape) {
  g_Settings.cal_orientation = 2;
  std::string ps;
  // The week of Sunday 9 March 2025 holds the party on its Wednesday.
  printtest::Page page = PrintPage(CCalPage::kWeek, CDateTime(9, 3, 2025), "print-week", &ps);
  ASSERT_GT(page.width, 0);
  EXPECT_GT(page.width, page.height);  // a landscape job, turned upright
  // 4 x 2 cells: the party in the fourth of the top row, the eighth empty.
  RECT ink = InkOf(page, kTypeColour);
  ASSERT_GE(ink.right, 0) << "no event ink";
  EXPECT_GT(ink.left, page.width / 2);
  EXPECT_LT(ink.bottom, page.height / 2);
  EXPECT_FALSE(page.HasInk(page.width * 3 / 4 + 5, page.height * 2 / 3, page.width - 105, page.height - 105));
  g_Settings.cal_orientation = 1;
}
