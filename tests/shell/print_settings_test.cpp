// The "Print" dialog driven as a person uses it: report types and their
// results, the quick ranges, From dragging To, what reopening keeps.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/printing/app_printer.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/core/print_settings_rules.h"
#include "shell/printing/print_settings_dlg.h"
#include "tests/shell/print_fixture.h"
#include "tests/support/win/dialog_driver.h"

using printtest::SelectType;

namespace {

void PickFrom(HWND dlg, const CDateTime& day) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(day.GetYear());
  st.wMonth = static_cast<WORD>(day.GetMonth());
  st.wDay = static_cast<WORD>(day.GetDay());
  HWND picker = ::GetDlgItem(dlg, IDC_PRINT_FROM);
  ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  NMDATETIMECHANGE change{};
  change.nmhdr = NMHDR{picker, IDC_PRINT_FROM, static_cast<UINT>(DTN_DATETIMECHANGE)};
  change.st = st;
  ::SendMessageA(dlg, WM_NOTIFY, IDC_PRINT_FROM, reinterpret_cast<LPARAM>(&change));
}

// Opens the dialog, runs `act` on it once shown, returns the result.
int RunDialog(CPrintSettingsDlg& dlg, std::function<void(HWND)> act) {
  wintest::Drive({[&] {
    HWND h = wintest::FindDialog("Print");
    if (!h) return false;
    act(h);
    return true;
  }});
  return dlg.DoModal();
}

// The system's Page Setup dialog (Wine calls it "Setup Page").
HWND PageSetupDialog() {
  HWND h = wintest::FindDialog("Page Setup");
  return h ? h : wintest::FindDialog("Setup Page");
}

bool Visible(HWND dlg, int id) { return ::IsWindowVisible(::GetDlgItem(dlg, id)) != FALSE; }

}  // namespace

class PrintSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
    g_Settings.cal_orientation = 2;
    g_Settings.list_orientation = 1;
    g_Settings.CalendarStartDay = 1;
    CPrintSettingsDlg::listAvailable = true;
    CPrintSettingsDlg::previewAvailable = true;
  }
  void TearDown() override {
    CPrintSettingsDlg::listAvailable = false;
    CPrintSettingsDlg::previewAvailable = false;
  }
};

TEST_F(PrintSettingsTest, ResultsByType) {
  CPrintSettingsDlg dlg(nullptr);
  struct Case {
    int type;
    int button;
    int result;
  } cases[] = {
      {0, IDC_PRINT_PRINT, 1000}, {2, IDC_PRINT_PRINT, 1001},   {0, IDC_PRINT_PREVIEW, 1002},
      {3, IDC_PRINT_PREVIEW, 1003}, {1, IDC_PRINT_PRINT, 1004}, {1, IDC_PRINT_PREVIEW, 1005},
      {3, IDOK, IDOK},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunDialog(dlg, [&](HWND h) {
                SelectType(h, c.type);
                wintest::Click(h, c.button);
              }),
              c.result)
        << c.type << "/" << c.button;
    EXPECT_EQ(dlg.GetReportType(), c.type);
  }
}

TEST_F(PrintSettingsTest, TextsRangesAndReopening) {
  CPrintSettingsDlg dlg(nullptr);
  std::string orientation, description;
  bool rangeShown = true;
  int shotPixelOk = 0;
  // Type 0 on opening: the calendar's landscape orientation applied and
  // shown, no date range.
  RunDialog(dlg, [&](HWND h) {
    orientation = wintest::ItemText(h, IDC_PRINT_ORIENTATION);
    description = wintest::ItemText(h, IDC_PRINT_DESCRIPTION);
    rangeShown = Visible(h, IDC_PRINT_FROM);
    wintest::Shot shot = wintest::TakeShot(h, "print-settings");
    shotPixelOk = shot.width > 0 && shot.At(shot.width / 2, shot.height - 6) == ::GetSysColor(COLOR_BTNFACE);
    wintest::Click(h, IDOK);
  });
  EXPECT_EQ(orientation, "Landscape");
  EXPECT_EQ(framework::ThePrinter().Orientation(), DMORIENT_LANDSCAPE);
  EXPECT_EQ(description, "Prints the calendar that is currently shown on-screen.");
  EXPECT_FALSE(rangeShown);
  EXPECT_TRUE(shotPixelOk);
  printcore::DateRange month = printcore::ThisMonth(CDateTime::Today());
  EXPECT_EQ(dlg.GetFrom().GetJulianDay(), month.from.GetJulianDay());
  EXPECT_EQ(dlg.GetTo().GetJulianDay(), month.to.GetJulianDay());

  // Date range list: "This Week" starts on Monday; From moved past To
  // takes To along.
  std::string listOrientation;
  RunDialog(dlg, [&](HWND h) {
    SelectType(h, 3);
    rangeShown = Visible(h, IDC_PRINT_FROM);
    listOrientation = wintest::ItemText(h, IDC_PRINT_ORIENTATION);
    wintest::Click(h, IDC_PRINT_THIS_WEEK);
    wintest::Click(h, IDC_PRINT_PRINT);
  });
  EXPECT_TRUE(rangeShown);
  EXPECT_EQ(listOrientation, "Portrait");
  EXPECT_EQ(dlg.GetFrom().GetWeekday(), 1);
  EXPECT_EQ(dlg.GetTo().GetJulianDay() - dlg.GetFrom().GetJulianDay(), 6);
  EXPECT_EQ(g_Settings.PrintDateRange, 1);

  const int from = dlg.GetFrom().GetJulianDay();
  CDateTime past = dlg.GetTo();
  past.AddDays(3);
  RunDialog(dlg, [&](HWND h) {
    PickFrom(h, dlg.GetTo());  // From = To: no longer later
    PickFrom(h, past);         // To follows by the same shift
    wintest::Click(h, IDC_PRINT_PRINT);
  });
  EXPECT_EQ(dlg.GetFrom().GetJulianDay(), past.GetJulianDay());
  EXPECT_EQ(dlg.GetTo().GetJulianDay(), past.GetJulianDay());
  EXPECT_NE(from, past.GetJulianDay());

  // Reopened on the date range list the dates stay.
  RunDialog(dlg, [&](HWND h) { wintest::Click(h, IDOK); });
  EXPECT_EQ(dlg.GetFrom().GetJulianDay(), past.GetJulianDay());
}

TEST_F(PrintSettingsTest, PageSetupCancelChangesNothing) {
  CProgramSettings& s = g_Settings;
  s.cal_margin_left = s.cal_margin_top = s.cal_margin_right = s.cal_margin_bottom = 1234;
  CPrintSettingsDlg dlg(nullptr);
  bool pageSetup = false;
  wintest::Drive({[&] {
                    HWND h = wintest::FindDialog("Print");
                    if (!h) return false;
                    SelectType(h, 0);
                    ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_PRINT_EDIT_SETTINGS, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_PRINT_EDIT_SETTINGS)));
                    return true;
                  },
                  [&] {
                    HWND h = PageSetupDialog();
                    if (!h) return false;
                    pageSetup = true;
                    // Portrait and a wider margin, then Cancel.
                    wintest::Click(h, 0x420);
                    ::SetDlgItemTextA(h, 0x483, "50");
                    ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
                    return true;
                  },
                  [&] {
                    HWND h = wintest::FindDialog("Print");
                    if (!h || PageSetupDialog()) return false;
                    wintest::Click(h, IDOK);
                    return true;
                  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(pageSetup);
  EXPECT_EQ(s.cal_orientation, 2);
  EXPECT_EQ(framework::ThePrinter().Orientation(), DMORIENT_LANDSCAPE);
  EXPECT_EQ(s.cal_margin_left, 1234);
  EXPECT_EQ(s.cal_margin_bottom, 1234);
}
