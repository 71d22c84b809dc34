// Drives CWindow by messages: binding at WM_NCCREATE, typed dispatch, and
// the unbinding that makes late messages harmless.
#include "framework/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kClass = "AlmacoraWindowTestClass";

class RecordingWindow : public framework::CWindow {
 public:
  std::vector<std::string> events;
  bool refuseCreate = false;
  bool* destroyedFlag = nullptr;

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override {
    events.push_back(std::string("create:") + (cs.lpszName ? cs.lpszName : ""));
    return !refuseCreate;
  }
  void OnClose() override {
    events.push_back("close");
    CWindow::OnClose();
  }
  void OnDestroy() override { events.push_back("destroy"); }
  void OnSize(UINT, int cx, int cy) override { events.push_back("size:" + std::to_string(cx) + "x" + std::to_string(cy)); }
  void OnTimer(UINT_PTR id) override { events.push_back("timer:" + std::to_string(id)); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 1) return static_cast<LRESULT>(wParam + lParam);
    return CWindow::WindowProc(message, wParam, lParam);
  }
  void PostNcDestroy() override {
    events.push_back("postncdestroy");
    if (destroyedFlag) *destroyedFlag = true;
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(framework::CWindow::RegisterClass(::GetModuleHandleA(nullptr), kClass)); }
};

bool CreateTestWindow(RecordingWindow& w, const char* title = "Probe") {
  return w.Create(kClass, title, WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100, nullptr, nullptr,
                  ::GetModuleHandleA(nullptr));
}

}  // namespace

TEST_F(WindowTest, BindsAtCreationAndDispatchesTypedHandlers) {
  RecordingWindow w;
  ASSERT_TRUE(CreateTestWindow(w));
  HWND h = w.GetSafeHwnd();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(framework::CWindow::FromHandle(h), &w);
  EXPECT_EQ(w.GetWindowText(), "Probe");
  ASSERT_FALSE(w.events.empty());
  EXPECT_EQ(w.events.front(), "create:Probe");

  ::SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(321, 123));
  ::SendMessageA(h, WM_TIMER, 7, 0);
  EXPECT_EQ(::SendMessageA(h, WM_APP + 1, 40, 2), 42);
  EXPECT_EQ(w.events[w.events.size() - 2], "size:321x123");
  EXPECT_EQ(w.events.back(), "timer:7");

  ::SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(w.GetSafeHwnd(), nullptr);
  ASSERT_GE(w.events.size(), 3u);
  EXPECT_EQ(w.events[w.events.size() - 3], "close");
  EXPECT_EQ(w.events[w.events.size() - 2], "destroy");
  EXPECT_EQ(w.events.back(), "postncdestroy");
}

TEST_F(WindowTest, RefusedCreationLeavesNoWindowAndNoBinding) {
  RecordingWindow w;
  w.refuseCreate = true;
  EXPECT_FALSE(CreateTestWindow(w));
  EXPECT_EQ(w.GetSafeHwnd(), nullptr);
}

TEST_F(WindowTest, DestroyingTheObjectDestroysTheWindowWithoutCallingBack) {
  HWND h;
  bool destroyed = false;
  {
    RecordingWindow w;
    w.destroyedFlag = &destroyed;
    ASSERT_TRUE(CreateTestWindow(w));
    h = w.GetSafeHwnd();
  }
  EXPECT_FALSE(::IsWindow(h));
  // The object was gone before its window: no handler may have run on it.
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(framework::CWindow::FromHandle(h), nullptr);
}

TEST_F(WindowTest, WindowsOfTheClassWithoutAnObjectUseTheDefaultProcedure) {
  HWND h = ::CreateWindowExA(0, kClass, "Bare", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(framework::CWindow::FromHandle(h), nullptr);
  EXPECT_EQ(::SendMessageA(h, WM_APP + 1, 40, 2), 0);
  ::SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(h));
}

TEST(WindowClass, RegisteringTwiceIsNotAnError) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  EXPECT_TRUE(framework::CWindow::RegisterClass(inst, "AlmacoraTwiceClass"));
  EXPECT_TRUE(framework::CWindow::RegisterClass(inst, "AlmacoraTwiceClass"));
}
