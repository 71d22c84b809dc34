// CGridSheetTabs: the sheet-tab bar at the left end of the horizontal scroll
// bar, holding up to 64 tabs (label, width, value, colours). The selected
// tab is drawn in white. A click selects a tab, scrolls it into view and
// reports its value (OnSheetTabClicked); a small scroll bar in the left
// margin scrolls the tabs; the bar's last 7 pixels are a splitter that
// sets the bar's width.
#pragma once

#include <string>
#include <vector>

#include "grid/parts/part_window.h"

class CGridSheetTabs : public CGridPartWindow {
 public:
  enum : int { kMaxTabs = 64 };
  struct Tab {
    std::string label;
    int width;
    int value;
    COLORREF textColor;
    COLORREF backColor;
  };

  explicit CGridSheetTabs(CGridCore* grid);
  ~CGridSheetTabs() override;
  bool CreateBar(HWND grid);
  // 1 when 64 tabs exist, else 0.
  int AddTab(const std::string& label, int value);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  const Tab& GetTab(int i) const { return tabs_[static_cast<size_t>(i)]; }
  int GetSelected() const { return selected_; }
  int GetOffset() const { return offset_; }
  // The tab's left edge in the bar (before it, the margin); -1 outside.
  int TabLeft(int index) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  void RecomputeMax();
  // Gives the bar the range of the tabs' overflow and the present offset.
  void UpdateScrollBar();
  void OnButtonDown(POINT pt);
  void OnMouseMove(POINT pt);
  void OnRightButton(POINT pt);
  void OnScroll(int code);
  int TabAt(int x) const;

  HWND scrollBar_ = nullptr;
  bool splitterHot_ = false, splitting_ = false;
  std::vector<Tab> tabs_;
  int offset_ = 0, maxOffset_ = 0;
  int selected_ = 0;
  int leftMargin_;
  HFONT font_;
};
