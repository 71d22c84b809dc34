// Message maps chain to the base's and override it; commands travel view,
// document, frame, application; items nothing handles turn grey.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/cmd_ui.h"
#include "framework/docview/doc_template.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/frame_window.h"

namespace {

std::vector<std::string> g_log;
const UINT g_registered = ::RegisterWindowMessageA("AlmacoraMapTestMessage");

class BaseWindow : public framework::CWindow {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
 protected:
  LRESULT OnPing(WPARAM, LPARAM) { return 1; }
  LRESULT OnOnlyBase(WPARAM w, LPARAM) { return static_cast<LRESULT>(w) + 100; }
  void OnCommandA() { g_log.push_back("base:100"); }
  void OnRange(UINT id) { g_log.push_back("range:" + std::to_string(id)); }
};

FRAMEWORK_BEGIN_MESSAGE_MAP(BaseWindow, framework::CWindow)
  framework::OnMessage<&BaseWindow::OnPing>(WM_APP + 1),
  framework::OnMessage<&BaseWindow::OnOnlyBase>(WM_APP + 2),
  framework::OnCommand<&BaseWindow::OnCommandA>(100),
  framework::OnCommandRange<&BaseWindow::OnRange>(200, 210),
FRAMEWORK_END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
 protected:
  LRESULT OnPing2(WPARAM, LPARAM) { return 2; }
  LRESULT OnRegisteredPing(WPARAM, LPARAM) { return 7; }
  void OnCommandB() { g_log.push_back("derived:205"); }
  void OnSelect() { g_log.push_back("select:220"); }
};

FRAMEWORK_BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
  framework::OnMessage<&DerivedWindow::OnPing2>(WM_APP + 1),
  framework::OnRegistered<&DerivedWindow::OnRegisteredPing>(g_registered),
  framework::OnCommand<&DerivedWindow::OnCommandB>(205),
  framework::OnControl<&DerivedWindow::OnSelect>(LBN_SELCHANGE, 220),
FRAMEWORK_END_MESSAGE_MAP()

const char* const kClass = "AlmacoraMapTestClass";

template <class W>
bool Make(W& w) {
  framework::CWindow::RegisterClass(::GetModuleHandleA(nullptr), kClass);
  return w.Create(kClass, "map", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100, nullptr, nullptr, ::GetModuleHandleA(nullptr));
}

}  // namespace

TEST(MessageMap, DerivedEntriesOverrideAndTheRestIsInherited) {
  BaseWindow base;
  DerivedWindow derived;
  ASSERT_TRUE(Make(base));
  ASSERT_TRUE(Make(derived));
  struct Case {
    framework::CWindow* w;
    UINT message;
    WPARAM wParam;
    LRESULT result;
  } cases[] = {
      {&base, WM_APP + 1, 0, 1},        {&derived, WM_APP + 1, 0, 2},      {&derived, WM_APP + 2, 5, 105},
      {&base, g_registered, 0, 0},      {&derived, g_registered, 0, 7},    {&derived, WM_APP + 3, 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.w->SendMsg(c.message, c.wParam), c.result) << c.message;

  g_log.clear();
  for (WPARAM id : {100, 205, 203, 211}) derived.SendMsg(WM_COMMAND, id);
  base.SendMsg(WM_COMMAND, 205);
  // Code 1: a list's selection change where an entry wants it, else an
  // accelerator meaning the command.
  derived.SendMsg(WM_COMMAND, MAKEWPARAM(220, LBN_SELCHANGE));
  derived.SendMsg(WM_COMMAND, MAKEWPARAM(100, 1));
  EXPECT_EQ(g_log, (std::vector<std::string>{"base:100", "derived:205", "range:203", "range:205", "select:220",
                                             "base:100"}));
}

namespace {

// Each station of the route handles the commands from 301 up to its own
// last id: view 301, document 302, frame 303, application 304; 305 has no
// handler; 306 only an update handler.
class RouteView : public framework::CView {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
  void HandleId(UINT) { g_log.push_back("view"); }
};
FRAMEWORK_BEGIN_MESSAGE_MAP(RouteView, framework::CView)
  framework::OnCommandRange<&RouteView::HandleId>(301, 301),
FRAMEWORK_END_MESSAGE_MAP()

class RouteDoc : public framework::CDocument {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
  void HandleId(UINT) { g_log.push_back("doc"); }
};
FRAMEWORK_BEGIN_MESSAGE_MAP(RouteDoc, framework::CDocument)
  framework::OnCommandRange<&RouteDoc::HandleId>(301, 302),
FRAMEWORK_END_MESSAGE_MAP()

class RouteFrame : public framework::CFrameWindow {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
  void HandleId(UINT) { g_log.push_back("frame"); }
};
FRAMEWORK_BEGIN_MESSAGE_MAP(RouteFrame, framework::CFrameWindow)
  framework::OnCommandRange<&RouteFrame::HandleId>(301, 303),
FRAMEWORK_END_MESSAGE_MAP()

class RouteApp : public framework::CApplication {
 public:
  FRAMEWORK_DECLARE_MESSAGE_MAP()
  void HandleId(UINT) { g_log.push_back("app"); }
  void OnUpdate306(framework::CCmdUI* ui) { ui->SetCheck(1); }

 protected:
  bool InitInstance() override { return true; }
};
FRAMEWORK_BEGIN_MESSAGE_MAP(RouteApp, framework::CApplication)
  framework::OnCommandRange<&RouteApp::HandleId>(301, 304),
  framework::OnUpdateUi<&RouteApp::OnUpdate306>(306),
FRAMEWORK_END_MESSAGE_MAP()

class RouteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.SetInstanceHandle(::GetModuleHandleA(nullptr));
    app_.SetShowCommand(SW_HIDE);
    app_.AddDocTemplate(std::make_unique<framework::CSingleDocTemplate>(
        0, [] { return std::make_unique<RouteDoc>(); }, [] { return new RouteFrame(); },
        [] { return new RouteView(); }));
    ASSERT_TRUE(app_.OnFileNew());
    frame_ = ::GetActiveWindow() ? app_.GetMainWindow() : app_.GetMainWindow();
    ASSERT_NE(frame_, nullptr);
  }
  void TearDown() override {
    ::DestroyWindow(frame_);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  RouteApp app_;
  HWND frame_ = nullptr;
};

}  // namespace

TEST_F(RouteTest, CommandsGoViewDocumentFrameApplication) {
  const char* expected[] = {"view", "doc", "frame", "app"};
  for (UINT id = 301; id <= 304; ++id) {
    g_log.clear();
    ::SendMessageA(frame_, WM_COMMAND, id, 0);
    ASSERT_EQ(g_log.size(), 1u) << id;
    EXPECT_EQ(g_log[0], expected[id - 301]);
  }
  g_log.clear();
  ::SendMessageA(frame_, WM_COMMAND, 305, 0);
  EXPECT_TRUE(g_log.empty());
}

TEST_F(RouteTest, MenuItemsWithoutAHandlerOnTheRouteAreGrey) {
  HMENU bar = ::CreateMenu();
  HMENU popup = ::CreatePopupMenu();
  for (UINT id = 301; id <= 306; ++id) ::AppendMenuA(popup, MF_STRING, id, "item");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "menu");
  ::SetMenu(frame_, bar);
  ::SendMessageA(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  for (UINT id = 301; id <= 306; ++id) {
    UINT state = ::GetMenuState(popup, id, MF_BYCOMMAND);
    EXPECT_EQ((state & MF_GRAYED) != 0, id == 305) << id;
    EXPECT_EQ((state & MF_CHECKED) != 0, id == 306) << id;
  }
}
