// CGridView: the event list view of the first pane (0xE900). Until the
// list itself is built it is an empty white pane that takes the focus, so
// the frame's accelerators work.
#pragma once

#include "framework/docview/view.h"

class CGridView : public framework::CView {
 protected:
  void OnDraw(HDC dc) override;
};
