// The calendar entries editor over a real document: the calendar shown
// first, ticks taken from the grid on OK, Cancel saving nothing, and the
// grid as drawn.
#include <windows.h>

#include <commctrl.h>

#include "dialogs/small/cal_edit_dlg.h"
#include "grid/cell/grid_cell.h"
#include "res/resource.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;

namespace storagetest {
namespace {

class CalEditDlgTest : public StorageTest {
 protected:
  std::string Calendar(const std::string& name, const std::vector<std::string>& eventNames) {
    CCalendarFile file;
    EXPECT_EQ(1, file.CreateFile(Path(name)));
    CEventArray array;
    for (const std::string& n : eventNames) EXPECT_EQ(1, file.AddEvent(NewEvent(n), 0, &array));
    return file.path;
  }
  // Unticks the row's box as a click on it does, and tells the dialog.
  static void Untick(dialogs::CCalEdit& dlg, HWND h, int row) {
    CGridCell cell;
    dlg.grid().GetCell(0, row, &cell);
    cell.SetNumber(0);
    dlg.grid().SetCell(0, row, cell);
    ::SendMessageA(h, shellcontrols::WM_GRIDCHECKCHANGED, static_cast<WPARAM>(-1), row);
  }
  int Disabled(CAlmacoraDoc& doc, const std::string& name) {
    for (CCalEvent* e : doc.events().items())
      if (e->name == name) return e->disabled;
    return -1;
  }
};

TEST_F(CalEditDlgTest, InitialCalendarTicksOnOkAndCancel) {
  const std::string work = Calendar("work.akv", {"w1"});
  const std::string home = Calendar("home.akv", {"delta", "alpha", "charlie", "bravo"});
  CAlmacoraDoc doc;
  StartOn(&doc, {work, home});
  const int homeId = doc.calendars().FindByPath(home)->listId;

  // Cancel after unticking: nothing saved. From the main window (-1): the
  // first calendar.
  {
    dialogs::CCalEdit dlg(&doc);
    std::string shown;
    Drive({[&] {
      HWND h = FindDialog("Edit Calendar Entries");
      if (!h) return false;
      shown = wintest::ItemText(h, IDC_CALEDIT_CALENDAR);
      Untick(dlg, h, 0);
      Click(h, IDCANCEL);
      return true;
    }});
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("work", shown);
    EXPECT_EQ(0, Disabled(doc, "w1"));
  }

  dialogs::CCalEdit dlg(&doc);
  dlg.initialCalendarId = homeId;
  std::string shown;
  wintest::Shot shot;
  bool editGrey = false;
  Drive({[&] {
    HWND h = FindDialog("Edit Calendar Entries");
    if (!h) return false;
    shown = wintest::ItemText(h, IDC_CALEDIT_CALENDAR);
    editGrey = !::IsWindowEnabled(::GetDlgItem(h, IDC_CALEDIT_EDIT_EVENT));
    Untick(dlg, h, 1);  // bravo (rows sorted by name)
    Untick(dlg, h, 3);  // delta
    shot = wintest::TakeShot(h, "cal_entries");
    Click(h, IDOK);
    return true;
  }});
  shell.hints.clear();
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ("home", shown);
  EXPECT_TRUE(editGrey);
  EXPECT_EQ(1, Disabled(doc, "bravo"));
  EXPECT_EQ(1, Disabled(doc, "delta"));
  EXPECT_EQ(0, Disabled(doc, "alpha"));
  EXPECT_EQ(0, Disabled(doc, "charlie"));
  EXPECT_EQ((std::vector<int>{3}), shell.hints);
  // The grid's cells are white inside the dialog.
  ASSERT_GT(shot.width, 100);
  int white = 0;
  for (COLORREF c : shot.pixels) white += c == RGB(255, 255, 255);
  EXPECT_GT(white, shot.width * 20);
}

}  // namespace
}  // namespace storagetest
