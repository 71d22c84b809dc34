// The shared small dialogs run modally and answered from a thread timer:
// what each button returns, what the members hold afterwards, validation
// that keeps a dialog open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/win/dialog_driver.h"
#include "dialogs/small/backup_dlg.h"
#include "dialogs/small/help_hook.h"
#include "dialogs/small/log_dlg.h"
#include "dialogs/small/select_month_dlg.h"
#include "dialogs/small/upcoming_days_dlg.h"
#include "dialogs/small/warning_dlg.h"
#include "res/resource.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;

namespace {

std::vector<DWORD> g_helpTopics;
void RecordHelp(DWORD context) { g_helpTopics.push_back(context); }

enum class Press { kYes, kNo, kEscape };

struct WarningCase {
  int buttons;
  bool tick;
  Press press;
  int helpContext;
  int result;
  int doNotShow;
  const char* yesText;
  bool noShown, helpShown;
};

TEST(WarningDlg, ButtonsTickAndAnswers) {
  const WarningCase cases[] = {
      {4, false, Press::kYes, -1, IDYES, 0, "Yes", true, false},
      {0, false, Press::kYes, -1, IDOK, 0, "OK", false, false},
      {4, true, Press::kNo, 7, IDNO, 1, "Yes", true, true},
      {4, true, Press::kYes, -1, IDYES, 1, "Yes", true, false},
      {4, true, Press::kEscape, -1, IDCANCEL, 0, "Yes", true, false},
  };
  for (const WarningCase& c : cases) {
    SCOPED_TRACE(c.result);
    dialogs::CWarningDlg dlg;
    dlg.buttons = c.buttons;
    dlg.helpContext = c.helpContext;
    dlg.caption = "Warning Under Test";
    dlg.message = "Really?";
    std::string yes, check;
    bool noShown = true, helpShown = true, ampersandShown = false;
    Drive({[&] {
      HWND h = FindDialog("Warning Under Test");
      if (!h) return false;
      yes = ItemText(h, IDYES);
      // Event names go into the text: "&" is a character, not a mnemonic.
      ampersandShown = (::GetWindowLongA(::GetDlgItem(h, IDC_WARNING_TEXT), GWL_STYLE) & SS_NOPREFIX) != 0;
      check = ItemText(h, IDC_WARNING_CHECK);
      noShown = ::IsWindowVisible(::GetDlgItem(h, IDNO)) != FALSE;
      helpShown = ::IsWindowVisible(::GetDlgItem(h, IDC_WARNING_HELP)) != FALSE;
      if (c.tick) ::SendDlgItemMessageA(h, IDC_WARNING_CHECK, BM_SETCHECK, BST_CHECKED, 0);
      if (c.press == Press::kYes) Click(h, IDYES);
      if (c.press == Press::kNo) Click(h, IDNO);
      if (c.press == Press::kEscape) ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), c.result);
    EXPECT_EQ(dlg.doNotShow, c.doNotShow);
    EXPECT_EQ(yes, c.yesText);
    EXPECT_EQ(check, "Do not show this warning in the future");
    EXPECT_EQ(noShown, c.noShown);
    EXPECT_EQ(helpShown, c.helpShown);
    EXPECT_TRUE(ampersandShown);
  }
}

TEST(WarningDlg, HelpOnlyWithAContext) {
  auto old = dialogs::SetHelpTopicHook(&RecordHelp);
  g_helpTopics.clear();
  for (int context : {-1, 45}) {
    dialogs::CWarningDlg dlg;
    dlg.helpContext = context;
    Drive({[&] {
      HWND h = FindDialog("Warning");
      if (!h) return false;
      HELPINFO hi{};
      hi.cbSize = sizeof hi;
      ::SendMessageA(h, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
      Click(h, IDNO);
      return true;
    }});
    dlg.DoModal();
  }
  dialogs::SetHelpTopicHook(old);
  EXPECT_EQ(g_helpTopics, std::vector<DWORD>{45});
}

TEST(WarningDlg, Screenshot) {
  dialogs::CWarningDlg dlg;
  dlg.message = "Are you sure you want to exit Almacora?";
  wintest::Shot shot;
  RECT box{};
  Drive({[&] {
    HWND h = FindDialog("Warning");
    if (!h) return false;
    ::GetWindowRect(::GetDlgItem(h, IDC_WARNING_CHECK), &box);
    RECT win;
    ::GetWindowRect(h, &win);
    ::OffsetRect(&box, -win.left, -win.top);
    shot = wintest::TakeShot(h, "warning");
    Click(h, IDNO);
    return true;
  }});
  dlg.DoModal();
  ASSERT_GT(shot.width, 0);
  // Inside the unticked check box square: the window colour, not the face.
  const int cy = (box.top + box.bottom) / 2;
  EXPECT_EQ(shot.At(box.left + 6, cy), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(shot.At(2 + shot.width / 2, shot.height - 4), ::GetSysColor(COLOR_BTNFACE));
}

TEST(SelectMonthDlg, YearRangeMonthNamesAndCurrentMonth) {
  {
    dialogs::CSelectMonthDlg dlg;
    dlg.year = 2026;
    dlg.monthIndex = 11;
    std::vector<std::string> names;
    std::string boxText;
    bool openAfterBox = false;
    HWND dlgWnd = nullptr;
    Drive({[&] {
             HWND h = FindDialog("Select Calendar Month");
             if (!h) return false;
             dlgWnd = h;
             for (int i = 0; i < 12; ++i) {
               char name[64] = "";
               ::SendDlgItemMessageA(h, IDC_SELECT_MONTH_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
               names.push_back(name);
             }
             ::SetDlgItemTextA(h, IDC_SELECT_MONTH_YEAR, "1752");
             Click(h, IDOK);
             return true;
           },
           [&] {
             HWND box = wintest::PopupOf(dlgWnd);
             if (!box) return false;
             boxText = ItemText(box, 0xFFFF);
             ::PostMessageA(box, WM_COMMAND, IDOK, 0);
             return true;
           },
           [&] {
             HWND h = FindDialog("Select Calendar Month");
             if (!h || wintest::PopupOf(h)) return false;
             openAfterBox = true;
             ::SetDlgItemTextA(h, IDC_SELECT_MONTH_YEAR, "2031");
             ::SendDlgItemMessageA(h, IDC_SELECT_MONTH_LIST, CB_SETCURSEL, 2, 0);
             wintest::TakeShot(h, "select-month");
             Click(h, IDOK);
             return true;
           }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), "January");
    EXPECT_EQ(names.back(), "December");
    EXPECT_EQ(boxText, "Please enter an integer between 1753 and 9999.");
    EXPECT_TRUE(openAfterBox);
    EXPECT_EQ(dlg.year, 2031);
    EXPECT_EQ(dlg.monthIndex, 2);
  }
  {
    dialogs::CSelectMonthDlg dlg;
    dlg.year = 2026;
    dlg.monthIndex = 4;
    Drive({[&] {
      HWND h = FindDialog("Select Calendar Month");
      if (!h) return false;
      ::SetDlgItemTextA(h, IDC_SELECT_MONTH_YEAR, "1999");
      ::SendDlgItemMessageA(h, IDC_SELECT_MONTH_LIST, CB_SETCURSEL, 0, 0);
      Click(h, IDC_SELECT_MONTH_CURRENT);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.year, 2026);
    EXPECT_EQ(dlg.monthIndex, 4);
  }
}

TEST(UpcomingDaysDlg, SpinRangeHelpAndValuesAnIntCannotHold) {
  auto old = dialogs::SetHelpTopicHook(&RecordHelp);
  g_helpTopics.clear();
  dialogs::CUpcomingDaysDlg dlg;
  dlg.daysPrior = 14;
  LRESULT range = 0;
  std::string shown, boxText;
  HWND dlgWnd = nullptr;
  Drive({[&] {
           HWND h = FindDialog("Upcoming Days");
           if (!h) return false;
           dlgWnd = h;
           shown = ItemText(h, IDC_UPCOMING_DAYS);
           range = ::SendDlgItemMessageA(h, IDC_UPCOMING_SPIN, UDM_GETRANGE, 0, 0);
           Click(h, IDC_UPCOMING_HELP);
           ::SetDlgItemTextA(h, IDC_UPCOMING_DAYS, "4294967295");
           Click(h, IDOK);
           return true;
         },
         [&] {
           HWND box = wintest::PopupOf(dlgWnd);
           if (!box) return false;
           boxText = ItemText(box, 0xFFFF);
           ::PostMessageA(box, WM_COMMAND, IDOK, 0);
           return true;
         },
         [&] {
           HWND h = FindDialog("Upcoming Days");
           if (!h || wintest::PopupOf(h)) return false;
           ::SetDlgItemTextA(h, IDC_UPCOMING_DAYS, "400");
           Click(h, IDOK);
           return true;
         }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  dialogs::SetHelpTopicHook(old);
  EXPECT_EQ(shown, "14");
  EXPECT_EQ(LOWORD(range), 365);
  EXPECT_EQ(HIWORD(range), 0);
  EXPECT_EQ(g_helpTopics, std::vector<DWORD>{62});
  EXPECT_NE(boxText.find("2147483647"), std::string::npos) << boxText;
  EXPECT_EQ(dlg.daysPrior, 400u);
}

TEST(BackupDlg, CaptionButtonAndDirectory) {
  dialogs::CBackupDlg dlg;
  dlg.directory = "C:\\Backups";
  std::string okText;
  Drive({[&] {
    HWND h = FindDialog("Backup Current Events File");
    if (!h) return false;
    okText = ItemText(h, IDOK);
    ::SetDlgItemTextA(h, IDC_BACKUP_DIR, "D:\\Elsewhere");
    Click(h, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(okText, "Backup");
  EXPECT_EQ(dlg.directory, "D:\\Elsewhere");
  EXPECT_EQ(dlg.mode, 1);
}

TEST(LogDlg, LongTextWholeAndBareLineEndsBroken) {
  dialogs::CLogDlg dlg;
  std::string line(79, 'x');
  for (int i = 0; i < 1250; ++i) dlg.text += line + "\n";  // 100,000 characters, bare line ends
  size_t shown = 0;
  LRESULT lines = 0;
  Drive({[&] {
    HWND h = FindDialog("Log");
    if (!h) return false;
    shown = static_cast<size_t>(::GetWindowTextLengthA(::GetDlgItem(h, IDC_LOG_TEXT)));
    lines = ::SendDlgItemMessageA(h, IDC_LOG_TEXT, EM_GETLINECOUNT, 0, 0);
    Click(h, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shown, 100000u + 1250);
  EXPECT_GE(lines, 1251);
  EXPECT_EQ(dialogs::CLogDlg::WithCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

}  // namespace
