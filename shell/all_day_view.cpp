#include "shell/all_day_view.h"

void CAllDayView::OnDraw(HDC dc) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}
