// Thin wrappers over the standard controls, bound to a dialog's control by
// SubclassDlgItem (the control's own procedure stays the default).
#pragma once

#include <string>

#include "framework/window.h"

namespace framework {

class CStatic : public CWindow {
 public:
  void SetBitmap(HBITMAP bitmap) { SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); }
};

class CButton : public CWindow {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWindow {
 public:
  void LimitText(int max) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(max)); }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CComboBox : public CWindow {
 public:
  int AddString(const std::string& s) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  void SetCurSel(int i) { SendMessage(CB_SETCURSEL, static_cast<WPARAM>(i)); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
};

class CListBox : public CWindow {
 public:
  int AddString(const std::string& s) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  void SetCurSel(int i) { SendMessage(LB_SETCURSEL, static_cast<WPARAM>(i)); }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
};

}  // namespace framework
