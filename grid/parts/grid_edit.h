// CGridEdit: the grid's in-place editor, a multi-line edit control (child
// id 123) created hidden with the grid. Beginning and ending edits arrive
// with in-place editing.
#pragma once

#include <windows.h>

class CGridEdit {
 public:
  CGridEdit() = default;
  ~CGridEdit();
  CGridEdit(const CGridEdit&) = delete;
  CGridEdit& operator=(const CGridEdit&) = delete;
  bool Create(HWND grid);
  HWND GetSafeHwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};
