// The new-event wizard run as a person would: pages walked with Back and
// Next, a refused date, Finish; what reached the document and the
// settings, and that Cancel leaves both alone.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/wizard/event_wizard.h"
#include "model/recurrence/recurrence_rule.h"
#include "res/resource.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;

namespace storagetest {
namespace {

constexpr int kBack = 12323, kNext = 12324, kFinish = 12325;

HWND Page(HWND sheet) { return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
int PageId(HWND sheet) {
  return static_cast<int>(::SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(Page(sheet)), 0));
}
bool Enabled(HWND sheet, int id) {
  HWND b = ::GetDlgItem(sheet, id);
  return b && ::IsWindowVisible(b) && ::IsWindowEnabled(b);
}
void Press(HWND sheet, int button) { ::PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }
void SetText(HWND page, int id, const char* text) { ::SetDlgItemTextA(page, id, text); }
void Choose(HWND page, int id, int index) { ::SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

using WizardTest = StorageTest;

TEST_F(WizardTest, AnniversaryWalkRefusedDatesAndFinish) {
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("home.akv")});
  g_Settings.TypeBirthday = "Birthday";
  g_Settings.TypeAnniversary = "Anniversary";
  dialogs::CEventWizard wizard(&doc);
  HWND sheet = nullptr;
  std::vector<std::string> boxes;
  std::string keptName, datePage;
  bool page1Buttons = false, page2Buttons = false, page3Buttons = false;
  wintest::Shot dateShot, alarmShot;
  auto answerBox = [&] {
    HWND box = wintest::PopupOf(sheet);
    if (!box) return false;
    char caption[64] = "";
    ::GetWindowTextA(box, caption, sizeof caption);
    boxes.push_back(std::string(caption) + "|" + ItemText(box, 0xFFFF));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  };
  Drive({[&] {
           sheet = FindDialog("Event Wizard");
           if (!sheet || !Page(sheet)) return false;
           page1Buttons = Enabled(sheet, kNext) && !Enabled(sheet, kBack) && !Enabled(sheet, kFinish);
           ::SendDlgItemMessageA(Page(sheet), IDC_WIZ_KIND_LIST, LB_SETCURSEL, 1, 0);
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         [&] {
           if (PageId(sheet) != 1) return false;
           page2Buttons = Enabled(sheet, kBack) && Enabled(sheet, kNext) && !Enabled(sheet, kFinish);
           HWND page = Page(sheet);
           datePage = ItemText(page, IDC_WIZ_DATE_GROUP) + "|" + ItemText(page, IDC_WIZ_TYPE);
           SetText(page, IDC_WIZ_NAME, "Pat and Sam");
           SetText(page, IDC_WIZ_TYPE, "Jubilee");
           Choose(page, IDC_WIZ_MONTH, 3);
           Choose(page, IDC_WIZ_DAY, 30);  // 31 April
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         answerBox,
         [&] {
           if (PageId(sheet) != 1) return false;
           HWND page = Page(sheet);
           Choose(page, IDC_WIZ_DAY, 3);
           SetText(page, IDC_WIZ_YEAR, "123456");
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         answerBox,
         [&] {
           if (PageId(sheet) != 1) return false;
           SetText(Page(sheet), IDC_WIZ_YEAR, "1990");
           dateShot = wintest::TakeShot(sheet, "wizard_date");
           Press(sheet, PSBTN_BACK);
           return true;
         },
         [&] {
           if (PageId(sheet) != 0) return false;
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         [&] {
           if (PageId(sheet) != 1) return false;
           keptName = ItemText(Page(sheet), IDC_WIZ_NAME);
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         [&] {
           if (PageId(sheet) != 2) return false;
           page3Buttons = Enabled(sheet, kBack) && Enabled(sheet, kFinish) && !Enabled(sheet, kNext);
           HWND page = Page(sheet);
           ::CheckDlgButton(page, IDC_WIZ_ALARM_ON, BST_CHECKED);
           wintest::Click(page, IDC_WIZ_ALARM_ON);
           SetText(page, IDC_WIZ_LEAD, "2");
           ::SendDlgItemMessageA(page, IDC_WIZ_UNITS, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>("Weeks"));
           SetText(page, IDC_WIZ_DAYS_PRIOR, "20");
           alarmShot = wintest::TakeShot(sheet, "wizard_alarm");
           Press(sheet, PSBTN_FINISH);
           return true;
         }});
  EXPECT_EQ(IDOK, wizard.DoModal());
  EXPECT_TRUE(wintest::Driven());
  EXPECT_TRUE(page1Buttons);
  EXPECT_TRUE(page2Buttons);
  EXPECT_TRUE(page3Buttons);
  EXPECT_EQ("Anniversary Date|Anniversary", datePage);
  const std::string refused = "Almacora|Invalid date specified.\n\nPlease enter a valid date.";
  EXPECT_EQ((std::vector<std::string>{refused, refused}), boxes);
  EXPECT_EQ("Pat and Sam", keptName);
  ASSERT_EQ(1u, doc.events().size());
  const CCalEvent* e = doc.events().at(0);
  EXPECT_EQ("Pat and Sam", e->name);
  EXPECT_EQ("Jubilee", e->type);
  EXPECT_EQ(4, e->start.GetDay());
  EXPECT_EQ(4, e->start.GetMonth());
  EXPECT_EQ(1990, e->start.GetYear());
  EXPECT_EQ(1, e->calculateAge);
  EXPECT_EQ(2, e->leadTime.weeks);
  EXPECT_EQ(20, e->daysPrior);
  EXPECT_EQ("Jubilee", profile_.GetString(CProgramSettings::kSection, "TypeAnniversary", ""));
  EXPECT_EQ("Birthday", profile_.GetString(CProgramSettings::kSection, "TypeBirthday", ""));
  EXPECT_EQ("Weeks", profile_.GetString(CProgramSettings::kSection, "BirthdayLeadUnits", ""));
  // The pages were drawn: the sheet's face is not one colour.
  ASSERT_GT(dateShot.width, 20);
  EXPECT_NE(dateShot.At(5, dateShot.height / 2), RGB(0, 0, 0));
  ASSERT_GT(alarmShot.width, 20);
}

TEST_F(WizardTest, CancelAddsNothingAndSavesNothing) {
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("home.akv")});
  profile_.Clear();
  dialogs::CEventWizard wizard(&doc);
  HWND sheet = nullptr;
  Drive({[&] {
           sheet = FindDialog("Event Wizard");
           if (!sheet || !Page(sheet)) return false;
           Press(sheet, PSBTN_NEXT);
           return true;
         },
         [&] {
           if (PageId(sheet) != 1) return false;
           SetText(Page(sheet), IDC_WIZ_NAME, "Nobody");
           Press(sheet, PSBTN_CANCEL);
           return true;
         }});
  EXPECT_EQ(IDCANCEL, wizard.DoModal());
  EXPECT_EQ(0u, doc.events().size());
  EXPECT_EQ("", profile_.GetString(CProgramSettings::kSection, "TypeBirthday", ""));
}

}  // namespace
}  // namespace storagetest
