#include "shell/core/day_popup_geometry.h"

namespace daypopup {

int LineAt(int y, int headingHeight, int lineHeight, int count) {
  if (lineHeight <= 0 || count <= 0) return -1;
  if (y <= headingHeight || y >= headingHeight + count * lineHeight) return -1;
  return (y - headingHeight) / lineHeight;
}

namespace {
int Fit(int at, int size, int low, int high) {
  if (at + size > high) at = high - size;
  if (at < low) at = low;
  return at;
}
}  // namespace

Rect FitInWorkArea(int x, int y, int width, int height, const Rect& work) {
  Rect r;
  r.left = Fit(x, width, work.left, work.right);
  r.top = Fit(y, height, work.top, work.bottom);
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

}  // namespace daypopup
