// In-place editing, the grid in a dialog, find and the drop list, driven
// by keys and clicks on the real windows.
#include <gtest/gtest.h>

#include <vector>

#include "tests/grid/input_fixture.h"

#include <commdlg.h>

namespace {

struct EditFixture : ::testing::Test {
  // One shown host for the suite: showing a window costs Wine seconds.
  static TestHost* shared;
  static void SetUpTestSuite() { shared = new TestHost(400, 300, true); }
  static void TearDownTestSuite() { delete shared; }
  TestHost& host = *shared;
  InputGrid grid;
  HWND area = nullptr;
  void SetUp() override {
    ASSERT_TRUE(CreateHostedGrid(grid, host, 400, 300));
    grid.SetColumnCount(3);
    grid.SetRowCount(12);
    area = grid.GetPartWindow(CGridCore::kCellAreaId);
    ::SetForegroundWindow(host.hwnd());
    ::SetFocus(area);
  }
  HWND Editor() { return grid.GetEditorWindow(); }
  std::string Text(int col, int row) {
    CGridCell cell;
    grid.GetCell(col, row, &cell);
    return cell.GetTextPtr() ? cell.GetTextPtr() : "";
  }
  void Key(HWND hwnd, UINT key) {
    ::SendMessageA(hwnd, WM_KEYDOWN, key, 0);
    PumpMessages();
  }
  HWND List() { return ::GetDlgItem(area, CGridCore::kEditorId) == Editor() ? nullptr : ::GetDlgItem(area, 123); }
};
TestHost* EditFixture::shared = nullptr;

}  // namespace

TEST_F(EditFixture, TabEnterAndEscapeEndEditsAsAPersonExpects) {
  const struct {
    int col, row;
    UINT key;
    bool editing;
    int nextCol, nextRow;
  } cases[] = {
      {2, 1, VK_TAB, true, 0, 1},      // last column wraps to column 0
      {1, 11, VK_RETURN, true, 1, 0},  // last row wraps to row 0
      {0, 4, VK_ESCAPE, false, 0, 4},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(grid.BeginEdit(c.col, c.row, 0), 0);
    ::SetWindowTextA(Editor(), "typed");
    Key(Editor(), c.key);
    EXPECT_EQ(grid.IsEditing(), c.editing);
    if (c.editing) {
      EXPECT_EQ(grid.GetEditColumn(), c.nextCol);
      EXPECT_EQ(grid.GetEditRow(), c.nextRow);
      EXPECT_EQ(::GetFocus(), Editor());
      EXPECT_EQ(Text(c.col, c.row), "typed");
      grid.HideEditor();
    } else {
      EXPECT_EQ(Text(c.col, c.row), "");
    }
  }
}

TEST_F(EditFixture, EditorGrowsToItsTextCellByCell) {
  ASSERT_EQ(grid.BeginEdit(0, 3, 0), 0);
  RECT before, after, cell;
  ::GetWindowRect(Editor(), &before);
  ::SetWindowTextA(Editor(), "a rather long line of typed text here");
  ::SendMessageA(area, WM_COMMAND, MAKEWPARAM(CGridCore::kEditorId, EN_UPDATE), reinterpret_cast<LPARAM>(Editor()));
  ::GetWindowRect(Editor(), &after);
  ::MapWindowPoints(nullptr, area, reinterpret_cast<POINT*>(&after), 2);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  grid.GetCellRect(1, 3, &cell);
  EXPECT_GE(after.right, cell.right);   // a whole neighbouring cell at least
  grid.HideEditor();
}

TEST_F(EditFixture, RefusedEndKeepsTheEditorAndRefusedKeysStayOut) {
  grid.editEndAnswer = 0;
  ASSERT_EQ(grid.BeginEdit(1, 2, 0), 0);
  Key(Editor(), VK_RETURN);
  EXPECT_TRUE(grid.IsEditing());
  EXPECT_TRUE(::IsWindowVisible(Editor()));
  EXPECT_EQ(::GetFocus(), Editor());
  EXPECT_EQ(grid.GetCurrentRow(), 2);
  ::SetWindowTextA(Editor(), "");
  grid.editKeyAnswer = 0;
  ::SendMessageA(Editor(), WM_CHAR, 'x', 0);
  EXPECT_EQ(WindowText(Editor()), "");
  grid.editKeyAnswer = 1;
  ::SendMessageA(Editor(), WM_CHAR, 'y', 0);
  EXPECT_EQ(WindowText(Editor()), "y");
  // Another top-level window taking over ends the edit cancelled, even
  // though OnEditEnd still refuses, and keeps the focus.
  TestHost other(200, 100, true);
  ::SetForegroundWindow(other.hwnd());
  ::SetFocus(other.hwnd());
  PumpMessages();
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_TRUE(grid.Logged("end 1 2 cancelled 1"));
  EXPECT_EQ(::GetFocus(), other.hwnd());
  EXPECT_EQ(Text(1, 2), "");
}

namespace {

INT_PTR CALLBACK TestDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    ::DestroyWindow(dlg);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

// A dialog template with a placeholder for the grid (id 200) and an OK
// button, both tab stops.
std::vector<WORD> DialogTemplate() {
  std::vector<WORD> t;
  auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto align = [&] {
    if (t.size() % 2) t.push_back(0);
  };
  dword(DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION);
  dword(0);
  t.push_back(2);
  for (WORD v : {10, 10, 220, 160}) t.push_back(v);
  t.insert(t.end(), {0, 0, 0});   // no menu, default class, empty title
  struct Item {
    DWORD style;
    WORD x, y, cx, cy, id, atom;
  } items[] = {{WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 200, 120, 200, 0x0082},
               {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 5, 135, 50, 14, IDOK, 0x0080}};
  for (const Item& i : items) {
    align();
    dword(i.style);
    dword(0);
    for (WORD v : {i.x, i.y, i.cx, i.cy, i.id}) t.push_back(v);
    t.insert(t.end(), {0xFFFF, i.atom, 0, 0});
  }
  return t;
}

HWND g_boxOwner = nullptr;
std::string g_boxCaption, g_boxText;
HHOOK g_hook = nullptr;

// Reads and closes the message box the grid shows.
LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[32] = "";
    ::GetClassNameA(box, cls, sizeof cls);
    if (std::string(cls) == "#32770" && box != g_boxOwner) {
      g_boxCaption = WindowText(box);
      g_boxText = WindowText(::GetDlgItem(box, 0xFFFF));
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

TEST(GridDialog, TabLeavesTheGridArrowsStayAndEscapeClosesTheDialog) {
  const std::vector<WORD> tmpl = DialogTemplate();
  HWND dlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                          nullptr, TestDialogProc, 0);
  ASSERT_NE(dlg, nullptr);
  InputGrid grid;
  ASSERT_EQ(grid.CreateFromDialogItem(dlg, 200), 0);
  grid.SetColumnCount(2);
  grid.SetRowCount(5);
  HWND area = grid.GetPartWindow(CGridCore::kCellAreaId);
  ::SetForegroundWindow(dlg);
  auto press = [&](UINT key) {
    MSG msg{::GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
    if (!::IsDialogMessageA(dlg, &msg)) ::DispatchMessageA(&msg);
    PumpMessages();
  };
  ::SetFocus(area);
  press(VK_DOWN);
  EXPECT_EQ(grid.GetCurrentRow(), 1);
  press(VK_TAB);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, IDOK));
  ::SetFocus(area);
  press(VK_ESCAPE);
  EXPECT_FALSE(::IsWindow(dlg));
}

TEST_F(EditFixture, FindIgnoresCaseUnlessAskedAndReportsAbsentTexts) {
  const char* texts[] = {"Pear", "Apple pie", "Plum"};
  for (int r = 0; r < 3; ++r) grid.SetCellText(0, r, texts[r]);
  char what[64] = "apple";
  FINDREPLACEA fr{};
  fr.lStructSize = sizeof fr;
  fr.hwndOwner = grid.GetSafeHwnd();
  fr.lpstrFindWhat = what;
  fr.wFindWhatLen = sizeof what;
  fr.Flags = FR_DOWN;
  HWND dlg = ::FindTextA(&fr);
  ASSERT_NE(dlg, nullptr);
  grid.SetFindDialog(dlg);
  g_boxOwner = dlg;
  g_hook = ::SetWindowsHookExA(WH_CBT, BoxHook, nullptr, ::GetCurrentThreadId());
  ::SendMessageA(dlg, WM_COMMAND, IDOK, 0);   // Find Next
  EXPECT_EQ(grid.GetCurrentRow(), 1);
  EXPECT_EQ(g_boxCaption, "");
  ::SetDlgItemTextA(dlg, 0x480, "kiwi");
  ::SendMessageA(dlg, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(g_boxCaption, "Not Found");
  EXPECT_EQ(g_boxText, "Item not found");
  EXPECT_EQ(grid.GetCurrentRow(), 1);
  ::UnhookWindowsHookEx(g_hook);
  ::DestroyWindow(dlg);
}

TEST_F(EditFixture, DropListOffersTheLabelsChoicesAndClosesAsExpected) {
  const struct {
    const char* label;
    int row, count, height;
  } cases[] = {
      {"Red\nGreen\nBlue\n", 1, 3, 4 * 12 + 2},
      {"Red\nGreen\nBlue", 1, 2, 3 * 12 + 2},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n", 10, 20, 16 * 12 + 2},
  };
  for (const auto& c : cases) {
    CGridCell drop;
    drop.SetCellType(CGridCore::kTypeDropList);
    drop.SetText("Green");
    drop.SetLabel(c.label);
    grid.SetCell(1, c.row, drop);
    grid.MoveToCell(1, c.row);
    ::SetFocus(area);
    Key(area, VK_RETURN);
    HWND list = List();
    ASSERT_NE(list, nullptr) << c.label;
    EXPECT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), c.count);
    RECT r, client, cell;
    ::GetWindowRect(list, &r);
    ::MapWindowPoints(nullptr, area, reinterpret_cast<POINT*>(&r), 2);
    ::GetClientRect(area, &client);
    grid.GetCellRect(1, c.row, &cell);
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_LE(r.bottom, client.bottom);
    if (c.count == 20) {
      EXPECT_LT(r.top, cell.bottom);   // opened upward to stay inside
      ::SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
      EXPECT_EQ(::SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
    }
    Key(list, VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(Text(1, c.row), "Green");
  }
}

TEST_F(EditFixture, DropListChoiceRefusalButtonAndClicksElsewhere) {
  CGridCell drop;
  drop.SetCellType(CGridCore::kTypeDropList);
  drop.SetText("Green");
  drop.SetLabel("Red\nGreen\nBlue\n");
  grid.SetCell(1, 1, drop);
  grid.MoveToCell(1, 1);
  auto open = [&] {
    ::SetFocus(area);
    Key(area, VK_RETURN);
    return List();
  };
  for (int answer : {0, 1}) {
    grid.choiceAnswer = answer;
    HWND list = open();
    ASSERT_NE(list, nullptr);
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    Key(list, VK_RETURN);
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(Text(1, 1), answer ? "Red" : "Green");
  }
  EXPECT_EQ(grid.choices, (std::vector<std::string>{"Red", "Green", "Blue"}));
  // The open list's own button closes it for good.
  HWND list = open();
  RECT cell;
  grid.GetCellRect(1, 1, &cell);
  Click(area, POINT{cell.right - 4, (cell.top + cell.bottom) / 2});
  PumpMessages();
  EXPECT_FALSE(::IsWindow(list));
  EXPECT_EQ(List(), nullptr);
  // A click on another cell closes it without a choice.
  list = open();
  ASSERT_NE(list, nullptr);
  Click(area, CellCentre(grid, 0, 5));
  PumpMessages();
  EXPECT_FALSE(::IsWindow(list));
  EXPECT_EQ(grid.GetCurrentRow(), 5);
  EXPECT_EQ(Text(1, 1), "Red");
  // With the list closed the button opens it again.
  grid.MoveToCell(1, 1);
  Click(area, POINT{cell.right - 4, (cell.top + cell.bottom) / 2});
  PumpMessages();
  EXPECT_NE(List(), nullptr);
}
