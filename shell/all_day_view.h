// CAllDayView: the all-day occurrences of the shown day. For now an empty
// white pane: the day views fill it in, in the same place of the window
// tree and of the document's view order.
#pragma once

#include "framework/docview/view.h"

class CAllDayView : public framework::CView {
 protected:
  void OnDraw(HDC dc) override;
};
