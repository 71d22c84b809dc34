// The day pop-up's geometry, without a window: which line lies under a
// point and where the pop-up goes so that it stays on the monitor.
#pragma once

namespace daypopup {

// The 0-based line under client y: lines follow the heading, `lineHeight`
// each; -1 on the heading, below the last line or with no lines.
int LineAt(int y, int headingHeight, int lineHeight, int count);

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// The pop-up of `width` x `height` placed at (x, y), moved up and left just
// enough to stay inside `work`; one taller (wider) than the work area
// starts at its top (left).
Rect FitInWorkArea(int x, int y, int width, int height, const Rect& work);

}  // namespace daypopup
