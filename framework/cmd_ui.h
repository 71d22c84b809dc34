// CCmdUI: the state of one user-interface item (a menu item, a toolbar
// button, a status-bar pane) handed to update-UI handlers, which call
// Enable, SetCheck and SetText on it.
//
// DoUpdate routes the update through a target. When no update handler is
// on the route and `disableIfNoHandler` is set, the item is enabled exactly
// when some command handler for its id is on the route, so a command that
// nothing handles stays grey.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CCmdTarget;

class CCmdUI {
 public:
  UINT id = 0;
  UINT index = 0;           // position in the menu, toolbar or status bar
  HMENU menu = nullptr;     // set for menu items
  HWND toolBar = nullptr;   // set for toolbar buttons
  HWND statusBar = nullptr; // set for status-bar panes
  bool enableChanged = false;

  virtual ~CCmdUI() = default;
  virtual void Enable(bool on = true);
  virtual void SetCheck(int check = 1);
  virtual void SetText(const std::string& text);

  // True when an update handler ran.
  bool DoUpdate(CCmdTarget& target, bool disableIfNoHandler);
};

}  // namespace framework
