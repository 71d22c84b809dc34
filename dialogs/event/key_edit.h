// CKeyEdit: the edit part of a CTypeAheadCombo. Backspace with a completed
// tail selected removes the tail and the last typed letter together;
// Delete tells the combo not to complete the text it leaves.
#pragma once

#include "framework/controls/simple_controls.h"

namespace dialogs {

class CKeyEdit : public framework::CEdit {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace dialogs
