// CTypeAheadCombo: an editable sorted drop-down combo (CBS_DROPDOWN |
// CBS_SORT) whose edit part completes typed text from the combo's own list:
// the first entry beginning with the text (case-insensitive) is selected
// and its untyped tail highlighted, so typing on replaces it. An empty
// text is never completed. Bind it to an existing combo with
// SubclassWindow / SubclassDlgItem; the edit part is bound on first use.
#pragma once

#include "dialogs/event/key_edit.h"
#include "framework/controls/simple_controls.h"

namespace dialogs {

class CTypeAheadCombo : public framework::CComboBox {
 public:
  // The next text change is left as it is (Delete asks this).
  void SkipNextCompletion() { completeNext_ = 0; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BindEdit(HWND edit);
  void Complete();

  CKeyEdit edit_;
  unsigned char completeNext_ = 1;
  bool completing_ = false;
};

}  // namespace dialogs
