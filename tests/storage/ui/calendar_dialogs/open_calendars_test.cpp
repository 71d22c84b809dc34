// The open-calendars chooser over a document with "Work" (the default),
// "Home" and a closed "Old": what it offers, what it selects and what OK
// gives back.
#include <windows.h>
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/ui/open_calendars_dlg.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;

namespace {

struct Seen {
  std::vector<std::string> entries;
  int selected = -2;
  bool okEnabled = false;
  std::string okText, prompt;
};

class OpenCalendars : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    storagetest::StartOn(&doc_, {NewCalendarFile("work.akv"), NewCalendarFile("home.akv"), NewCalendarFile("old.akv")});
    const char* names[] = {"Work", "Home", "Old"};
    for (size_t i = 0; i < 3; ++i) doc_.calendars().items()[i]->name = names[i];
    CCalendarFile* old = doc_.calendars().items()[2];
    old->Close(&doc_.events());
    old->openState = CCalendarFile::kClosed;
  }
  CCalendarFile* At(size_t i) { return doc_.calendars().items()[i]; }

  // Runs the chooser; `pick` is the entry clicked before OK (-1 keeps the
  // selection, -2 cancels).
  int Run(COpenCalendarsDlg& dlg, int pick, Seen* seen, const char* shot = nullptr) {
    Drive({[&] {
      HWND h = FindDialog("Current Open Calendars");
      if (!h) return false;
      HWND list = ::GetDlgItem(h, IDC_OPEN_CALENDARS_LIST);
      for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[128] = "";
        ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        seen->entries.push_back(text);
      }
      seen->selected = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
      seen->okEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDOK)) != FALSE;
      seen->okText = ItemText(h, IDOK);
      seen->prompt = ItemText(h, IDC_OPEN_CALENDARS_PROMPT);
      if (shot) {
        const wintest::Shot s = wintest::TakeShot(h, shot);
        RECT item, win;
        ::GetWindowRect(list, &item);
        ::GetWindowRect(h, &win);
        // The selected row is drawn in the highlight colour.
        const int rowHeight = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        highlight_ = s.At(item.right - win.left - 12, item.top - win.top + 2 + rowHeight * seen->selected + rowHeight / 2);
      }
      if (pick >= 0) ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(pick), 0);
      Click(h, pick == -2 ? IDCANCEL : IDOK);
      return true;
    }});
    return dlg.DoModal();
  }

  CAlmacoraDoc doc_;
  COLORREF highlight_ = 0;
};

TEST_F(OpenCalendars, OffersTheOpenCalendarsWithTheDefaultSelected) {
  COpenCalendarsDlg dlg(doc_.calendars());
  dlg.offerAll = true;
  dlg.okCaption = "Close File";
  dlg.prompt = "Select which event file to close.";
  Seen seen;
  EXPECT_EQ(Run(dlg, -1, &seen, "open-calendars"), IDOK);
  EXPECT_EQ(seen.entries, (std::vector<std::string>{"All Calendars", "Work", "Home"}));
  EXPECT_EQ(seen.selected, 1);
  EXPECT_EQ(seen.okText, "Close File");
  EXPECT_EQ(seen.prompt, "Select which event file to close.");
  EXPECT_EQ(dlg.chosen, At(0));
  EXPECT_EQ(highlight_, ::GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(OpenCalendars, PicksAndSelections) {
  const struct {
    bool offerAll;
    int initialId;   // 0: the closed "Old"
    int pick;        // -1 keeps, -2 cancels
    int selected;
    int chosen;      // index into the list, -1 null
    int result;
  } cases[] = {
      {true, -1, 0, 1, -1, IDOK},      // "All Calendars" gives null
      {false, -1, 1, 0, 1, IDOK},      // Home picked
      {false, 0, -1, 0, 0, IDOK},      // an initial calendar not offered: the first
      {false, -1, -2, 0, -1, IDCANCEL},
  };
  for (const auto& c : cases) {
    COpenCalendarsDlg dlg(doc_.calendars());
    dlg.offerAll = c.offerAll;
    dlg.initialId = c.initialId == 0 ? At(2)->listId : c.initialId;
    Seen seen;
    EXPECT_EQ(Run(dlg, c.pick, &seen), c.result);
    EXPECT_EQ(seen.selected, c.selected);
    EXPECT_EQ(seen.okText, "OK");
    EXPECT_EQ(dlg.chosen, c.chosen < 0 ? nullptr : At(static_cast<size_t>(c.chosen)));
  }
}

TEST_F(OpenCalendars, ADefaultClosedSelectsTheFirstNoneOpenDisablesOk) {
  At(0)->Close(&doc_.events());
  At(0)->openState = CCalendarFile::kClosed;
  {
    COpenCalendarsDlg dlg(doc_.calendars());
    Seen seen;
    EXPECT_EQ(Run(dlg, -1, &seen), IDOK);
    EXPECT_EQ(seen.entries, std::vector<std::string>{"Home"});
    EXPECT_EQ(dlg.chosen, At(1));
  }
  At(1)->Close(&doc_.events());
  At(1)->openState = CCalendarFile::kClosed;
  COpenCalendarsDlg dlg(doc_.calendars());
  Seen seen;
  EXPECT_EQ(Run(dlg, -2, &seen), IDCANCEL);
  EXPECT_TRUE(seen.entries.empty());
  EXPECT_FALSE(seen.okEnabled);
}

}  // namespace
