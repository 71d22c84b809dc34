// CFlatButton: an owner-drawn push button showing a downward arrow in a
// thin 3-D frame; pressed, the frame sinks and the arrow moves one pixel
// right and down. Bind it to a BS_OWNERDRAW button by SubclassDlgItem.
#pragma once

#include "framework/controls/simple_controls.h"

namespace shellcontrols {

class CFlatButton : public framework::CButton {
 public:
  // Draws the button into rect of dc, pressed or not (also for tests).
  static void Paint(HDC dc, const RECT& rect, bool pressed);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 private:
  void DrawItem(DRAWITEMSTRUCT* item);
};

}  // namespace shellcontrols
