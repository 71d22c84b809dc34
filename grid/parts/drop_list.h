// CGridDropList: the list box a drop-list cell opens, a child of the cell
// area (id 123) subclassed here. It never captures the mouse: its scroll
// bar works as any list box's, and a press anywhere else takes the focus
// from it, which closes it without a choice. Its window is destroyed by a
// message it posts to itself, never inside its own handlers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CGridDropListType;

class CGridDropList {
 public:
  explicit CGridDropList(CGridDropListType* type) : type_(type) {}
  ~CGridDropList();
  CGridDropList(const CGridDropList&) = delete;
  CGridDropList& operator=(const CGridDropList&) = delete;
  // Creates, fills, shows and focuses the list; false when it cannot be
  // created.
  bool Open(HWND area, const RECT& rect, HFONT font, int itemHeight, const std::vector<std::string>& choices);
  bool IsOpen() const { return open_; }
  HWND GetSafeHwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  void OnKillFocus(WPARAM wParam);
  void Choose();
  void Close();

  CGridDropListType* type_;
  HWND hwnd_ = nullptr;
  HWND area_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  bool open_ = false, chosen_ = false;
};
