#include "framework/cmd_ui.h"

#include <commctrl.h>

#include "framework/cmd_target.h"

namespace framework {

void CCmdUI::Enable(bool on) {
  enableChanged = true;
  if (menu) {
    ::EnableMenuItem(menu, index, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (toolBar) {
    ::SendMessageA(toolBar, TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
  }
}

void CCmdUI::SetCheck(int check) {
  if (menu) {
    ::CheckMenuItem(menu, index, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
  } else if (toolBar) {
    ::SendMessageA(toolBar, TB_CHECKBUTTON, id, MAKELPARAM(check ? TRUE : FALSE, 0));
  }
}

void CCmdUI::SetText(const std::string& text) {
  if (menu) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<char*>(text.c_str());
    ::SetMenuItemInfoA(menu, index, TRUE, &mii);
  } else if (statusBar) {
    ::SendMessageA(statusBar, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

bool CCmdUI::DoUpdate(CCmdTarget& target, bool disableIfNoHandler) {
  enableChanged = false;
  if (target.OnCmdMsg(id, kCmdUpdateUi, this)) return true;
  if (disableIfNoHandler && !enableChanged) Enable(target.OnCmdMsg(id, kCmdProbe, nullptr));
  return false;
}

}  // namespace framework
