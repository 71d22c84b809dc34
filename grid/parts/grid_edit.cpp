#include "grid/parts/grid_edit.h"

#include "grid/core/grid_core.h"

CGridEdit::~CGridEdit() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CGridEdit::Create(HWND grid) {
  hwnd_ = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 0, 0, grid,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(CGridCore::kEditorId)),
                            ::GetModuleHandleA(nullptr), nullptr);
  return hwnd_ != nullptr;
}
