// The Filtering dialog on a document holding a few types: the hidden types
// reach the profile at once as the start-up filter, the filter and the
// views follow, Cancel changes nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/options/filter_dlg.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "tests/dialogs/options/options_fixture.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/grid_shot.h"

using wintest::Click;
using wintest::Drive;

namespace {

// A click on a row's "Show" box, where a person would click it.
void ClickShow(options::CFilterGrid& grid, int row) {
  RECT r{};
  grid.GetCellRect(0, row, &r);
  HWND area = grid.GetPartWindow(CGridCore::kCellAreaId);
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);  // on the box, centred in its cell
  ::SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(area, WM_LBUTTONUP, 0, at);
}

}  // namespace

TEST_F(OptionsTest, FilterStoresTheHiddenTypesAtOnce) {
  struct Case {
    const char* name;
    std::vector<int> hide;  // rows clicked off: Holiday 0, Meeting 1, Work 2
    int button;             // Show None / Show All first, 0 none
    bool reapply;
    int end;
    const char* stored;
    int filterOn;
    int hints;
  };
  const Case cases[] = {
      {"two hidden", {0, 2}, 0, true, IDOK, "Holiday~Work", 1, 1},
      {"nothing hidden", {}, IDC_FILTER_SHOW_ALL, true, IDOK, "", 0, 1},
      {"show none", {}, IDC_FILTER_SHOW_NONE, false, IDOK, "", 1, 1},
      {"cancel", {1}, 0, true, IDCANCEL, "", 1, 0},
  };
  CAlmacoraDoc doc;
  for (const char* type : {"Work", "Meeting"}) {
    CCalEvent* e = new CCalEvent();
    e->type = type;
    doc.events().Append(e);
  }
  host.doc = &doc;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.hints.clear();
    std::vector<uint16_t> shownBefore = doc.typeFlags;
    wintest::Shot shot;
    RECT box{};
    options::CFilterDlg dlg;
    Drive({[&] {
      HWND h = wintest::FindDialog("Filtering");
      if (!h) return false;
      for (int row : c.hide) ClickShow(dlg.Grid(), row);
      if (c.button) ::SendMessageA(h, WM_COMMAND, static_cast<WPARAM>(c.button), 0);
      SetCheck(h, IDC_FILTER_REAPPLY, c.reapply);
      HELPINFO info{};
      info.cbSize = sizeof info;
      ::SendMessageA(h, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      if (&c == cases) {  // one picture is enough
        shot = wintest::TakeShot(h, "filter");
        box = wintest::CellInk(shot, h, dlg.Grid(), 0, 1);
      }
      Click(h, c.end);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), c.end);
    ASSERT_EQ(doc.typeNames, (std::vector<std::string>{"Holiday", "Meeting", "Work"}));
    EXPECT_EQ(StoredText("StartupFilter"), c.stored);
    EXPECT_EQ(doc.filterOn, c.filterOn);
    EXPECT_EQ(static_cast<int>(host.hints.size()), c.hints);
    if (c.hints) {
      EXPECT_EQ(host.hints[0], 3);
    }
    if (c.end == IDCANCEL) {
      EXPECT_EQ(doc.typeFlags, shownBefore);
    }
    EXPECT_EQ(g_helpTopics.back(), 35u);
    // The grid's white cells and the dialog around them.
    if (&c == cases) {
      int white = 0;
      for (COLORREF p : shot.pixels) white += p == RGB(255, 255, 255);
      EXPECT_GT(white, 1000);
      // A check box of the system's size, centred in its cell.
      EXPECT_GE(box.right - box.left, 13);
      EXPECT_GE(box.bottom - box.top, 13);
      EXPECT_NEAR((box.left + box.right) / 2, dlg.Grid().ColumnWidth(0) / 2, 2);
    }
    if (c.end == IDOK) {
      EXPECT_EQ(Restart()->StartupFilter, c.stored);
    }
  }
  EXPECT_EQ(doc.IsTypeHidden("Work"), 1);
  EXPECT_EQ(doc.IsTypeHidden("Meeting"), 1);
}
