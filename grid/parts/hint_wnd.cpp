#include "grid/parts/hint_wnd.h"

#include "grid/core/grid_core.h"

bool CGridHintWnd::CreateHint(HWND grid) { return CreatePart("AlmacoraGridHint", WS_CHILD, WS_EX_TOPMOST, grid, CGridCore::kHintId); }

void CGridHintWnd::SetText(const std::string& text, bool redraw) {
  text_ = text;
  if (redraw) Invalidate();
}

void CGridHintWnd::OnPaint(HDC dc, const PAINTSTRUCT&) {
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  ::SetTextColor(dc, textColor_);
  ::SetBkColor(dc, backColor_);
  ::ExtTextOutA(dc, 2, 1, ETO_OPAQUE | ETO_CLIPPED, &client, text_.c_str(), static_cast<UINT>(text_.size()), nullptr);
  ::FrameRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
