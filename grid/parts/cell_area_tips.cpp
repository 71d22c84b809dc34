// Tips of the cell area: one tool over the whole area whose text is asked
// for when shown; moving to another cell takes the shown tip down, so the
// next one shows that cell's text.
#include <windows.h>

#include <commctrl.h>

#include "grid/core/grid_core.h"
#include "grid/parts/cell_area.h"

namespace {

TOOLINFOA AreaTool(HWND area) {
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = area;
  ti.uId = 1;
  ::GetClientRect(area, &ti.rect);
  ti.lpszText = LPSTR_TEXTCALLBACKA;
  return ti;
}

}  // namespace

void CGridCellArea::EnableTips(bool on) {
  HWND h = GetSafeHwnd();
  if (!on || !h) {
    if (tips_ && ::IsWindow(tips_)) ::DestroyWindow(tips_);
    tips_ = nullptr;
    return;
  }
  if (tips_) return;
  tips_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                            h, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!tips_) return;
  TOOLINFOA ti = AreaTool(h);
  ::SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  tipCol_ = tipRow_ = -1;
}

void CGridCellArea::RelayToTips(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tips_) return;
  HWND h = GetSafeHwnd();
  if (message == WM_SIZE) {
    TOOLINFOA ti = AreaTool(h);
    ::SendMessageA(tips_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  int col = -1, row = -1;
  if (grid_->HitTest(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), &col, &row, nullptr) != 0) {
    col = row = -1;
  }
  if (col != tipCol_ || row != tipRow_) {
    tipCol_ = col;
    tipRow_ = row;
    ::SendMessageA(tips_, TTM_POP, 0, 0);
  }
  MSG msg{h, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {0, 0}};
  ::SendMessageA(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CGridCellArea::OnNotify(LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->hwndFrom != tips_ || header->code != TTN_GETDISPINFOA) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
  tipText_.clear();
  if (tipCol_ >= 0 && tipRow_ >= 0) grid_->OnGetCellTip(tipCol_, tipRow_, CGridCore::kPartCells, &tipText_);
  info->lpszText = const_cast<char*>(tipText_.c_str());
  return 0;
}
