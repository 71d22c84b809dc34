// CGridVScrollBar: the vertical bar (see scroll_bar.h).
#pragma once

#include "grid/parts/scroll_bar.h"

class CGridVScrollBar : public CGridScrollBarBase {
 public:
  using CGridScrollBarBase::CGridScrollBarBase;
  bool Create(HWND grid);
  void Update() override;
  void OnScroll(int code, int position) override;
  // The first visible row a thumb position stands for.
  int RowForPosition(int position) const;

 private:
  int lastLimit_ = -2, lastMode_ = -2, lastFrozen_ = -2, lastFirst_ = -2;
  double rowToPos_ = 1.0, posToRow_ = 1.0;
  int trackRow_ = -1;
};
