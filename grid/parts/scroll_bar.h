// CGridVScrollBar and CGridHScrollBar: the grid's two scroll bars, system
// scroll-bar controls that show the sheet's scroll position. Update sets
// range, page and position from the sheet after every change; the bars'
// own messages reach the grid as WM_VSCROLL and WM_HSCROLL.
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
  virtual void Update() = 0;

 protected:
  bool CreateBar(HWND grid, DWORD style, int id);
  CGridCore* grid_;
  HWND hwnd_ = nullptr;
};

class CGridVScrollBar : public CGridScrollBarBase {
 public:
  using CGridScrollBarBase::CGridScrollBarBase;
  bool Create(HWND grid);
  void Update() override;
};

class CGridHScrollBar : public CGridScrollBarBase {
 public:
  using CGridScrollBarBase::CGridScrollBarBase;
  bool Create(HWND grid);
  void Update() override;
};
