// The grid's two scroll bars: system scroll-bar controls whose positions
// map to the first visible row and column. Their notifications reach the
// grid as WM_VSCROLL and WM_HSCROLL, and the grid hands them to OnScroll.
//
// The vertical bar scales: above 1000 possible first rows the bar runs to
// 1000 and a position stands for limit / 1000 rows, so that 16-bit thumb
// positions reach every row.
#pragma once

#include <windows.h>

class CGridCore;

class CGridScrollBarBase {
 public:
  explicit CGridScrollBarBase(CGridCore* grid) : grid_(grid) {}
  virtual ~CGridScrollBarBase();
  CGridScrollBarBase(const CGridScrollBarBase&) = delete;
  CGridScrollBarBase& operator=(const CGridScrollBarBase&) = delete;
  HWND GetSafeHwnd() const { return hwnd_; }
  void Move(const RECT& rect, bool repaint);
  void Invalidate();
  // A right button press on the bar offers the grid's pop-up menu for
  // this part (CGridCore::kPartVScroll or kPartHScroll).
  void OnRightButtonDown(POINT screen);
  // Range, page and position from the sheet, after every change.
  virtual void Update() = 0;
  // A scroll code with its thumb position.
  virtual void OnScroll(int code, int position) = 0;

 protected:
  // Creates the system bar and routes its messages through this object.
  bool CreateBar(HWND grid, DWORD style, int id, int part);
  // The grid's movement code (CGridCore::kPrev...) for a line, page or
  // end scroll code; -1 for the thumb codes and the rest.
  static int MovementFor(int code);
  // The bar's rectangle and the mouse, in the grid's client coordinates.
  void BarAndMouse(RECT* bar, POINT* mouse) const;
  // The thumb's text in the grid's hint window, placed by flags.
  void ShowThumbText(const char* text, int flags, int x, int y, int minWidth);
  CGridCore* grid_;
  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK BarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC systemProc_ = nullptr;
  int part_ = 0;
};
