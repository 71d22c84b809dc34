#include "shell/grid_view.h"

void CGridView::OnDraw(HDC dc) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}
