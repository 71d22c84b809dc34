// CStatusBar: a common-controls status bar with panes identified by
// command ids. Pane 0 (id 0) stretches; every other pane is as wide as its
// sizing text in the bar's font.
#pragma once

#include <string>
#include <vector>

#include "framework/window.h"

namespace framework {

struct StatusPane {
  UINT id;
  std::string sizingText;  // empty for the stretching pane
};

class CStatusBar : public CWindow {
 public:
  bool Create(HWND parent, DWORD style, UINT id);
  bool SetIndicators(const std::vector<StatusPane>& panes);
  // Recomputes the pane edges for the current width.
  void UpdatePanes();
  int CommandToIndex(UINT id) const;
  void SetPaneText(int index, const std::string& text);
  std::string GetPaneText(int index) const;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::vector<StatusPane> panes_;
  std::vector<int> widths_;
};

}  // namespace framework
