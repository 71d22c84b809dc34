#include "framework/controls/tool_tip.h"

#include <commctrl.h>

namespace framework {

bool CToolTipCtrl::Create(HWND owner) {
  HWND h = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
  return h && SubclassWindow(h);
}

}  // namespace framework
