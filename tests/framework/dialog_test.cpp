// Dialogs on the framework's modal loop: thread timers keep ticking, any
// end code comes back, a failed exchange keeps the dialog open; property
// sheets apply made pages in order; point fonts.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "dialog_template_fixture.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/dialog.h"
#include "framework/dialogs/message_box.h"
#include "framework/dialogs/property_sheet.h"
#include "framework/gdi/gdi.h"

using frameworktest::DialogTemplate;

namespace {

constexpr WORD kEdit = 100;

class YearDialog : public framework::CDialog {
 public:
  explicit YearDialog(const DLGTEMPLATE* t) : CDialog(t) {}
  int year = 2000;

 protected:
  void DoDataExchange(framework::CDataExchange& dx) override {
    framework::ExchangeText(dx, kEdit, year);
    framework::ValidateRange(dx, year, 1753, 9999);
  }
};

DialogTemplate YearTemplate(const char* caption) {
  DialogTemplate t(caption, 160, 60);
  t.Add(kEdit, 0x0081, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 8, 80, 12);
  t.Add(IDOK, 0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 8, 50, 14, "OK");
  return t;
}

// The timer procedures below drive the dialog under test.
YearDialog* g_dialog = nullptr;
int g_ticks = 0;
int g_endCode = 0;
std::vector<std::string> g_steps;
int g_activationTicks = 0;

void CALLBACK EndAfterTicks(HWND, UINT, UINT_PTR id, DWORD) {
  if (++g_ticks == 5) {
    ::KillTimer(nullptr, id);
    g_dialog->EndDialog(g_endCode);
  }
}

void CALLBACK EnterYears(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = g_dialog->GetSafeHwnd();
  HWND box = ::FindWindowA("#32770", "Almacora");
  if (box && ::IsWindowVisible(box)) {
    char text[128] = "";
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    g_steps.push_back(std::string("box:") + text);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return;
  }
  if (!dlg || !::IsWindowVisible(dlg)) return;
  if (g_steps.empty()) {
    ::SetDlgItemTextA(dlg, kEdit, "1200");
    g_steps.push_back("1200");
    ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  } else if (g_steps.size() == 2) {
    // The box's end hands the activation back to the dialog through the X
    // server, which under load can take longer than a tick: read the focus
    // once the dialog is active again (or after about five seconds).
    if (::GetActiveWindow() != dlg && ++g_activationTicks < 100) return;
    g_steps.push_back(::GetFocus() == ::GetDlgItem(dlg, kEdit) ? "focus:edit" : "focus:other");
    ::SetDlgItemTextA(dlg, kEdit, "2005");
    ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    ::KillTimer(nullptr, id);
  }
}

}  // namespace

TEST(Dialog, ThreadTimersTickInTheModalLoopAndAnyCodeComesBack) {
  DialogTemplate t = YearTemplate("Ticks");
  for (int code : {1000, 40050}) {
    YearDialog dlg(t.Get());
    g_dialog = &dlg;
    g_ticks = 0;
    g_endCode = code;
    ::SetTimer(nullptr, 0, 20, &EndAfterTicks);
    EXPECT_EQ(dlg.DoModal(), code);
    EXPECT_EQ(g_ticks, 5);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
  }
}

TEST(Dialog, OutOfRangeEntryKeepsTheDialogAndSelectsTheControl) {
  framework::SetMessageBoxTitle("Almacora");
  DialogTemplate t = YearTemplate("Year");
  YearDialog dlg(t.Get());
  g_dialog = &dlg;
  g_steps.clear();
  g_activationTicks = 0;
  ::SetTimer(nullptr, 0, 50, &EnterYears);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(g_steps, (std::vector<std::string>{"1200", "box:Please enter an integer between 1753 and 9999.",
                                                "focus:edit"}));
  EXPECT_EQ(dlg.year, 2005);
}

namespace {

std::vector<std::string> g_pageLog;

class LoggingPage : public framework::CPropertyPage {
 public:
  LoggingPage(const DLGTEMPLATE* t, std::string name) : CPropertyPage(t, name), name_(std::move(name)) {}
  int refuseKills = 0;
  BOOL OnKillActive() override {
    g_pageLog.push_back("kill:" + name_);
    if (refuseKills > 0) {
      --refuseKills;
      return FALSE;
    }
    return TRUE;
  }
  void OnOK() override { g_pageLog.push_back("ok:" + name_); }
  bool made() const { return GetSafeHwnd() != nullptr; }

 private:
  std::string name_;
};

int g_sheetStep = 0;

void CALLBACK DriveSheet(HWND, UINT, UINT_PTR id, DWORD) {
  HWND sheet = ::FindWindowA("#32770", "Sheet");
  if (!sheet || !::IsWindowVisible(sheet)) return;
  switch (g_sheetStep++) {
    case 0:
      ::SendMessageA(sheet, PSM_SETCURSEL, 2, 0);  // show the third page
      break;
    case 1:
    case 2:
      ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);  // refused once, then taken
      break;
    default:
      ::KillTimer(nullptr, id);
      break;
  }
}

}  // namespace

TEST(PropertySheet, OkAsksTheActivePageThenAppliesMadePagesInOrder) {
  DialogTemplate t("", 150, 60, DS_CONTROL | WS_CHILD | WS_CAPTION);
  t.Add(kEdit, 0x0081, WS_BORDER, 8, 8, 80, 12);
  LoggingPage a(t.Get(), "a"), b(t.Get(), "b"), c(t.Get(), "c"), d(t.Get(), "d");
  c.refuseKills = 1;
  framework::CPropertySheet sheet("Sheet");
  for (LoggingPage* p : {&a, &b, &c, &d}) sheet.AddPage(p);
  g_pageLog.clear();
  g_sheetStep = 0;
  ::SetTimer(nullptr, 0, 100, &DriveSheet);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  // Switching pages asks the first page; OK asks the active one; the page
  // that never showed is left alone.
  EXPECT_EQ(g_pageLog, (std::vector<std::string>{"kill:a", "kill:c", "kill:c", "ok:a", "ok:c"}));
}

TEST(PointFont, HeightFromTenthsAndResolution) {
  struct Case {
    int tenths, dpi, height;
  } cases[] = {{80, 96, -11}, {100, 96, -13}, {80, 120, -13}, {120, 72, -12}, {0, 96, 0}};
  for (const Case& c : cases) EXPECT_EQ(framework::PointFontHeight(c.tenths, c.dpi), c.height) << c.tenths;
}
