// CScrollView: a view larger than its window, in pixels (MM_TEXT). The
// owner sets the total size and, optionally, a page and a line step (by
// default a tenth of the total and a tenth of the page). The position is
// kept within 0..total - client on each axis; a scroll bar is shown only
// while the total exceeds the client on its axis. OnPrepareDC moves the
// viewport origin by the position, so OnDraw paints in document pixels.
#pragma once

#include "framework/docview/view.h"

namespace framework {

class CScrollView : public CView {
 public:
  // Sizes below zero count as zero; a page or line of 0 takes its default.
  void SetScrollSizes(SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0});
  SIZE GetTotalSize() const { return total_; }
  SIZE GetPageSize() const { return page_; }
  SIZE GetLineSize() const { return line_; }
  POINT GetScrollPosition() const { return pos_; }
  // Scrolls to the point, clamped to the scrollable range.
  void ScrollToPosition(POINT pt);

  // Offsets the viewport origin by the scroll position.
  virtual void OnPrepareDC(HDC dc);
  // A scroll-bar message: `code` is the SB_ code in the low byte and, in
  // the high byte, SB_HORZ (0) or SB_VERT (1) as 0x00 / 0x01 markers
  // (MAKEWORD(code, bar)). SB_THUMBPOSITION and the codes from 8 on
  // (SB_ENDSCROLL and beyond) leave the position. True when it moved.
  virtual bool OnScroll(UINT code, UINT pos, bool doScroll = true);
  // Moves by `by` pixels (clamped); true when the position changed.
  virtual bool OnScrollBy(SIZE by, bool doScroll = true);

 protected:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void UpdateBars();
  SIZE ClientSize() const;
  POINT Clamp(POINT pt) const;

  SIZE total_{0, 0};
  SIZE page_{0, 0};
  SIZE line_{0, 0};
  POINT pos_{0, 0};
  bool inUpdate_ = false;
};

}  // namespace framework
