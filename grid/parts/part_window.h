// CGridPartWindow: the common base of the grid's own part windows (cell
// area, headings, corner button, sheet-tab bar, hint window): a child
// window of the grid bound to its C++ object, reading the grid's current
// sheet through the grid.
#pragma once

#include <windows.h>

#include "framework/window.h"

class CGridCore;

class CGridPartWindow : public framework::CWindow {
 public:
  explicit CGridPartWindow(CGridCore* grid) : grid_(grid) {}
  // Creates the window as a child of the grid with the given id and style
  // and an empty rectangle.
  bool CreatePart(const char* className, DWORD style, DWORD exStyle, HWND parent, int id);
  void Move(const RECT& rect, bool repaint);
  void Invalidate(const RECT* rect = nullptr);
  // One round's wait of a drag loop: dispatches the thread's messages
  // until delay milliseconds have passed. False when the loop must end: a
  // mouse move or button-up is queued, the window lost the capture (or
  // captureLost was set), or the window is gone.
  static bool WaitDragStep(HWND hwnd, DWORD delay, const bool* captureLost);

 protected:
  bool OnCreate(const CREATESTRUCTA&) override { return true; }
  void FillBackground(HDC dc, const RECT& rect, COLORREF color);
  CGridCore* grid_;
};
