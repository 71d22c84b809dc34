// CHoverBitmapButton: an owner-drawn button showing one of four bitmaps
// (up, down, focused, disabled; the owner supplies them). A mouse move off
// the button hands the capture to its parent, so a pop-up that tracks the
// mouse gets it back. Bind it by SubclassDlgItem or SubclassWindow.
#pragma once

#include "framework/controls/simple_controls.h"

namespace shellcontrols {

class CHoverBitmapButton : public framework::CButton {
 public:
  ~CHoverBitmapButton() override;
  // Takes ownership of the bitmaps (any may be null: up is used instead).
  void SetBitmaps(HBITMAP up, HBITMAP down, HBITMAP focus, HBITMAP disabled);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void DrawItem(DRAWITEMSTRUCT* item);
  HBITMAP bitmaps_[4] = {};
};

}  // namespace shellcontrols
