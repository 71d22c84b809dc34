// The date and time pickers as a person uses them: the time list under a
// field, its cells by clock, choosing a time, opening above the field near
// the screen bottom; the date picker's widened short-date pattern.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/event/date_time_picker.h"
#include "dialogs/event/time_picker_edit.h"
#include "model/dates/date_time.h"
#include "tests/support/win/window_shot.h"

namespace {

std::vector<std::pair<UINT_PTR, int>> g_notes;

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NOTIFY) {
    const NMHDR* n = reinterpret_cast<const NMHDR*>(l);
    g_notes.emplace_back(n->idFrom, static_cast<int>(n->code));
    return 0;
  }
  return ::DefWindowProcA(h, m, w, l);
}

HWND MakeParent(int y) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "PickerTestParent";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, "PickerTestParent", "Pickers", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40, y, 300, 120,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

CDateTime At(int h, int m, int s = 0) {
  CDateTime v(5, 3, 2005);
  v.SetTime(h, m, s);
  return v;
}

TEST(DatePicker, ShortDatePatternGetsFourDigitYear) {
  EXPECT_EQ(dialogs::CDateTimePicker::WidenShortDatePattern("M/d/yy"), "M/d/yyyy");
  EXPECT_EQ(dialogs::CDateTimePicker::WidenShortDatePattern("dd.MM.yyyy"), "dd.MM.yyyy");
}

// The time fields read as the user's time format says, without seconds:
// the field draws 8:00 as a picker given that format does.
TEST(TimePicker, FollowsTheUsersTimeFormat) {
  const char* const cases[][2] = {{"HH:mm:ss", "HH':'mm"}, {"h:mm:ss tt", "h':'mm' 'tt"},
                                  {"H.mm' Uhr'", "H'.'mm' Uhr'"}, {"", "HH':'mm"}};
  for (const auto& c : cases) EXPECT_EQ(dialogs::CDateTimePicker::TimeFormat(c[0]), c[1]) << c[0];
  HWND parent = MakeParent(200);
  dialogs::CTimePickerEdit field;
  ASSERT_TRUE(field.CreateField(parent, RECT{10, 10, 130, 34}, 40032));
  field.SetTime(At(8, 0));
  char pattern[80] = "";
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, pattern, sizeof pattern);
  RECT mine{}, theirs{}, frame{};
  ::GetWindowRect(field.Picker().GetSafeHwnd(), &mine);
  dialogs::CDateTimePicker reference;  // the same picker, below, told the format
  ASSERT_TRUE(reference.CreateTimePicker(parent, RECT{10, 50, 10 + mine.right - mine.left, 74}, 40033));
  reference.SendMsg(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(dialogs::CDateTimePicker::TimeFormat(pattern).c_str()));
  reference.SetTime(At(8, 0));
  const wintest::Shot shot = wintest::TakeShot(parent, "time_field_user_format");
  ::GetWindowRect(reference.GetSafeHwnd(), &theirs);
  ::GetWindowRect(parent, &frame);
  int differ = 0, ink = 0;
  for (int y = 2; y < mine.bottom - mine.top - 2; ++y)
    for (int x = 2; x < mine.right - mine.left - 2; ++x) {
      const COLORREF p = shot.At(mine.left - frame.left + x, mine.top - frame.top + y);
      differ += p != shot.At(theirs.left - frame.left + x, theirs.top - frame.top + y);
      ink += GetRValue(p) < 0x60;
    }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(differ, 0);
  ::DestroyWindow(parent);
}

TEST(TimePicker, ListByClockAndChoosing) {
  struct Case {
    int use24;
    int rows;
    const char* firstCell;
  } cases[] = {{0, 13, "12:00"}, {1, 12, "0:00"}};
  HWND parent = MakeParent(60);
  for (const Case& c : cases) {
    SetLocale24HourOverride(c.use24);
    dialogs::CTimePickerEdit field;
    RECT r{10, 10, 130, 34};
    ASSERT_TRUE(field.CreateField(parent, r, 40031));
    field.SetTime(At(10, 30));
    field.DropDown();
    dialogs::CTimePickerList& list = field.List();
    ASSERT_TRUE(list.IsWindow());
    EXPECT_EQ(list.RowCount(), c.rows);
    EXPECT_EQ(dialogs::CTimePickerList::CellText(0, 0, c.use24 == 0), c.firstCell);
    int col = -1, row = -1;
    ASSERT_TRUE(dialogs::CTimePickerList::CellOfTime(At(10, 30), &col, &row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 9);
    EXPECT_FALSE(dialogs::CTimePickerList::CellOfTime(At(10, 15), &col, &row));
    if (c.use24 == 0) {
      wintest::Shot shot = wintest::TakeShot(list.GetSafeHwnd(), "time_list_12h");
      RECT cell = list.CellRect(1, 9);
      EXPECT_EQ(shot.At(cell.left + 4, (cell.top + cell.bottom) / 2 + 1), ::GetSysColor(COLOR_HIGHLIGHT));
    }
    // Choose 18:30 (column 3, row 1).
    g_notes.clear();
    RECT cell = list.CellRect(3, 1);
    ::SendMessageA(list.GetSafeHwnd(), WM_LBUTTONUP, 0,
                   MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    CDateTime chosen = At(0, 0);
    field.GetTime(chosen);
    EXPECT_EQ(chosen.GetSecondsOfDay(), 18 * 3600 + 30 * 60);
    EXPECT_FALSE(::IsWindowVisible(list.GetSafeHwnd()));
    ASSERT_FALSE(g_notes.empty());
    EXPECT_EQ(g_notes.back().first, 40031u);
    EXPECT_EQ(g_notes.back().second, -759);
    field.DestroyWindow();
  }
  SetLocale24HourOverride(-1);
  ::DestroyWindow(parent);
}

TEST(TimePicker, OpensAboveNearTheScreenBottom) {
  const int screen = ::GetSystemMetrics(SM_CYSCREEN);
  HWND owner = MakeParent(60);
  dialogs::CTimePickerList list;
  RECT low{100, screen - 40, 200, screen - 20};
  list.ShowAt(low, owner, At(9, 0));
  RECT w{};
  ::GetWindowRect(list.GetSafeHwnd(), &w);
  EXPECT_EQ(w.bottom, low.top);
  RECT high{100, 100, 200, 120};
  list.ShowAt(high, owner, At(9, 0));
  ::GetWindowRect(list.GetSafeHwnd(), &w);
  EXPECT_EQ(w.top, high.bottom);
  list.DestroyWindow();
  ::DestroyWindow(owner);
}

}  // namespace
