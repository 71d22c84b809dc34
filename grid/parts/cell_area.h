// CGridCellArea: the child window showing the cells of the current sheet
// and taking the mouse, keyboard and wheel input for them.
//
// It paints only what changed: the cells to paint are collected in a draw
// hint, and Update after a move scrolls the shown contents by the distance
// the view moved (or repaints everything when the distance exceeds the
// area) before painting the uncovered band and the old and new current
// cells. With double buffering every paint goes to an off-screen bitmap
// that is kept in step with the window (scrolled with it, repainted whole
// when re-made) and then copied to the window.
#pragma once

#include <string>

#include "grid/parts/draw_hint.h"
#include "grid/parts/part_window.h"

class CGridCellArea : public CGridPartWindow {
 public:
  explicit CGridCellArea(CGridCore* grid) : CGridPartWindow(grid) {}
  ~CGridCellArea() override;
  bool CreateArea(HWND grid);

  // Paints what changed since the last update (see above).
  void Update();
  // Add to the draw hint, then Update.
  void RedrawCell(int col, int row);
  void RedrawRow(int row);
  void RedrawRange(int left, int top, int right, int bottom);
  // Hints every cell for the next paint.
  void RedrawAll();
  // 1 on: paint through an off-screen bitmap of the client size. Answers 1
  // (and stays off) when the bitmap cannot be made, else 0.
  int SetDoubleBuffer(int mode);
  int GetDoubleBuffer() const { return doubleBuffer_; }
  bool HasFocus() const { return hasFocus_; }
  // Tips for the cell under the mouse (texts from OnGetCellTip), on or off.
  void EnableTips(bool on);
  HWND GetTipWindow() const { return tips_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnDestroy() override;

 private:
  // Painting (cell_area_paint.cpp).
  void OnPaintMessage();
  void PaintHinted(HDC windowDc);
  void HintAll();
  bool MakeBitmap();
  void FreeBitmap();
  // Mouse (cell_area_mouse.cpp).
  void OnButtonDown(bool left, UINT keys, POINT pt);
  void OnButtonUp(bool left, POINT pt);
  void OnDoubleClick(POINT pt);
  void OnMouseMove(UINT keys, POINT pt);
  void DragLoop(POINT pt);
  // Keys, wheel and focus (cell_area_keys.cpp).
  void OnKeyDown(UINT key);
  void OnChar(UINT ch);
  void OnWheel(int delta);
  LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  void OnFocus(bool gained);
  // Tips (cell_area_tips.cpp).
  void RelayToTips(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(LPARAM lParam);

  CGridDrawHint hint_;
  HBITMAP bitmap_ = nullptr;
  HDC memDc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int doubleBuffer_ = 0;
  int repeatCount_ = 0;
  int wheelRemainder_ = 0;
  bool hasFocus_ = false;
  bool capturedByType_ = false;
  bool captureLost_ = false;
  bool inDrag_ = false;
  // The first visible column and row of the contents on screen.
  int shownFirstCol_ = -1, shownFirstRow_ = -1;
  int shownCurCol_ = -1, shownCurRow_ = -1;
  HWND tips_ = nullptr;
  int tipCol_ = -1, tipRow_ = -1;
  std::string tipText_;
};
