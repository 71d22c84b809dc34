// The static splitter's layout rules and bar dragging, and the scroll
// view's steps and range, on real windows.
#include <gtest/gtest.h>

#include "framework/docview/scroll_view.h"
#include "framework/docview/splitter_window.h"

namespace {

class Host : public framework::CWindow {
 public:
  Host(int w, int h) {
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    RegisterClass(inst, "AlmacoraSplitterTestHost");
    Create("AlmacoraSplitterTestHost", "", WS_POPUP, 0, 0, 0, w, h, nullptr, nullptr, inst);
  }
  ~Host() override { DestroyWindow(); }
};

struct Splitter {
  Host host{300, 400};
  framework::CSplitterWindow splitter;
  Splitter(int ideal0, int min0, int min1) {
    EXPECT_TRUE(splitter.CreateStatic(host.GetSafeHwnd(), 2, 1));
    for (int r = 0; r < 2; ++r) {
      auto* view = new framework::CView;
      EXPECT_TRUE(splitter.CreateView(r, 0, view, SIZE{300, r == 0 ? ideal0 : 0}, nullptr));
    }
    splitter.SetRowInfo(0, ideal0, min0);
    splitter.SetRowInfo(1, 0, min1);
    ::MoveWindow(splitter.GetSafeHwnd(), 0, 0, 300, 400, TRUE);
  }
  std::pair<int, int> Rows() const {
    int a = 0, b = 0, m = 0;
    splitter.GetRowInfo(0, &a, &m);
    splitter.GetRowInfo(1, &b, &m);
    return {a, b};
  }
};

TEST(SplitterWindow, RowsTakeIdealCollapseBelowMinimumAndTheLastTakesTheRest) {
  struct Case {
    int ideal0, min0, min1, row0, row1;
  } cases[] = {{100, 40, 0, 100, 286}, {30, 40, 0, 0, 390}, {350, 40, 80, 390, 0}, {40, 40, 0, 40, 346}};
  for (const Case& c : cases) {
    Splitter s(c.ideal0, c.min0, c.min1);
    EXPECT_EQ(std::make_pair(c.row0, c.row1), s.Rows()) << c.ideal0;
  }
}

TEST(SplitterWindow, PanesCarryTheirIdsAndADroppedBarSizesTheRowAbove) {
  Splitter s(100, 40, 0);
  EXPECT_EQ(s.splitter.GetPane(1, 0), ::GetDlgItem(s.splitter.GetSafeHwnd(), 0xE910));
  RECT pane;
  ::GetWindowRect(s.splitter.GetPane(1, 0), &pane);
  ::MapWindowPoints(nullptr, s.splitter.GetSafeHwnd(), reinterpret_cast<POINT*>(&pane), 2);
  EXPECT_EQ(112, pane.top);  // 2 + 100 + 2 + 6 + 2
  // The bar sits at 104..110: drag it down to 200.
  s.splitter.SendMsg(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 106));
  s.splitter.SendMsg(WM_LBUTTONUP, 0, MAKELPARAM(10, 200));
  EXPECT_EQ(std::make_pair(196, 190), s.Rows());
  // Dragged to the top: the row falls below its minimum and collapses;
  // its bar stays to drag it open again.
  s.splitter.SendMsg(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 201));
  s.splitter.SendMsg(WM_LBUTTONUP, 0, MAKELPARAM(10, 0));
  EXPECT_EQ(std::make_pair(0, 390), s.Rows());
  EXPECT_FALSE(::IsWindowVisible(s.splitter.GetPane(0, 0)));
  s.splitter.SendMsg(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 2));
  s.splitter.SendMsg(WM_LBUTTONUP, 0, MAKELPARAM(10, 154));
  EXPECT_EQ(150, s.Rows().first);
}

TEST(SplitterWindow, KeyboardTrackingMovesTheBarUntilEnterOrEscape) {
  Splitter s(100, 40, 0);
  s.splitter.DoKeyboardSplit();
  EXPECT_TRUE(s.splitter.IsTracking());
  s.splitter.SendMsg(WM_KEYDOWN, VK_DOWN);
  s.splitter.SendMsg(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(100, s.Rows().first);
  s.splitter.DoKeyboardSplit();
  s.splitter.SendMsg(WM_KEYDOWN, VK_DOWN);
  s.splitter.SendMsg(WM_KEYDOWN, VK_DOWN);
  s.splitter.SendMsg(WM_KEYDOWN, VK_RETURN);
  EXPECT_FALSE(s.splitter.IsTracking());
  EXPECT_EQ(130, s.Rows().first);
}

class Scroller : public framework::CScrollView {};

TEST(ScrollView, StepsDefaultFromTheTotalAndThePositionStaysInRange) {
  Host host(300, 300);
  auto* view = new Scroller;
  ASSERT_TRUE(view->CreateView(host.GetSafeHwnd(), 1, nullptr));
  ::MoveWindow(view->GetSafeHwnd(), 0, 0, 300, 300, TRUE);
  view->SetScrollSizes(SIZE{200, 1000});
  EXPECT_EQ(100, view->GetPageSize().cy);
  EXPECT_EQ(10, view->GetLineSize().cy);
  RECT rc;
  ::GetClientRect(view->GetSafeHwnd(), &rc);
  EXPECT_EQ(300, rc.bottom);
  view->ScrollToPosition(POINT{0, 900});
  EXPECT_EQ(700, view->GetScrollPosition().y);
  struct Case {
    int code, pos, y;
  } cases[] = {{SB_LINEUP, 0, 690}, {SB_PAGEUP, 0, 590}, {SB_THUMBPOSITION, 5, 590}, {SB_ENDSCROLL, 0, 590},
               {SB_THUMBTRACK, 20, 20}, {SB_TOP, 0, 0}, {SB_LINEUP, 0, 0}, {SB_BOTTOM, 0, 700}};
  for (const Case& c : cases) {
    view->OnScroll(MAKEWORD(c.code, SB_VERT), static_cast<UINT>(c.pos));
    EXPECT_EQ(c.y, view->GetScrollPosition().y) << c.code;
  }
  // No bar while the total fits.
  EXPECT_FALSE(::GetWindowLongA(view->GetSafeHwnd(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_TRUE(::GetWindowLongA(view->GetSafeHwnd(), GWL_STYLE) & WS_VSCROLL);
}

}  // namespace
