// CSplitterWindow: a static splitter, a grid of panes (rows x columns)
// fixed at creation, with bars between them that the user drags (mouse,
// or the keyboard after the split command 32870).
//
// Layout (columns alike): each shown pane has a 2-pixel border on every
// side; neighbouring rows are a 6-pixel bar apart. Rows but the last take
// their ideal height, or 0 (collapsed) when the ideal is below their
// minimum, each at most what is left; the last takes the rest and, when
// that is below its minimum and a shown row lies above, collapses and
// that row takes the space. A collapsed row shows only its bar, which
// drags it open. A bar dropped at y sizes the row above it to reach y
// (the next row, unless last, gives up the difference).
//
// Pane ids are 0xE900 + 16 x row + column.
#pragma once

#include <vector>

#include "framework/frame_window.h"
#include "framework/window.h"

namespace framework {

class CView;

// A pane that is not a view (a frame of its own) creates itself through
// this when the splitter asks.
class ISplitterPane {
 public:
  virtual ~ISplitterPane() = default;
  virtual bool CreatePane(HWND parent, UINT id, CCreateContext* context) = 0;
};

class CSplitterWindow : public CWindow {
 public:
  enum SplitType { kSplitBox = 1, kSplitBar = 2, kSplitIntersection = 3, kSplitBorder = 4 };
  static constexpr int kBorder = 2;
  static constexpr int kBarSize = 6;
  static constexpr UINT kIdWindowSplit = 32870;

  // Creates the splitter window as child `id` of `parent`; rows and
  // columns 1..16. False when the window cannot be made.
  bool CreateStatic(HWND parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = kIdPaneFirst);
  // Creates `pane` (a CView, or an ISplitterPane) in (row, col) with the
  // pane id, ideal size `size` (cx for its column, cy for its row) and the
  // document of `context`. The splitter does not own the object; views
  // and frames delete themselves with their windows.
  bool CreateView(int row, int col, CWindow* pane, SIZE size, CCreateContext* context);
  static UINT IdFromRowCol(int row, int col) { return kIdPaneFirst + 16 * row + col; }
  HWND GetPane(int row, int col) const;
  CWindow* GetPaneObject(int row, int col) const;

  int GetRowCount() const { return static_cast<int>(rows_.size()); }
  int GetColumnCount() const { return static_cast<int>(cols_.size()); }
  // Current and minimum size; false for a bad index.
  bool GetRowInfo(int row, int* current, int* minimum) const;
  bool GetColumnInfo(int col, int* current, int* minimum) const;
  // Sets the ideal size and minimum (below 0 counts as 0); call
  // RecalcLayout to apply.
  void SetRowInfo(int row, int ideal, int minimum);
  void SetColumnInfo(int col, int ideal, int minimum);
  void RecalcLayout();

  // The pane that has (or last had) the focus.
  bool GetActivePane(int* row, int* col) const;
  void SetActivePane(int row, int col);

  // Keyboard tracking of the first bar: arrows move it, Enter drops it,
  // Escape cancels.
  void DoKeyboardSplit();
  bool IsTracking() const { return tracking_; }

 protected:
  // Draws a part (kSplitBar, kSplitBorder around a pane) into dc; with no
  // dc the part is only invalidated.
  virtual void OnDrawSplitter(HDC dc, SplitType type, const RECT& rect);

  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  struct Info {
    int ideal = 0;
    int minimum = 0;
    int current = 0;
    int start = 0;  // of the border
  };
  static void Lay(std::vector<Info>& infos, int total);
  // The bar under a point: index of the row/column above/left of it, or -1.
  int BarAt(const std::vector<Info>& infos, int at) const;
  static int BarPos(const std::vector<Info>& infos, int index);
  void DropBar(bool vertical, int index, int at);
  void StartTracking(bool vertical, int index, int at);
  void EndTracking(bool accept);
  void DrawTracker();

  std::vector<Info> rows_;
  std::vector<Info> cols_;
  std::vector<std::vector<CWindow*>> panes_;
  int activeRow_ = 0;
  int activeCol_ = 0;
  bool tracking_ = false;
  bool trackVertical_ = true;  // a row bar (moves up and down)
  int trackIndex_ = 0;
  int trackPos_ = 0;
  bool trackerShown_ = false;
};

}  // namespace framework
