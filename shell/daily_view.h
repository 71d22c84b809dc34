// CDailyView: the day schedule, a scrolling view of the 24 hours of one day. For now an empty
// white pane: the day views fill it in, in the same place of the window
// tree and of the document's view order.
#pragma once

#include "framework/docview/scroll_view.h"

class CDailyView : public framework::CScrollView {
 protected:
  void OnDraw(HDC dc) override;
};
