// CTimePickerEdit: a time field made of a time-only CDateTimePicker (child
// id 41001) and a small drop button (41000) that opens CTimePickerList.
// The parent creates it with the window text "TIMEPICKER" and its own id
// (CreateField) and sees every notification of the inner picker, and a time
// chosen in the list, as WM_NOTIFY from this control's id and window
// (DTN_DATETIMECHANGE, code -759, for a change).
#pragma once

#include <windows.h>

#include "dialogs/event/date_time_picker.h"
#include "dialogs/event/time_picker_list.h"
#include "framework/window.h"
#include "controls/flat_button.h"

namespace dialogs {

class CTimePickerEdit : public framework::CWindow {
 public:
  static constexpr int kPickerId = 41001;
  static constexpr int kButtonId = 41000;

  // Creates the visible tab-stop child at `rect` (client coordinates of the
  // parent) with the id `id`.
  bool CreateField(HWND parent, const RECT& rect, int id);

  void GetTime(CDateTime& value) const { picker_.GetTime(value); }
  void SetTime(const CDateTime& value) { picker_.SetTime(value); }

  CDateTimePicker& Picker() { return picker_; }
  CTimePickerList& List() { return list_; }
  // What the drop button does: the list under the inner picker.
  void DropDown();

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnChosen(WPARAM, LPARAM);
  void NotifyParent(const NMHDR& header, LPARAM original);

  CDateTimePicker picker_;
  CTimePickerList list_;
  shellcontrols::CFlatButton button_;
};

}  // namespace dialogs
