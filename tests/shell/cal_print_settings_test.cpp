// "Calendar Print Settings" driven as a person uses it: what it shows of
// the settings, what OK stores and what Cancel keeps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/printing/cal_print_settings_dlg.h"
#include "shell/printing/list_print_settings_dlg.h"
#include "tests/support/win/dialog_driver.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 0xA0, 0);

bool Checked(HWND h, int id) { return ::IsDlgButtonChecked(h, id) == BST_CHECKED; }

}  // namespace

TEST(CalPrintSettings, ShowsStoresAndCancels) {
  CProgramSettings& s = g_Settings;
  s.cal_line_width = 3;
  s.show_age = 1;
  s.ColorCodePrinting = 0;
  s.rgb_CalLineColor = static_cast<int>(kGreen);
  s.rgb_CalHeadingBkColor = 0xA00000;
  struct Case {
    int button;
    int16_t showAge, colorCode;
    int lineWidth;
  } cases[] = {{IDCANCEL, 1, 0, 3}, {IDOK, 0, 1, 1}};
  for (const Case& c : cases) {
    int shownIndex = -1;
    bool ageShown = false, codeShown = true, swatchGreen = false;
    wintest::Drive({[&] {
      HWND h = wintest::FindDialog("Calendar Print Settings");
      if (!h) return false;
      shownIndex = static_cast<int>(::SendDlgItemMessageA(h, IDC_CPS_LINE_SIZE, CB_GETCURSEL, 0, 0));
      ageShown = Checked(h, IDC_CPS_SHOW_AGE);
      codeShown = Checked(h, IDC_CPS_COLOR_CODE);
      wintest::Shot shot = wintest::TakeShot(h, "cal-print-settings");
      RECT dlg, button;
      ::GetWindowRect(h, &dlg);
      ::GetWindowRect(::GetDlgItem(h, IDC_CPS_LINE_COLOR), &button);
      COLORREF mid = shot.At((button.left + button.right) / 2 - dlg.left, (button.top + button.bottom) / 2 - dlg.top);
      swatchGreen = std::abs(GetGValue(mid) - 0xA0) <= 2 && GetRValue(mid) <= 2 && GetBValue(mid) <= 2;
      ::SendDlgItemMessageA(h, IDC_CPS_LINE_SIZE, CB_SETCURSEL, 0, 0);
      ::CheckDlgButton(h, IDC_CPS_SHOW_AGE, BST_UNCHECKED);
      ::CheckDlgButton(h, IDC_CPS_COLOR_CODE, BST_CHECKED);
      wintest::Click(h, c.button);
      return true;
    }});
    CCalendarPrintSettingsDlg dlg(nullptr);
    EXPECT_EQ(dlg.DoModal(), c.button);
    EXPECT_EQ(shownIndex, 2);  // cal_line_width 3
    EXPECT_TRUE(ageShown);
    EXPECT_FALSE(codeShown);
    EXPECT_TRUE(swatchGreen) << "the line colour button shows its colour";
    EXPECT_EQ(s.show_age, c.showAge);
    EXPECT_EQ(s.ColorCodePrinting, c.colorCode);
    EXPECT_EQ(s.cal_line_width, c.lineWidth);
    EXPECT_EQ(s.rgb_CalLineColor, static_cast<int>(kGreen));
    // The next case opens on what the first left.
    s.cal_line_width = 3;
    s.show_age = 1;
    s.ColorCodePrinting = 0;
  }
}

// The print font buttons open the font dialog on the stored style and size,
// also for a face the system draws with another.
TEST(CalPrintSettings, FontDialogsOpenOnTheStoredFont) {
  CProgramSettings& s = g_Settings;
  const struct {
    int button;
    LogFont* font;
    const char* stored;
    const char* styleAndSize;
  } cases[] = {{IDC_CPS_MONTH_FONT, &s.MonthHeadingLogFont, "Times New Roman,160,700,0", "Bold 16"},
               {IDC_CPS_DAY_HEADING_FONT, &s.DayHeadingLogFont, "Arial,100,400,1", "Italic 10"},
               {IDC_LPS_HEADING_FONT, &s.PrintListHeadingLogFont, "Courier New,140,400,0", "Regular 14"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(CProgramSettings::ParseFont(c.stored, c.font));
    const char* caption = c.button == IDC_LPS_HEADING_FONT ? "Event List Print Settings" : "Calendar Print Settings";
    std::string shown;
    wintest::Drive({[&] {
                      HWND h = wintest::FindDialog(caption);
                      if (h) ::PostMessageA(h, WM_COMMAND, static_cast<WPARAM>(c.button), 0);
                      return h != nullptr;
                    },
                    [&] {
                      HWND font = wintest::FindDialog("Font");
                      if (!font) return false;
                      if (c.button == IDC_CPS_MONTH_FONT) wintest::TakeShot(font, "print_font_dialog");
                      shown = wintest::ItemText(font, 0x471) + " " + wintest::ItemText(font, 0x472);
                      wintest::Click(font, IDCANCEL);
                      return true;
                    },
                    [&] {
                      HWND h = wintest::FindDialog(caption);
                      if (h && !wintest::FindDialog("Font")) wintest::Click(h, IDCANCEL);
                      return h && !wintest::FindDialog("Font");
                    }},
                   20000);
    if (c.button == IDC_LPS_HEADING_FONT) {
      CListPrintSettingsDlg(nullptr).DoModal();
    } else {
      CCalendarPrintSettingsDlg(nullptr).DoModal();
    }
    EXPECT_EQ(shown, c.styleAndSize) << c.stored;
  }
}
