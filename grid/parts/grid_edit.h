// CGridEdit: the grid's in-place editor, a system multi-line edit control
// (child id 123) created hidden with the grid and subclassed here. Tab,
// Enter, Escape and the vertical arrows on one line end the edit by giving
// the focus back to the grid; losing the focus ends the edit through
// CGridCore::EndEdit. An end refused inside the grid takes the focus back
// by a posted message, so it never fights another window for the focus.
// An editor offered in place of the standard one (OnEditBegin) is attached
// to a second CGridEdit, so that it ends edits exactly the same way; it is
// given back to its owner unchanged when detached.
#pragma once

#include <windows.h>

class CGridCore;

class CGridEdit {
 public:
  explicit CGridEdit(CGridCore* grid) : grid_(grid) {}
  ~CGridEdit();
  CGridEdit(const CGridEdit&) = delete;
  CGridEdit& operator=(const CGridEdit&) = delete;
  bool Create(HWND grid);
  // Takes an owner's editor window (not owned; false for none, or one
  // already serving an editor); Detach gives it back.
  bool Attach(HWND editor);
  void Detach();
  HWND GetSafeHwnd() const { return hwnd_; }
  // Widens and heightens the editor to its text, cell by cell, inside the
  // part hosting it; it never shrinks. Called when the text changed.
  void GrowToText();

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  void Subclass(HWND h);
  void OnSetFocus(WPARAM wParam);
  bool OnKeyDown(UINT key);
  void OnKillFocus(HWND gaining);
  LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  void Leave(int nextCol, int nextRow, bool moveNext, bool cancelled);

  CGridCore* grid_;
  HWND hwnd_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  bool cancelled_ = false, moveNext_ = false;
  int nextCol_ = 0, nextRow_ = 0;
  int height_ = 0, lineHeight_ = 0;
  bool autoGrow_ = true;
  bool owned_ = false;
};
