#include "shell/daily_view.h"

void CDailyView::OnDraw(HDC dc) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}
