// CGridHScrollBar: the horizontal bar (see scroll_bar.h); not scaled.
#pragma once

#include "grid/parts/scroll_bar.h"

class CGridHScrollBar : public CGridScrollBarBase {
 public:
  using CGridScrollBarBase::CGridScrollBarBase;
  bool Create(HWND grid);
  void Update() override;
  void OnScroll(int code, int position) override;

 private:
  int trackCol_ = -1;
};
