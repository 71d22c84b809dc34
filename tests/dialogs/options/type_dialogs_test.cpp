// The Event Types page and the type colours dialog: the default type
// survives an unsorted store, a pending edit is offered on leaving, the
// limit of 99, and only coloured new types are added.
#include <windows.h>

#include <prsht.h>

#include <map>
#include <string>
#include <vector>

#include "dialogs/options/options_sheet.h"
#include "dialogs/options/type_colors_dlg.h"
#include "res/resource.h"
#include "tests/dialogs/options/options_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using V = std::vector<std::string>;

namespace {

bool Holds(const wintest::Shot& shot, COLORREF color) {
  for (COLORREF p : shot.pixels)
    if (p == color) return true;
  return false;
}

}  // namespace

TEST_F(OptionsTest, TypesPageKeepsTheDefaultAndOffersAPendingEdit) {
  g_Settings.EventTypeNames = {"Work", "Meeting", "Alarm"};
  g_Settings.EventTypeColors = {0x00C000, 0x0080FF, 0x000080};
  g_Settings.DefaultType = 0;
  g_Settings.BlankTypeColor = 0x123456;
  std::string defaultShown, question, afterModify;
  wintest::Shot shot;
  Drive({[&] {
           HWND sheet = OptionsSheet();
           if (!sheet) return false;
           HWND p = CurrentPage(sheet);
           defaultShown = wintest::ItemText(p, IDC_TYPES_DEFAULT);
           shot = wintest::TakeShot(sheet, "options_types_colored");
           // Row 1 ("Meeting") renamed in the edit but not applied.
           auto* page = static_cast<options::COptionsType*>(framework::CWindow::FromHandle(p));
           page->Grid().SelectRow(1);
           SetText(p, IDC_TYPES_NAME, "Briefing");  // EN_CHANGE enables Modify
           ::PostMessageA(sheet, PSM_SETCURSEL, 5, 0);
           return true;
         },
         [&] {
           std::string caption;
           question = AnswerBox(OptionsSheet(), IDYES, &caption);
           return !question.empty();
         },
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           Click(sheet, IDOK);
           return true;
         }});
  options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kTypesPage);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(defaultShown, "Work");
  EXPECT_TRUE(Holds(shot, 0x00C000));  // "Work" drawn in its colour
  EXPECT_EQ(question,
            "You have made changes to the current Event Type\nbut have not applied those changes.\n\nApply changes now?");
  auto next = Restart();
  EXPECT_EQ(next->EventTypeNames, (V{"Alarm", "Briefing", "Work"}));
  EXPECT_EQ(next->EventTypeColors[2], 0x00C000u);
  EXPECT_EQ(next->DefaultType, 2);
  EXPECT_EQ(StoredText("EventTypes01"), "Alarm");
  EXPECT_EQ(StoredInt("NumTypes"), 3);
  EXPECT_EQ(StoredInt("BlankTypeColor"), 0x123456);
  EXPECT_EQ(host.hints, (std::vector<int>{11}));
}

TEST_F(OptionsTest, TypesPageRefusesTheHundredthType) {
  g_Settings.EventTypeNames.clear();
  g_Settings.EventTypeColors.clear();
  for (int i = 0; i < 99; ++i) g_Settings.EventTypeNames.push_back("T" + std::to_string(100 + i));
  std::string box;
  int rows = 0;
  Drive({[&] {
           HWND sheet = OptionsSheet();
           if (!sheet) return false;
           HWND p = CurrentPage(sheet);
           SetText(p, IDC_TYPES_NAME, "One more");
           Click(p, IDC_TYPES_ADD);
           return true;
         },
         [&] {
           std::string caption;
           box = AnswerBox(OptionsSheet(), IDOK, &caption);
           if (box.empty()) return false;
           box += "|" + caption;
           return true;
         },
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           auto* page = static_cast<options::COptionsType*>(framework::CWindow::FromHandle(CurrentPage(sheet)));
           rows = page->Grid().GetRowCount();
           Click(sheet, IDCANCEL);
           return true;
         }});
  options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kTypesPage);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(box, "Cannot Add More Than 99 Event Types!|Almacora");
  EXPECT_EQ(rows, 99);
}

TEST_F(OptionsTest, TypeColorsAddOnlyColouredNewTypes) {
  // Nothing new: the dialog ends by itself.
  const std::map<std::string, std::string> none = {{"Work", "EXIST"}};
  options::CTypeColorsDlg quiet;
  quiet.typeMarks = &none;
  EXPECT_EQ(quiet.DoModal(), IDOK);

  const std::map<std::string, std::string> marks = {{"Sport", "NEW"}, {"Exam", "NEW"}, {"Work", "EXIST"}};
  struct Case {
    size_t stored;
    int colored;
    size_t after;
    bool refused;
  };
  const Case cases[] = {{6, 1, 7, false}, {98, 2, 98, true}};
  for (const Case& c : cases) {
    g_Settings.EventTypeNames.resize(c.stored, "T");
    g_Settings.EventTypeColors.resize(c.stored, 0);
    host.colors = {0x00FF00, 0x0000FF};
    std::string box;
    wintest::Shot shot;
    options::CTypeColorsDlg dlg;
    dlg.typeMarks = &marks;
    Drive({[&] {
             HWND h = wintest::FindDialog("Event Type Colors");
             if (!h) return false;
             dlg.Grid().SelectRow(1);  // "Sport"
             Click(h, IDC_TYPES_COLOR);
             return true;
           },
           [&] {
             HWND h = wintest::FindDialog("Event Type Colors");
             if (c.colored == 2) {
               dlg.Grid().SelectRow(0);
               Click(h, IDC_TYPES_COLOR);
             }
             return true;
           },
           [&] {
             HWND h = wintest::FindDialog("Event Type Colors");
             if (!c.refused) shot = wintest::TakeShot(h, "type_colors");
             Click(h, IDOK);
             return true;
           },
           [&] {
             if (!c.refused) return true;
             box = AnswerBox(wintest::FindDialog("Event Type Colors"));
             return !box.empty();
           }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(c.refused || Holds(shot, 0x00FF00));  // "Sport" and the colour button in green
    EXPECT_EQ(g_Settings.EventTypeNames.size(), c.after);
    EXPECT_EQ(box, c.refused ? "Cannot Add More Than 99 Event Types!" : "");
    if (!c.refused) {
      EXPECT_EQ(g_Settings.EventTypeNames.back(), "Sport");
      EXPECT_EQ(g_Settings.EventTypeColors.back(), 0x00FF00u);
    }
  }
}
