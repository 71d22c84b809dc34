#include "framework/controls/tool_bar.h"

#include <commctrl.h>

#include "framework/application.h"

namespace framework {

namespace {
HINSTANCE ResourceInstance() {
  CApplication* app = TheApp();
  return app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
}
}  // namespace

bool CToolBar::Create(HWND parent, DWORD toolStyle, DWORD style, UINT id) {
  HWND h = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style | toolStyle | WS_CHILD, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ResourceInstance(), nullptr);
  if (!h) return false;
  ::SendMessageA(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  return SubclassWindow(h);
}

bool CToolBar::LoadToolBar(UINT id) {
  HINSTANCE inst = ResourceInstance();
  HRSRC res = ::FindResourceA(inst, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolBarResourceType));
  if (!res) return false;
  DWORD size = ::SizeofResource(inst, res);
  const auto* words = static_cast<const WORD*>(::LockResource(::LoadResource(inst, res)));
  if (!words || size < 8 || words[0] != 1) return false;
  WORD count = words[3];
  if (size < 8u + 2u * count) return false;
  imageSize_ = SIZE{words[1], words[2]};
  ids_.assign(words + 4, words + 4 + count);

  SendMsg(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize_.cx, imageSize_.cy));
  int images = 0;
  for (UINT cmd : ids_) images += cmd != 0;
  // Light grey in the strip shows as the button face.
  HBITMAP strip = ::CreateMappedBitmap(inst, static_cast<INT_PTR>(id), 0, nullptr, 0);
  TBADDBITMAP ab{nullptr, reinterpret_cast<UINT_PTR>(strip)};
  SendMsg(TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&ab));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (UINT cmd : ids_) {
    TBBUTTON b{};
    if (cmd == 0) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = image++;
      b.idCommand = static_cast<int>(cmd);
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(b);
  }
  SendMsg(TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMsg(TB_AUTOSIZE);
  return true;
}

}  // namespace framework
