// The "Alarm Actions" sheet and "Email Options" as a person uses them:
// event mode stores inheriting values, refuses lengths out of range, and
// OK saves the settings; defaults-mode Test mails the templates as typed;
// choosing MAPI greys the SMTP fields. Screenshots of every page.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "alarms/actions/actions_sheet.h"
#include "alarms/actions/email_options_dialog.h"
#include "alarms/actions/timer_dlg.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "res/resource.h"
#include "tests/alarms/actions/actions_fixture.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/window_shot.h"

#include <gtest/gtest.h>

using wintest::Click;
using wintest::Drive;
using wintest::Step;

namespace {

HWND Sheet() { return wintest::FindDialog("Alarm Actions"); }
HWND Page(HWND sheet) { return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
void Select(HWND sheet, int i) { ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(i), 0); }
bool Enabled(HWND d, int id) { return ::IsWindowEnabled(::GetDlgItem(d, id)) != FALSE; }
bool Checked(HWND d, int id) { return ::IsDlgButtonChecked(d, id) == BST_CHECKED; }

// Drew something: mostly light face with dark text.
bool Drawn(const wintest::Shot& shot) {
  size_t light = 0, dark = 0;
  for (COLORREF p : shot.pixels) {
    if (GetRValue(p) > 0xC0 && GetGValue(p) > 0xC0 && GetBValue(p) > 0xC0) ++light;
    if (GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40) ++dark;
  }
  return shot.width > 100 && light > shot.pixels.size() / 3 && dark > 100;
}

// The message of a message box: the text of its static controls.
std::string BoxText(HWND box) {
  std::string text;
  ::EnumChildWindows(
      box,
      [](HWND h, LPARAM p) -> BOOL {
        char cls[16] = "", buf[256] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && ::GetWindowTextA(h, buf, sizeof buf) > 0)
          *reinterpret_cast<std::string*>(p) += buf;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

class ActionsSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    profile_.reset(new platform::ProfileStore(platform::ProfileStore::ScratchLocation("alarm_actions")));
    profile_->Clear();
    g_Settings.SetProfile(profile_.get());
    g_Settings.LoadSettings();
  }
  void TearDown() override {
    profile_->Clear();
    g_Settings.SetProfile(nullptr);
  }
  std::unique_ptr<platform::ProfileStore> profile_;
};

TEST_F(ActionsSheet, EventModeStoresInheritingValuesAndSaves) {
  g_Settings.AlarmLength = 5;
  CCalEvent e;
  e.name = "Dentist";
  e.soundLength = 7;
  e.runWindowState = 9;
  bool refusedZero = false, refused61 = false, runNormal = false;
  wintest::Shot shots[3];
  HWND lastBox = nullptr;
  // A refused value shows a box over the sheet; closing it keeps the page.
  auto refused = [&](bool* seen, const char* next) -> Step {
    return [&, seen, next] {
      HWND s = Sheet();
      HWND box = s ? wintest::PopupOf(s) : nullptr;
      if (!box || box == lastBox) return false;
      lastBox = box;
      *seen = true;
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
      ::SetDlgItemTextA(Page(s), IDC_AS_LENGTH, next);
      if (next[0] != '5') ::PostMessageA(s, PSM_PRESSBUTTON, PSBTN_OK, 0);
      return true;
    };
  };
  Drive({[&] {
           HWND s = Sheet();
           if (!s) return false;
           HWND p = Page(s);
           EXPECT_EQ(wintest::ItemText(p, IDC_AS_LENGTH), "7");
           shots[0] = wintest::TakeShot(s, "alarm_actions_sound");
           ::SetDlgItemTextA(p, IDC_AS_LENGTH, "0");
           ::PostMessageA(s, PSM_PRESSBUTTON, PSBTN_OK, 0);
           return true;
         },
         refused(&refusedZero, "61"), refused(&refused61, "5"),
         [&] {
           HWND s = Sheet();
           if (!s || wintest::PopupOf(s)) return false;
           Select(s, 1);
           shots[1] = wintest::TakeShot(s, "alarm_actions_email");
           EXPECT_FALSE(Enabled(Page(s), IDC_AE_TO));
           Select(s, 2);
           runNormal = wintest::ItemText(Page(s), IDC_AR_STARTUP) == "Normal Window";
           shots[2] = wintest::TakeShot(s, "alarm_actions_run");
           ::PostMessageA(s, PSM_PRESSBUTTON, PSBTN_OK, 0);
           return true;
         }});
  alarms::CActionsPropertySheet sheet("Alarm Actions", nullptr, 0);
  sheet.SetEvent(&e);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_TRUE(wintest::Driven());
  EXPECT_TRUE(refusedZero);
  EXPECT_TRUE(refused61);
  EXPECT_TRUE(runNormal);
  for (const auto& shot : shots) EXPECT_TRUE(Drawn(shot));
  EXPECT_EQ(e.soundLength, -2);
  EXPECT_EQ(e.runWindowState, -2);  // shown as normal, which is the default
  EXPECT_EQ(profile_->GetInt(CProgramSettings::kSection, "ConfigExists", 0), 1);
}

TEST_F(ActionsSheet, UntilAcknowledgedShowsTenDisabledAndStoresMinusOne) {
  CCalEvent e;
  e.soundLength = -1;
  e.soundOn = 1;
  bool shownDisabled = false;
  Drive({[&] {
           HWND s = Sheet();
           if (!s) return false;
           HWND p = Page(s);
           shownDisabled = wintest::ItemText(p, IDC_AS_LENGTH) == "10" && !Enabled(p, IDC_AS_LENGTH) &&
                           Checked(p, IDC_AS_UNTIL_ACK);
           ::PostMessageA(s, PSM_PRESSBUTTON, PSBTN_OK, 0);
           return true;
         }});
  alarms::CActionsPropertySheet sheet("Alarm Actions", nullptr, 0);
  sheet.SetEvent(&e);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_TRUE(shownDisabled);
  EXPECT_EQ(e.soundLength, -1);
}

TEST_F(ActionsSheet, DefaultsModeTestSendsTagsAsTyped) {
  std::string port = actiontest::ReadAll(actiontest::WinPath(std::string(std::getenv("ALMACORA_SMTP_PEER_DIR")) + "/port"));
  g_Settings.EmailType = 1;
  g_Settings.EmailServer = "127.0.0.1";
  g_Settings.EmailPort = std::atoi(port.c_str());
  g_Settings.EmailFromAddr = "sheettest@example.com";
  std::string answer;
  Drive({[&] {
           HWND s = Sheet();
           if (!s) return false;
           Select(s, 1);
           HWND p = Page(s);
           ::SetDlgItemTextA(p, IDC_AE_TO, "bob@example.com");
           ::PostMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_AE_TEST, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(p, IDC_AE_TEST)));
           return true;
         },
         [&] {
           HWND box = wintest::FindDialog("Email Test");
           if (!box) return false;
           answer = BoxText(box);
           ::SendMessageA(box, WM_COMMAND, IDOK, 0);
           return true;
         },
         [&] {
           HWND s = Sheet();
           if (!s || wintest::FindDialog("Email Test")) return false;
           ::PostMessageA(s, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
           return true;
         }});
  alarms::CActionsPropertySheet sheet("Alarm Actions", nullptr, 0);
  sheet.soundPage.length = 5;
  sheet.emailPage.enabled = 1;
  sheet.emailPage.subject = "Alarm : <name>";
  sheet.emailPage.message = "Hi <notes>";
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(answer, "Email Sent");
  std::string msg = actiontest::ReadAll(actiontest::WinPath(std::string(std::getenv("ALMACORA_SMTP_PEER_DIR")) +
                                                          "/mail/sheettest@example.com.msg"));
  EXPECT_NE(msg.find("Subject: Alarm : <name>\r\n"), std::string::npos) << msg;
}

TEST_F(ActionsSheet, EmailOptionsMapiGreysSmtpAndPortIsChecked) {
  bool greyed = false, refused = false;
  wintest::Shot shot;
  Drive({[&] {
           HWND d = wintest::FindDialog("Email Options");
           if (!d) return false;
           ::SendDlgItemMessageA(d, IDC_EO_MAPI, BM_CLICK, 0, 0);
           greyed = !Enabled(d, IDC_EO_SERVER) && !Enabled(d, IDC_EO_PORT) && !Enabled(d, IDC_EO_USER) &&
                    Enabled(d, IDC_EO_PROFILE) && Enabled(d, IDC_EO_SHARED);
           shot = wintest::TakeShot(d, "email_options");
           ::SetDlgItemTextA(d, IDC_EO_PORT, "70000");
           Click(d, IDOK);
           return true;
         },
         [&] {
           HWND d = wintest::FindDialog("Email Options");
           HWND box = d ? wintest::PopupOf(d) : nullptr;
           if (!box) return false;
           refused = true;
           ::PostMessageA(box, WM_COMMAND, IDOK, 0);
           ::SetDlgItemTextA(d, IDC_EO_PORT, "2525");
           return true;
         },
         [&] {
           HWND d = wintest::FindDialog("Email Options");
           if (!d || wintest::PopupOf(d)) return false;
           Click(d, IDOK);
           return true;
         }});
  alarms::CEmailOptionsDialog dlg;
  dlg.CopyFrom(g_Settings);
  dlg.server = "mail.example.org";
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(greyed);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(Drawn(shot));
  dlg.CopyTo(g_Settings);
  EXPECT_EQ(g_Settings.EmailType, 0);
  EXPECT_EQ(g_Settings.EmailPort, 2525);
  EXPECT_EQ(g_Settings.EmailServer, "mail.example.org");
}

}  // namespace

// The Help button and F1 of the actions pages, Email Options and the Quick
// Timer each name their own topic.
TEST(AlarmWindowsHelp, EachWindowNamesItsTopic) {
  alarms::CActionsPropertySheet sheet("Alarm Actions", nullptr, 0);
  alarms::CEmailOptionsDialog options;
  alarms::CTimerDlg timer;
  const struct {
    const framework::CDialog* window;
    int context;
  } cases[] = {{&sheet.soundPage, 149}, {&sheet.emailPage, 150}, {&sheet.runPage, 151}, {&options, 154}, {&timer, 153}};
  for (const auto& c : cases) EXPECT_EQ(c.window->GetHelpContext(), c.context);
}
