// In-place editing, the grid in a dialog, find and the drop list, driven
// by keys and clicks on the real windows.
#include <gtest/gtest.h>

#include <vector>

#include "grid/celltypes/button_type.h"
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

TEST_F(EditFixture, HeadingCellsAreEditedOverTheHeadingCell) {
  grid.SetHeadingRowCount(2);
  grid.SetTopHeadingHeight(40);
  grid.MergeCells(0, -2, 1, -2);
  const struct {
    int col, row, host;   // host: the part the editor sits in
  } cases[] = {{2, -1, CGridCore::kTopHeadingId},
               {1, -2, CGridCore::kTopHeadingId},   // the joined block, from its second cell
               {-1, 4, CGridCore::kSideHeadingId}};
  for (const auto& c : cases) {
    ASSERT_EQ(grid.BeginEdit(c.col, c.row, 0), 0) << c.col << " " << c.row;
    HWND part = grid.GetPartWindow(c.host);
    EXPECT_EQ(::GetParent(Editor()), part);
    RECT cell, editor;
    ASSERT_EQ(grid.GetCellRect(c.col, c.row, &cell), 0);
    ::GetWindowRect(Editor(), &editor);
    ::MapWindowPoints(nullptr, part, reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(editor.left, cell.left);
    EXPECT_EQ(editor.top, cell.top);
    // At least the cell; it may grow to its text within the part.
    RECT partRect;
    ::GetClientRect(part, &partRect);
    EXPECT_GE(editor.right, cell.right - 1);
    EXPECT_LT(editor.right, partRect.right);
    EXPECT_LE(cell.bottom, partRect.bottom);
    ::SetWindowTextA(Editor(), "named");
    Key(Editor(), VK_RETURN);
    EXPECT_FALSE(grid.IsEditing());
    const int origin = c.row == -2 ? 0 : c.col;
    EXPECT_EQ(Text(origin, c.row), "named");
    EXPECT_EQ(grid.GetCurrentRow(), 0);
  }
  RECT block, first;
  grid.GetCellRect(0, -2, &block);
  grid.GetCellRect(0, -1, &first);
  EXPECT_EQ(block.top, 0);
  EXPECT_EQ(block.right - block.left, 2 * (first.right - first.left));
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

namespace {

// A drop list at (1, row) with its own choices.
void PutDropList(CGridCore& grid, int row, const char* label) {
  CGridCell drop;
  drop.SetCellType(CGridCore::kTypeDropList);
  drop.SetText("old");
  drop.SetLabel(label);
  grid.SetCell(1, row, drop);
}

POINT DropButton(CGridCore& grid, int col, int row) {
  RECT cell{};
  grid.GetCellRect(col, row, &cell);
  return POINT{cell.right - 4, (cell.top + cell.bottom) / 2};
}

}  // namespace

TEST_F(EditFixture, DropListOpensForThePressedCellOnlyAndAgainAfterEscape) {
  PutDropList(grid, 1, "A1\nA2\n");
  PutDropList(grid, 3, "B1\nB2\n");
  const struct {
    const char* name;
    int allowMove, keys;
  } cases[] = {{"refused move", 0, MK_LBUTTON}, {"shift+click", 1, MK_LBUTTON | MK_SHIFT}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    grid.EnableMultiSelect(c.keys & MK_SHIFT ? 1 : 0);
    grid.MoveToCell(1, 1);
    grid.choices.clear();
    grid.allowMove = c.allowMove;
    ::SetFocus(area);
    const POINT b = DropButton(grid, 1, 3);
    ::SendMessageA(area, WM_LBUTTONDOWN, c.keys, Pt(b.x, b.y));
    ::SendMessageA(area, WM_LBUTTONUP, 0, Pt(b.x, b.y));
    PumpMessages();
    grid.allowMove = 1;
    if (HWND list = List()) {   // open only on the pressed cell, with its choices
      EXPECT_EQ(grid.choices, (std::vector<std::string>{"B1", "B2"}));
      ::SendMessageA(list, LB_SETCURSEL, 0, 0);
      Key(list, VK_RETURN);
    }
    EXPECT_EQ(Text(1, 1), "old");
  }
  // Escape closes the list; one press on the button opens it again.
  grid.EnableMultiSelect(0);
  grid.MoveToCell(1, 1);
  ::SetFocus(area);
  Key(area, VK_RETURN);
  ASSERT_NE(List(), nullptr);
  Key(List(), VK_ESCAPE);
  PumpMessages();
  ASSERT_EQ(List(), nullptr);
  Click(area, DropButton(grid, 1, 1));
  PumpMessages();
  EXPECT_NE(List(), nullptr);
}

TEST_F(EditFixture, ReplaceWritesOnlyTheFoundCell) {
  const char* texts[] = {"Pear", "Apple pie", "Plum"};
  for (int r = 0; r < 3; ++r) grid.SetCellText(0, r, texts[r]);
  char what[16] = "apple", with[16] = "Fig";
  FINDREPLACEA fr{};
  fr.lStructSize = sizeof fr;
  fr.lpstrFindWhat = what;
  fr.lpstrReplaceWith = with;
  fr.Flags = FR_DOWN | FR_REPLACE;
  grid.SetFindDialog(host.hwnd());
  const UINT findMessage = ::RegisterWindowMessageA(FINDMSGSTRING);
  for (int allow : {0, 1}) {
    grid.MoveToCell(0, 0);
    grid.allowMove = allow;
    ::SendMessageA(grid.GetSafeHwnd(), findMessage, 0, reinterpret_cast<LPARAM>(&fr));
    grid.allowMove = 1;
    EXPECT_EQ(Text(0, 0), "Pear") << allow;
    EXPECT_EQ(Text(0, 1), allow ? "Fig" : "Apple pie") << allow;
  }
  grid.SetFindDialog(nullptr);
}

TEST_F(EditFixture, EditsBeginOnlyOnCellsThatExistAndTypesThatTakeText) {
  CGridButtonType button;
  const int buttonType = grid.AddCellType(&button);
  const struct {
    int col, row, type, answer;
  } cases[] = {
      {3, 0, 0, 1}, {0, 12, 0, 1}, {-2, 0, 0, 1}, {0, -2, 0, 1}, {-1, -1, 0, 1},
      {0, 0, CGridCore::kTypeCheckBox, 1}, {0, 0, CGridCore::kTypeArrow, 1}, {0, 0, buttonType, 1},
      {0, 0, CGridCore::kTypeDropList, 0}, {0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    if (c.col >= 0 && c.row >= 0 && c.col < 3 && c.row < 12) {
      CGridCell cell;
      cell.SetCellType(c.type);
      grid.SetCell(c.col, c.row, cell);
    }
    EXPECT_EQ(grid.BeginEdit(c.col, c.row, 0), c.answer) << c.col << " " << c.row << " type " << c.type;
    EXPECT_EQ(grid.IsEditing(), c.answer == 0);
    EXPECT_EQ(::IsWindowVisible(Editor()) != 0, c.answer == 0);
    grid.HideEditor();
  }
}

TEST_F(EditFixture, RefusedWritesAreReportedAndTheCellsKeepTheirValues) {
  // Columns 3 to 5 are kept by a store that refuses every write: a check
  // box, a text and a drop-list column.
  CGridDataSource refusing;
  grid.SelectDataSource(grid.AddDataSource(&refusing));
  for (int type : {int{CGridCore::kTypeCheckBox}, 0, int{CGridCore::kTypeDropList}}) {
    CGridCell def;
    def.SetCellType(type);
    def.SetLabel("Red\nBlue\n");
    grid.SetDefaultCell(def);
    grid.SetColumnCount(grid.GetColumnCount() + 1);
  }
  grid.SelectDataSource(0);
  EXPECT_EQ(grid.MergeCells(3, 0, 4, 0), 2);
  // The check box: neither a space nor a click reports a change.
  grid.MoveToCell(3, 1);
  ::SetFocus(area);
  ::SendMessageA(area, WM_CHAR, ' ', 0);
  RECT cell{};
  grid.GetCellRect(3, 1, &cell);
  const RECT box = CGridCheckBoxType::BoxRect(cell);
  Click(area, POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2});
  for (const std::string& line : grid.log) EXPECT_EQ(line.find("code 53"), std::string::npos) << line;
  // The drop list's choice answers 2.
  grid.MoveToCell(5, 1);
  ::SetFocus(area);
  Key(area, VK_RETURN);
  ASSERT_NE(List(), nullptr);
  auto* drop = static_cast<CGridDropListType*>(grid.GetCellType(CGridCore::kTypeDropList));
  EXPECT_EQ(drop->OnChoice("Red"), 2);
  EXPECT_EQ(Text(5, 1), "");
  PumpMessages();
  // The edit ends without going on, answering 2.
  ASSERT_EQ(grid.BeginEdit(4, 1, 0), 0);
  EXPECT_EQ(grid.EndEdit("typed", 0, 1, 4, 2), 2);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(Text(4, 1), "");
}

namespace {

// Offers its own edit window in place of the grid's, from the data source
// or from the grid.
class OfferingSource : public CGridMemSource {
 public:
  HWND offer = nullptr;
  int OnEditBegin(int, int, void** editor) override {
    if (offer) *editor = offer;
    return 1;
  }
};

class OfferingGrid : public InputGrid {
 public:
  HWND offer = nullptr;
  int OnEditBegin(int, int, HWND* editor) override {
    if (offer) *editor = offer;
    return 1;
  }
};

}  // namespace

TEST(GridSubstituteEditor, EndsEditsAsTheStandardOne) {
  TestHost host(400, 300, true);
  OfferingGrid grid;
  ASSERT_TRUE(CreateHostedGrid(grid, host, 400, 300));
  OfferingSource source;
  grid.SelectDataSource(grid.AddDataSource(&source));
  grid.SetColumnCount(2);
  grid.SetRowCount(6);
  HWND area = grid.GetPartWindow(CGridCore::kCellAreaId);
  HWND own = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, host.hwnd(), nullptr, nullptr, nullptr);
  ::SetForegroundWindow(host.hwnd());
  const struct {
    bool bySource;
    UINT key;   // 0: the focus goes to the cell area
    bool stored;
  } cases[] = {{true, VK_RETURN, true}, {false, VK_RETURN, true}, {true, VK_ESCAPE, false},
               {false, VK_ESCAPE, false}, {true, 0, true}, {false, 0, true}};
  int row = 0;
  for (const auto& c : cases) {
    source.offer = c.bySource ? own : nullptr;
    grid.offer = c.bySource ? nullptr : own;
    ASSERT_EQ(grid.BeginEdit(0, row, 0), 0);
    EXPECT_EQ(grid.GetEditorWindow(), own);
    EXPECT_TRUE(::IsWindowVisible(own));
    EXPECT_EQ(::GetFocus(), own);
    ::SetWindowTextA(own, "mine");
    if (c.key) {
      ::SendMessageA(own, WM_KEYDOWN, c.key, 0);
    } else {
      ::SetFocus(area);
    }
    PumpMessages();
    grid.HideEditor();
    CGridCell cell;
    grid.GetCell(0, row, &cell);
    EXPECT_EQ(cell.GetTextPtr() ? std::string(cell.GetTextPtr()) : "", c.stored ? "mine" : "")
        << c.bySource << " " << c.key;
    EXPECT_FALSE(::IsWindowVisible(own));
    ++row;
  }
}

TEST(GridDialog, PushButtonCellsTakeEnter) {
  const std::vector<WORD> tmpl = DialogTemplate();
  HWND dlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                          nullptr, TestDialogProc, 0);
  ASSERT_NE(dlg, nullptr);
  InputGrid grid;
  ASSERT_EQ(grid.CreateFromDialogItem(dlg, 200), 0);
  CGridButtonType button;
  const int type = grid.AddCellType(&button);
  grid.SetColumnCount(2);
  grid.SetRowCount(3);
  CGridCell cell;
  cell.SetCellType(type);
  grid.SetCell(1, 1, cell);
  grid.MoveToCell(1, 1);
  ::SetForegroundWindow(dlg);
  ::SetFocus(grid.GetPartWindow(CGridCore::kCellAreaId));
  MSG msg{::GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  if (!::IsDialogMessageA(dlg, &msg)) ::DispatchMessageA(&msg);
  PumpMessages();
  EXPECT_TRUE(grid.Logged("type " + std::to_string(type) + " at 1 1 code 1"));
  ::DestroyWindow(dlg);
}

TEST_F(EditFixture, HeadingDoubleClicksReachTheCellType) {
  CGridButtonType button;
  const int type = grid.AddCellType(&button);
  const struct {
    int col, row, part;
  } cases[] = {{1, -1, CGridCore::kTopHeadingId}, {-1, 2, CGridCore::kSideHeadingId}};
  for (const auto& c : cases) {
    CGridCell cell;
    cell.SetCellType(type);
    grid.SetCell(c.col, c.row, cell);
    const POINT at = CellCentre(grid, c.col, c.row);
    ::SendMessageA(grid.GetPartWindow(c.part), WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(at.x, at.y));
    EXPECT_TRUE(grid.Logged("type " + std::to_string(type) + " at " + std::to_string(c.col) + " " +
                            std::to_string(c.row) + " code 2"))
        << c.col << " " << c.row;
  }
}

TEST_F(EditFixture, DraggingARowHeadingColumnsEdgeResizesThatColumnOnly) {
  grid.SetHeadingColumnCount(2);
  grid.SetHeadingColumnWidth(-1, 30);
  grid.SetHeadingColumnWidth(-2, 30);
  grid.SetSideHeadingWidth(60);
  ASSERT_EQ(grid.GetHeadingColumnWidth(-2), 30);
  HWND side = grid.GetPartWindow(CGridCore::kSideHeadingId);
  const int y = CellCentre(grid, -1, 3).y;
  ::SendMessageA(side, WM_MOUSEMOVE, 0, Pt(30, y));   // arms the edge between the two
  ::SendMessageA(side, WM_LBUTTONDOWN, MK_LBUTTON, Pt(30, y));
  ::SendMessageA(side, WM_MOUSEMOVE, MK_LBUTTON, Pt(42, y));
  ::SendMessageA(side, WM_LBUTTONUP, 0, Pt(42, y));
  EXPECT_EQ(grid.GetHeadingColumnWidth(-2), 42);
  EXPECT_EQ(grid.GetHeadingColumnWidth(-1), 30);
  EXPECT_EQ(grid.GetSideHeadingWidth(), 72);
}

TEST_F(EditFixture, TabBarScrollerAndTheThreePositionScrollBar) {
  grid.SetSheetCount(12);
  for (int i = 0; i < 12; ++i) grid.AddSheetTab("Sheet number " + std::to_string(i), i);
  grid.SetTabBarWidth(120);
  HWND bar = ::FindWindowExA(grid.GetPartWindow(CGridCore::kTabBarId), nullptr, "ScrollBar", nullptr);
  ASSERT_NE(bar, nullptr);
  int low = 0, high = 0;
  ::GetScrollRange(bar, SB_CTL, &low, &high);
  EXPECT_GT(high, low);
  // Mode 2: the thumb pushed down or up moves the view a row and springs back.
  grid.SetRowCount(100);
  grid.SetVScrollMode(2);
  grid.SetFirstVisibleRow(50);
  HWND vbar = grid.GetPartWindow(CGridCore::kVScrollId);
  const struct {
    int position, first;
  } cases[] = {{2, 51}, {0, 50}, {1, 50}};
  for (const auto& c : cases) {
    ::SendMessageA(grid.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.position),
                   reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(grid.GetFirstVisibleRow(), c.first) << c.position;
    EXPECT_EQ(::GetScrollPos(vbar, SB_CTL), 1);
  }
}
