// The main frame in this process (scratch profile, the program's own
// resources): where it goes, its toolbar and menus, its commands and their
// grey state, its keys, the About box, and the focus back in the frame
// after each dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/docview/doc_template.h"
#include "framework/docview/view.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "program_fixture.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/commands/event_operations.h"
#include "shell/frame/frame_geometry.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_services.h"
#include "model/services/model_services.h"
// The storage names a member CreateFile; windows.h makes that a macro.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/services/storage_services.h"
#include "tests/shell/main_window_start.h"
#include "tests/support/win/window_shot.h"
#include "tests/support/win/dialog_driver.h"

namespace {

class RecordingView : public framework::CView {
 public:
  std::vector<std::pair<LPARAM, INT_PTR>> hints;
  void OnUpdate(framework::CView*, LPARAM hint, void* object) override {
    hints.emplace_back(hint, reinterpret_cast<INT_PTR>(object));
  }
  int Count(LPARAM hint) const {
    int n = 0;
    for (const auto& h : hints) n += h.first == hint;
    return n;
  }
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = shelltest::QuietSettings("shell_frame");
    frame_ = shelltest::StartMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
    doc_->AddView(&recorder_);
  }
  void TearDown() override {
    doc_->RemoveView(&recorder_);
    shelltest::CloseMainWindow(frame_);
    store_->Clear();
    g_Settings.SetProfile(nullptr);
  }
  UINT MenuState(UINT id) { return shelltest::MenuState(*frame_, id); }
  std::string MenuText(UINT id) {
    char text[64] = "";
    ::GetMenuStringA(::GetMenu(frame_->GetSafeHwnd()), id, text, sizeof text, MF_BYCOMMAND);
    return text;
  }

  CAlmacoraApp app_;
  std::unique_ptr<platform::ProfileStore> store_;
  CMainFrame* frame_ = nullptr;
  CShellDocument* doc_ = nullptr;
  RecordingView recorder_;
};

}  // namespace

TEST(FrameGeometry, SizesAndPlaces) {
  struct Case {
    FrameGeometryInput in;
    FrameGeometry out;
  } cases[] = {
      {{1024, 768, -1, -1, -1, -1, 1, 130}, {102, 77, 819, 614, 153}},
      {{640, 480, -1, -1, -1, -1, 1, 130}, {32, 24, 576, 432, 108}},
      {{1024, 768, -1, -1, -1, -1, 1, 200}, {102, 77, 819, 614, 200}},
      {{1024, 768, 10, 20, 500, 400, 0, 130}, {10, 20, 500, 400, 130}},
      {{1024, 768, 10, 20, 500, 400, 1, 130}, {262, 184, 500, 400, 130}},
  };
  for (const Case& c : cases) {
    FrameGeometry g = ComputeFrameGeometry(c.in);
    EXPECT_EQ(g.x, c.out.x);
    EXPECT_EQ(g.y, c.out.y);
    EXPECT_EQ(g.width, c.out.width);
    EXPECT_EQ(g.height, c.out.height);
    EXPECT_EQ(g.gridSizeY, c.out.gridSizeY);
  }
}

TEST_F(FrameTest, ToolbarButtonsInOrderAndTheToolbarCommand) {
  HWND tb = ::GetDlgItem(frame_->GetSafeHwnd(), 0xE800);
  ASSERT_NE(tb, nullptr);
  const std::vector<int> expected = {32780, 32777, 32778, 32779, 32906, 32852, 32773, 32841, 0,
                                     32886, 32861, 32860, 0,     32811, 32813, 32812, 0,     32793};
  std::vector<int> ids;
  int n = static_cast<int>(::SendMessageA(tb, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    TBBUTTON b{};
    ::SendMessageA(tb, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
    ids.push_back((b.fsStyle & BTNS_SEP) ? 0 : b.idCommand);
  }
  EXPECT_EQ(ids, expected);
  for (bool visible : {false, true}) {
    frame_->SendMsg(WM_COMMAND, 32782);
    EXPECT_EQ(::IsWindowVisible(tb) != FALSE, visible);
    EXPECT_EQ(frame_->IsToolbarVisible(), visible);
    EXPECT_EQ((MenuState(32782) & MF_CHECKED) != 0, visible);
  }
}

// A user tells the buttons apart by their shapes, not only their colours:
// what each button draws, light and dark on its background, must differ
// from every other.
TEST_F(FrameTest, ToolbarButtonsDrawDistinctPictures) {
  HWND tb = ::GetDlgItem(frame_->GetSafeHwnd(), 0xE800);
  ::ShowWindow(frame_->GetSafeHwnd(), SW_SHOWNORMAL);
  ::MoveWindow(frame_->GetSafeHwnd(), 0, 0, 800, 600, TRUE);
  const wintest::Shot shot = wintest::TakeShot(tb, "toolbar");
  RECT tbRect;
  ::GetWindowRect(tb, &tbRect);
  POINT origin{0, 0};
  ::ClientToScreen(tb, &origin);
  struct Picture {
    int id;
    std::vector<int> shape;  // per pixel: 0 background, 1 light, 2 dark
    int green = 0;
  };
  std::vector<Picture> pictures;
  const int n = static_cast<int>(::SendMessageA(tb, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    TBBUTTON b{};
    ::SendMessageA(tb, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
    if (b.fsStyle & BTNS_SEP) continue;
    RECT r;
    ::SendMessageA(tb, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    // The 28 x 24 picture sits in the button's middle.
    const int left = origin.x - tbRect.left + (r.left + r.right - 28) / 2;
    const int top = origin.y - tbRect.top + (r.top + r.bottom - 24) / 2;
    ASSERT_LE(left + 28, shot.width);
    ASSERT_LE(top + 24, shot.height);
    Picture p{b.idCommand, {}};
    const COLORREF face = shot.At(left, top);  // every picture leaves its corner blank
    for (int y = top; y < top + 24; ++y)
      for (int x = left; x < left + 28; ++x) {
        const COLORREF c = shot.At(x, y);
        const int luma = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
        p.shape.push_back(c == face ? 0 : luma >= 128 ? 1 : 2);
        p.green += shot.At(x, y) == RGB(0x20, 0x90, 0x30);
      }
    pictures.push_back(p);
  }
  ASSERT_EQ(pictures.size(), 15u);
  for (size_t a = 0; a < pictures.size(); ++a)
    for (size_t b = a + 1; b < pictures.size(); ++b) {
      int differ = 0;
      for (size_t k = 0; k < pictures[a].shape.size(); ++k) differ += pictures[a].shape[k] != pictures[b].shape[k];
      EXPECT_GE(differ, 24) << pictures[a].id << " and " << pictures[b].id << " draw nearly the same shape";
    }
  EXPECT_GT(pictures[1].green, 10) << "Add's green plus";
}

TEST_F(FrameTest, CommandsWithoutHandlersAreGrey) {
  struct Case {
    UINT id;
    bool grey;
  } cases[] = {{32790, false}, {32841, false}, {32843, false}, {32793, false},
               {32792, false}, {32782, false}, {57664, false}, {32861, false}, {57665, false}};
  for (const Case& c : cases) EXPECT_EQ((MenuState(c.id) & MF_GRAYED) != 0, c.grey) << c.id;
  // Toolbar buttons follow at idle.
  app_.OnIdle(0);
  HWND tb = ::GetDlgItem(frame_->GetSafeHwnd(), 0xE800);
  EXPECT_TRUE(::SendMessageA(tb, TB_ISBUTTONENABLED, 32793, 0));  // Hide has its handler
  EXPECT_TRUE(::SendMessageA(tb, TB_ISBUTTONENABLED, 32841, 0));  // Print has its dialog
  EXPECT_TRUE(::SendMessageA(tb, TB_ISBUTTONENABLED, 32861, 0));
}

TEST_F(FrameTest, WeekAndMonthSendHint18OnlyOnAChange) {
  frame_->SendMsg(WM_COMMAND, 32861);
  frame_->SendMsg(WM_COMMAND, 32861);
  EXPECT_EQ(recorder_.Count(18), 1);
  EXPECT_EQ(recorder_.hints.back(), std::make_pair(LPARAM(18), INT_PTR(1)));
  EXPECT_EQ(frame_->GetCalMode(), 1);
  EXPECT_NE(MenuState(32861) & MF_CHECKED, 0u);
  frame_->SendMsg(WM_COMMAND, 32860);
  EXPECT_EQ(recorder_.hints.back(), std::make_pair(LPARAM(18), INT_PTR(0)));
  EXPECT_EQ(frame_->GetCalMode(), 0);
}

TEST_F(FrameTest, KeysSelectWeekAndMonthAsTheMenuSays) {
  EXPECT_EQ(MenuText(32861), "Week Calendar\tF7");
  EXPECT_EQ(MenuText(32860), "Month Calendar\tF8");
  HWND view = ::GetDlgItem(frame_->GetSafeHwnd(), 0xE900);
  ASSERT_NE(view, nullptr);
  struct Case {
    WPARAM key;
    int mode;
  } cases[] = {{VK_F7, 1}, {VK_F8, 0}, {VK_F6, 2}};
  for (const Case& c : cases) {
    MSG msg{view, WM_KEYDOWN, c.key, 1, 0, {0, 0}};
    EXPECT_TRUE(app_.PreTranslate(msg));
    EXPECT_EQ(frame_->GetCalMode(), c.mode);
  }
}

TEST_F(FrameTest, FilterMenuTextFollowsTheFilter) {
  EXPECT_EQ(MenuText(32843), "F&ilter");
  doc_->SetTypeFilterActive(true);
  frame_->UpdateFilterMenu();
  EXPECT_EQ(MenuText(32843), "F&ILTER ON");
  doc_->SetTypeFilterActive(false);
  frame_->UpdateFilterMenu();
  EXPECT_EQ(MenuText(32843), "F&ilter");
}

namespace {
std::string g_aboutEmail;

void CALLBACK AnswerAbout(HWND, UINT, UINT_PTR id, DWORD) {
  HWND about = ::FindWindowA("#32770", "About Almacora");
  if (!about || !::IsWindowVisible(about)) return;
  ::KillTimer(nullptr, id);
  char text[64] = "";
  ::GetDlgItemTextA(about, 1345, text, sizeof text);
  g_aboutEmail = text;
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
}
}  // namespace

// A failed alarm action's notice flashes the task-bar button three times,
// once for each notice.
TEST_F(FrameTest, AlarmLogNoticeFlashesTheTaskbarButtonThreeTimes) {
  struct FlashRecorder : CShellServices {
    std::vector<unsigned> counts;
    bool FlashWindowInTaskbar(WindowHandle, unsigned count) override {
      counts.push_back(count);
      return true;
    }
  } recorder;
  IShellServices* saved = GetModelServices().shell;
  GetModelServices().shell = &recorder;
  frame_->SendMsg(WM_SHOWALARMLOG);
  frame_->SendMsg(WM_SHOWALARMLOG);
  GetModelServices().shell = saved;
  EXPECT_EQ(recorder.counts, (std::vector<unsigned>{3, 3}));
}

TEST_F(FrameTest, AboutBoxFromTheHelpMenu) {
  ::SetTimer(nullptr, 0, 100, &AnswerAbout);
  frame_->SendMsg(WM_COMMAND, 57664);
  EXPECT_EQ(g_aboutEmail, "sales@corvelle.example");
}

TEST_F(FrameTest, ActivationFocusesTheActiveView) {
  // The list is the first pane of the main splitter (itself the frame's
  // first pane).
  HWND view = ::GetDlgItem(::GetDlgItem(frame_->GetSafeHwnd(), 0xE900), 0xE900);
  ::ShowWindow(frame_->GetSafeHwnd(), SW_SHOW);
  ::SetFocus(nullptr);
  frame_->SendMsg(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(::GetFocus(), view);
}

namespace {
// Ticks "do not show" on the exit warning and answers No.
void CALLBACK TickAndRefuseExit(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = ::FindWindowA("#32770", "Almacora");
  if (!box || !::IsWindowVisible(box) || !::GetDlgItem(box, 1127)) return;
  ::KillTimer(nullptr, id);
  ::SendDlgItemMessageA(box, 1127, BM_SETCHECK, BST_CHECKED, 0);
  ::PostMessageA(box, WM_COMMAND, IDNO, 0);
}
}  // namespace

TEST_F(FrameTest, ExitWarningTickedIsSilencedAtOnce) {
  CShellPrompts prompts;
  IEventPrompts* old = GetModelServices().prompts;
  GetModelServices().prompts = &prompts;
  g_Settings.WarnExit = 1;
  ::SetTimer(nullptr, 0, 50, &TickAndRefuseExit);
  frame_->SendMsg(WM_CLOSE);
  GetModelServices().prompts = old;
  EXPECT_TRUE(::IsWindow(frame_->GetSafeHwnd()));
  EXPECT_EQ(g_Settings.WarnExit, 0);
  std::int32_t stored = -1;
  EXPECT_TRUE(store_->ReadInt("Settings", "WarnExit", &stored));
  EXPECT_EQ(stored, 0);
}

namespace {
int g_monthAnswer = 0;
void CALLBACK AnswerSelectMonth(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = ::FindWindowA("#32770", "Select Calendar Month");
  if (!dlg || !::IsWindowVisible(dlg)) return;
  ::KillTimer(nullptr, id);
  ::PostMessageA(dlg, WM_COMMAND, static_cast<WPARAM>(g_monthAnswer), 0);
}
}  // namespace

TEST_F(FrameTest, NewCalendarDateGoesToTheChosenMonth) {
  for (int answer : {IDCANCEL, 1306 /* Current Month */}) {
    g_monthAnswer = answer;
    ::SetTimer(nullptr, 0, 50, &AnswerSelectMonth);
    frame_->SendMsg(WM_COMMAND, 32854);
  }
  EXPECT_EQ(recorder_.Count(7), 1);
}

namespace {
const char* g_awaitedCaption = nullptr;
int g_dialogsSeen = 0;
void CALLBACK CancelAwaitedDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = ::FindWindowA("#32770", g_awaitedCaption);
  if (!dlg || !::IsWindowVisible(dlg)) return;
  ::KillTimer(nullptr, id);
  ++g_dialogsSeen;
  ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
}
}  // namespace

TEST_F(FrameTest, OptionsAndFilterCommandsOpenTheirDialogs) {
  const struct {
    UINT id;
    const char* caption;
  } commands[] = {{32773, "Options"}, {1012, "Options"}, {32843, "Filtering"}};
  for (const auto& c : commands) {
    g_awaitedCaption = c.caption;
    ::SetTimer(nullptr, 0, 50, &CancelAwaitedDialog);
    frame_->SendMsg(WM_COMMAND, c.id);
  }
  EXPECT_EQ(g_dialogsSeen, 3);
}

// After each modal dialog closes the frame is the foreground window again
// and the keyboard focus is inside it, so its keys keep working. Wine
// hands the activation back through the X server: read it once it has come
// (bounded), never at once.
TEST_F(FrameTest, EachClosedDialogGivesTheFocusBackToTheFrame) {
  HWND frame = frame_->GetSafeHwnd();
  auto focused = [frame] {
    HWND focus = ::GetFocus();
    return ::GetForegroundWindow() == frame && (focus == frame || ::IsChild(frame, focus));
  };
  auto settle = [&] {
    for (int i = 0; i < 100 && !focused(); ++i) shelltest::PumpFor(50);
    return focused();
  };
  ::ShowWindow(frame, SW_SHOW);
  ::SetForegroundWindow(frame);
  ASSERT_TRUE(settle());
  const struct {
    UINT id;
    const char* caption;
  } dialogs[] = {{ID_APP_ABOUT, "About Almacora"},
                 {ID_SETUP_OPTIONS, "Options"},
                 {ID_VIEW_FILTER, "Filtering"},
                 {ID_EVENT_MANAGER, "Edit Calendar Entries"},
                 {ID_VIEW_NEW_DATE, "Select Calendar Month"}};
  for (const auto& d : dialogs) {
    wintest::Drive({[&d] {
                     HWND h = wintest::FindDialog(d.caption);
                     if (h) ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
                     return h != nullptr;
                   }},
                   20000);
    frame_->SendMsg(WM_COMMAND, d.id);
    EXPECT_TRUE(wintest::Driven()) << d.caption;
    EXPECT_TRUE(settle()) << d.caption << ": foreground " << ::GetForegroundWindow() << ", focus " << ::GetFocus();
  }
}

// The wizard, Options and the Quick Timer open centred on the main window
// wherever it is; the Quick Timer shown again stays where the user put it.
TEST_F(FrameTest, DialogsOpenCentredOnTheMainWindow) {
  HWND frame = frame_->GetSafeHwnd();
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(frame, nullptr, work.left + 20, work.top + 10, 760, 560, SWP_NOZORDER);
  ::ShowWindow(frame, SW_SHOWNORMAL);
  shelltest::PumpFor(100);
  RECT f{};
  ::GetWindowRect(frame, &f);
  auto centredOnFrame = [&f](const RECT& r) {
    return std::abs((r.left + r.right) - (f.left + f.right)) <= 2 && std::abs((r.top + r.bottom) - (f.top + f.bottom)) <= 2;
  };
  const struct {
    UINT id;
    const char* shot;
  } sheets[] = {{ID_SETUP_OPTIONS, "options_centred"}, {ID_EVENT_WIZARD, "event_wizard_centred"}};
  for (const auto& c : sheets) {
    RECT at{};
    COLORREF face = 0;
    wintest::Drive({[&] {
                     HWND h = wintest::PropertySheet();
                     if (!h) return false;
                     ::GetWindowRect(h, &at);
                     wintest::Shot shot = wintest::TakeShot(h, c.shot);
                     face = shot.At(shot.width / 2, shot.height - 4);
                     ::PostMessageA(h, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                     return true;
                   }},
                   20000);
    frame_->SendMsg(WM_COMMAND, c.id);
    ASSERT_TRUE(wintest::Driven()) << c.shot;
    EXPECT_TRUE(centredOnFrame(at)) << c.shot << " at " << at.left << "," << at.top;
    EXPECT_EQ(face, ::GetSysColor(COLOR_BTNFACE)) << c.shot;
  }
  frame_->SendMsg(WM_COMMAND, ID_QUICK_TIMER);
  HWND timer = nullptr;
  for (int i = 0; i < 50 && !(timer = wintest::FindDialog("Quick Timer")); ++i) shelltest::PumpFor(50);
  ASSERT_NE(timer, nullptr);
  RECT t{};
  ::GetWindowRect(timer, &t);
  EXPECT_TRUE(centredOnFrame(t)) << "timer at " << t.left << "," << t.top;
  wintest::Shot shot = wintest::TakeShot(timer, "quick_timer_centred");
  EXPECT_EQ(shot.At(shot.width / 2, shot.height - 4), ::GetSysColor(COLOR_BTNFACE));
  // Moved by the user, hidden and asked for again: where the user left it.
  ::SetWindowPos(timer, nullptr, f.right - 40, f.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  wintest::Click(timer, IDOK);
  shelltest::PumpFor(100);
  EXPECT_FALSE(::IsWindowVisible(timer));
  frame_->SendMsg(WM_COMMAND, ID_QUICK_TIMER);
  shelltest::PumpFor(100);
  ::GetWindowRect(timer, &t);
  EXPECT_TRUE(::IsWindowVisible(timer));
  EXPECT_EQ(t.left, f.right - 40);
  EXPECT_EQ(t.top, f.top + 30);
  ::ShowWindow(timer, SW_HIDE);
}

TEST_F(FrameTest, AHandedOverCalendarOpensReadOnlyAsAPreview) {
  char tmp[MAX_PATH] = "";
  ::GetTempPathA(sizeof tmp, tmp);
  const std::string path = std::string(tmp) + "almacora_preview.akv";
  ::DeleteFileA(path.c_str());
  ASSERT_EQ(StartStorageEngine(), 0);
  {
    CCalendarFile file;
    ASSERT_NE(file.CreateFile(path), 0);
  }
  CShellStoragePrompts prompts;
  IStoragePrompts* old = GetStorageServices().prompts;
  GetStorageServices().prompts = &prompts;
  shelltest::BoxAnswerer preview("Almacora Calendar", IDCANCEL);  // "Preview"
  COPYDATASTRUCT cds{0, static_cast<DWORD>(path.size() + 1), const_cast<char*>(path.c_str())};
  frame_->SendMsg(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  EXPECT_TRUE(preview.Wait());
  GetStorageServices().prompts = old;
  const CCalendarFile* calendar = doc_->Core().calendars().FindByPath(path);
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->openState, 3);
  doc_->Core().CloseEventFile(const_cast<CCalendarFile*>(calendar));
  ::DeleteFileA(path.c_str());
}

// The views' event commands reach the frame's own operations while it
// lives, printing one event included.
TEST_F(FrameTest, TheFrameInstallsItsEventOperationsForTheViews) {
  IEventOperations* ops = GetEventOperations();
  ASSERT_NE(ops, nullptr);
  EXPECT_TRUE(ops->IsAvailable(IEventOperations::kModify));
  EXPECT_TRUE(ops->IsAvailable(IEventOperations::kExport));
  EXPECT_TRUE(ops->IsAvailable(IEventOperations::kPrintEvent));
}
