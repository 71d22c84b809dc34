// The base of every window of the program: one C++ object per HWND.
//
// The object is bound to its window in WM_NCCREATE (from the CREATESTRUCT's
// lpCreateParams) and unbound in WM_NCDESTROY; messages that arrive before
// the binding or after the unbinding go to DefWindowProc, so a window
// procedure never touches a missing object. Subclasses override the typed
// handlers they need, or WindowProc itself for messages without one.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CWindow {
 public:
  CWindow() = default;
  virtual ~CWindow();
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;

  // Registers a window class whose procedure dispatches to CWindow objects.
  // Registering the same name twice is not an error.
  static bool RegisterClass(HINSTANCE instance, const char* className, HICON icon = nullptr,
                            HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                            UINT style = CS_HREDRAW | CS_VREDRAW, const char* menuName = nullptr);

  // Creates the window of a class registered through RegisterClass and
  // binds it to this object. Returns false when CreateWindowEx failed.
  bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parent, HMENU menu, HINSTANCE instance);

  HWND GetSafeHwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }
  void DestroyWindow();
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);

  // The object bound to a window of ours, or null.
  static CWindow* FromHandle(HWND hwnd);

 protected:
  // Dispatches to the typed handlers; the default for anything unhandled
  // is DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // Typed handlers. OnCreate returning false cancels the creation.
  virtual bool OnCreate(const CREATESTRUCTA& /*cs*/) { return true; }
  virtual void OnClose() { DestroyWindow(); }
  virtual void OnDestroy() {}
  virtual void OnPaint(HDC /*dc*/, const PAINTSTRUCT& /*ps*/) {}
  virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
  virtual void OnTimer(UINT_PTR /*id*/) {}
  // Called after WM_NCDESTROY, when the window is gone and the object no
  // longer bound; owners that allocate windows may delete them here.
  virtual void PostNcDestroy() {}

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace framework
