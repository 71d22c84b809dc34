// CGridSheetTabs: the sheet-tab bar at the left end of the horizontal scroll
// bar, holding up to 64 tabs (label, width, value, colours). The selected
// tab is drawn in white. Clicking and scrolling the tabs arrive with the
// bar's input handling.
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

 protected:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;

 private:
  void RecomputeMax();

  std::vector<Tab> tabs_;
  int offset_ = 0, maxOffset_ = 0;
  int selected_ = 0;
  int leftMargin_;
  HFONT font_;
};
