// CCalFrame: the frame of the lower pane. It holds the month and week
// view (CCalView, child 1) and the day layout (CSplitterView, child 2);
// the one shown carries the pane id 0xE900 and is the frame's active view.
// The day layout is made the first time it is shown.
#pragma once

#include "framework/docview/splitter_window.h"
#include "framework/frame_window.h"

class CCalView;
class CSplitterView;

class CCalFrame : public framework::CFrameWindow, public framework::ISplitterPane {
 public:
  static constexpr UINT kCalViewId = 1;
  static constexpr UINT kSplitterViewId = 2;

  bool CreatePane(HWND parent, UINT id, framework::CCreateContext* context) override;
  // 1 the month/week view, 2 the day layout; anything else, a missing
  // view or the current one does nothing.
  void SwitchView(int view);
  int GetCurrentView() const { return current_; }
  CCalView* GetCalView() const { return calView_; }
  // Null until the day layout was first shown.
  CSplitterView* GetSplitterView() const { return splitterView_; }

 protected:
  bool OnCreateClient(const CREATESTRUCTA& cs, framework::CCreateContext* context) override;
  void OnDestroy() override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool CreateSplitterView();

  framework::CCreateContext* context_ = nullptr;
  framework::CDocument* document_ = nullptr;
  int current_ = 0;
  CCalView* calView_ = nullptr;
  CSplitterView* splitterView_ = nullptr;
};
