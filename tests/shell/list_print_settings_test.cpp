// "Event List Print Settings": widths in inches or millimetres, the range
// message, column flags and "Reset Defaults".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/printing/list_print_settings_dlg.h"
#include "tests/support/win/dialog_driver.h"

TEST(ListPrintSettings, WidthsByUnitAndRange) {
  CProgramSettings& s = g_Settings;
  struct Case {
    int16_t metric;
    const char* entered;
    bool accepted;
    int stored;
    const char* caption;
  } cases[] = {
      {0, "2.1", true, 2100, "Width (inches)"},
      {1, "53", true, 2086, "Width (mm)"},
      {0, "21", false, 0, "Width (inches)"},
      {1, "wide", false, 0, "Width (mm)"},
  };
  for (const Case& c : cases) {
    s.Metric = c.metric;
    s.print_width_name = 1000;
    std::string caption, shownWidth, message;
    wintest::Drive({[&] {
                      HWND h = wintest::FindDialog("Event List Print Settings");
                      if (!h) return false;
                      caption = wintest::ItemText(h, IDC_LPS_WIDTH_CAPTION);
                      shownWidth = wintest::ItemText(h, IDC_LPS_WIDTH_NAME);
                      ::SetDlgItemTextA(h, IDC_LPS_WIDTH_NAME, c.entered);
                      wintest::Click(h, IDOK);
                      return true;
                    },
                    [&] {
                      HWND h = wintest::FindDialog("Event List Print Settings");
                      if (!h) return true;  // accepted: closed
                      HWND box = wintest::PopupOf(h);
                      if (!box) return false;
                      message = wintest::ItemText(box, 0xFFFF);
                      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      return true;
                    },
                    [&] {
                      HWND h = wintest::FindDialog("Event List Print Settings");
                      if (h && !wintest::PopupOf(h)) wintest::Click(h, IDCANCEL);
                      return h == nullptr || !wintest::PopupOf(h);
                    }});
    CListPrintSettingsDlg dlg(nullptr);
    EXPECT_EQ(dlg.DoModal(), c.accepted ? IDOK : IDCANCEL) << c.entered;
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(shownWidth, c.metric ? "25" : "1.0");
    EXPECT_EQ(s.print_width_name, c.accepted ? c.stored : 1000) << c.entered;
    if (!c.accepted) {
      EXPECT_EQ(message, CListPrintSettingsDlg::RangeMessage(c.metric != 0));
    }
  }
}

TEST(ListPrintSettings, ResetDefaultsAndFlags) {
  CProgramSettings& s = g_Settings;
  s.Metric = 0;
  s.print_day = 0;
  s.print_width_day = 900;
  s.print_type = 1;
  bool dayShown = true, faceOk = false;
  wintest::Drive({[&] {
                    HWND h = wintest::FindDialog("Event List Print Settings");
                    if (!h) return false;
                    dayShown = ::IsDlgButtonChecked(h, IDC_LPS_DAY) == BST_CHECKED;
                    wintest::Click(h, IDC_LPS_RESET);
                    return true;
                  },
                  [&] {
    HWND h = wintest::FindDialog("Event List Print Settings");
    if (!h || ::IsDlgButtonChecked(h, IDC_LPS_DAY) != BST_CHECKED) return false;
    ::CheckDlgButton(h, IDC_LPS_TYPE, BST_UNCHECKED);
    wintest::Shot shot = wintest::TakeShot(h, "list-print-settings");
    faceOk = shot.width > 0 && shot.At(shot.width / 2, shot.height - 6) == ::GetSysColor(COLOR_BTNFACE);
    wintest::Click(h, IDOK);
    return true;
  }});
  CListPrintSettingsDlg dlg(nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(dayShown);
  EXPECT_TRUE(faceOk);
  EXPECT_EQ(s.print_day, 1);
  EXPECT_EQ(s.print_width_day, 500);
  EXPECT_EQ(s.print_type, 0);
}
