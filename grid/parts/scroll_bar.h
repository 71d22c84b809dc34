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
  // Range, page and position from the sheet, after every change.
  virtual void Update() = 0;
  // A scroll code with its thumb position.
  virtual void OnScroll(int code, int position) = 0;

 protected:
  bool CreateBar(HWND grid, DWORD style, int id);
  // The thumb's text in the grid's hint window, placed by flags.
  void ShowThumbText(const char* text, int flags, int x, int y, int minWidth);
  CGridCore* grid_;
  HWND hwnd_ = nullptr;
};
