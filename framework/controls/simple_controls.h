// Thin wrappers over the standard controls, bound to a dialog's control by
// SubclassDlgItem (the control's own procedure stays the default).
#pragma once

#include <string>

#include "framework/window.h"

namespace framework {

class CStatic : public CWindow {
 public:
  void SetBitmap(HBITMAP bitmap) { SendMsg(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); }
};

class CButton : public CWindow {
 public:
  int GetCheck() const { return static_cast<int>(SendMsg(BM_GETCHECK)); }
  void SetCheck(int check) { SendMsg(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWindow {
 public:
  void LimitText(int max) { SendMsg(EM_LIMITTEXT, static_cast<WPARAM>(max)); }
  void SetSel(int start, int end) { SendMsg(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CComboBox : public CWindow {
 public:
  int AddString(const std::string& s) { return static_cast<int>(SendMsg(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
  int GetCurSel() const { return static_cast<int>(SendMsg(CB_GETCURSEL)); }
  void SetCurSel(int i) { SendMsg(CB_SETCURSEL, static_cast<WPARAM>(i)); }
  int GetCount() const { return static_cast<int>(SendMsg(CB_GETCOUNT)); }
  void ResetContent() { SendMsg(CB_RESETCONTENT); }
};

class CListBox : public CWindow {
 public:
  int AddString(const std::string& s) { return static_cast<int>(SendMsg(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
  int GetCurSel() const { return static_cast<int>(SendMsg(LB_GETCURSEL)); }
  void SetCurSel(int i) { SendMsg(LB_SETCURSEL, static_cast<WPARAM>(i)); }
  int GetCount() const { return static_cast<int>(SendMsg(LB_GETCOUNT)); }
  void ResetContent() { SendMsg(LB_RESETCONTENT); }
};

}  // namespace framework
