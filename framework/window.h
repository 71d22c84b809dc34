// The base of every window of the program: one C++ object per HWND.
//
// The object is bound to its window in WM_NCCREATE (from the CREATESTRUCT's
// lpCreateParams) and unbound in WM_NCDESTROY; messages that arrive before
// the binding or after the unbinding go to DefWindowProc, so a window
// procedure never touches a missing object. Dialogs bind at WM_INITDIALOG
// (CDialog), existing windows (controls, the property sheet) by
// subclassing: their old procedure is kept and is then the default.
//
// Dispatch: WindowProc first looks the message up in the message map chain
// (OnWndMsg: commands are routed through OnCmdMsg, WM_NOTIFY by code and
// id, CTLCOLOR / DRAWITEM / MEASUREITEM are first reflected to the control
// that sent them), then in the typed virtual handlers below, and gives the
// rest to Default (the old procedure, DefDlgProc or DefWindowProc).
#pragma once

#include <windows.h>

#include <string>

#include "framework/cmd_target.h"

namespace framework {

class CWindow : public CCmdTarget {
 public:
  CWindow() = default;
  ~CWindow() override;

  // Registers a window class whose procedure dispatches to CWindow objects.
  // Registering the same name twice is not an error.
  static bool RegisterClass(HINSTANCE instance, const char* className, HICON icon = nullptr,
                            HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                            UINT style = CS_HREDRAW | CS_VREDRAW, const char* menuName = nullptr);

  // Creates the window of a class registered through RegisterClass and
  // binds it to this object. Returns false when CreateWindowEx failed.
  bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parent, HMENU menu, HINSTANCE instance);

  // Binds this object to an existing window by replacing its procedure;
  // the old one handles whatever this object does not. False when the
  // window is missing or already bound.
  bool SubclassWindow(HWND hwnd);
  bool SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }
  // Puts the old procedure back and unbinds; returns the window.
  HWND UnsubclassWindow();

  HWND GetSafeHwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }
  void DestroyWindow();
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);
  // Named apart from the Win32 calls so that unqualified calls to those
  // in derived classes still find them.
  LRESULT SendMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
  }
  bool PostMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(hwnd_, message, wParam, lParam) != FALSE;
  }
  HWND GetItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  bool Show(int show) { return ::ShowWindow(hwnd_, show) != FALSE; }

  // The object bound to a window of ours, or null.
  static CWindow* FromHandle(HWND hwnd);

  // Called by the message loop for every message to this window or one of
  // its children, innermost first; true means it was handled and is not
  // dispatched (accelerators, dialog navigation).
  virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }

  // A modal loop on this window: pumps messages (with pre-translation and
  // idle processing) until EndModalLoop; returns its code. A WM_QUIT ends
  // it too (it is posted again for the outer loop) with -1.
  int RunModalLoop();
  void EndModalLoop(int code);
  bool IsInModalLoop() const { return inModal_; }

 protected:
  // Dispatches to the message map, then the typed handlers; the default
  // for anything unhandled is Default.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The old procedure of a subclassed window, DefDlgProc's turn for a
  // dialog, else DefWindowProc.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // The message map part of WindowProc: true with *result when handled.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // WM_COMMAND: routes the command; true when something handled it.
  virtual bool OnCommandMessage(WPARAM wParam, LPARAM lParam);
  // A message reflected from the parent (kReflect + message); true with
  // *result when this control handled it.
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Typed handlers (not called for subclassed windows, whose own procedure
  // handles these messages). OnCreate returning false cancels the creation.
  virtual bool OnCreate(const CREATESTRUCTA& /*cs*/) { return true; }
  virtual void OnClose() { DestroyWindow(); }
  virtual void OnDestroy() {}
  virtual void OnPaint(HDC /*dc*/, const PAINTSTRUCT& /*ps*/) {}
  virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
  virtual void OnTimer(UINT_PTR /*id*/) {}
  // Called after WM_NCDESTROY, when the window is gone and the object no
  // longer bound; owners that allocate windows may delete them here.
  virtual void PostNcDestroy() {}

  // Binds and unbinds (for the dialog procedures).
  void Attach(HWND hwnd);
  void Detach();

  // Set while a dialog procedure calls WindowProc: Default then marks the
  // message as not handled instead of calling a procedure.
  bool dialogDispatch_ = false;
  bool dialogUnhandled_ = false;

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  bool inModal_ = false;
  bool modalDone_ = false;
  int modalResult_ = 0;
};

// Pumps one message: GetMessage, pre-translation through the windows from
// the target up to its top-level window and the application, dispatch.
// False on WM_QUIT (msg.wParam holds the code).
bool PumpMessage(MSG& msg);

}  // namespace framework
