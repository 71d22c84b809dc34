#include "grid/data/cell_compare.h"

#include <mbstring.h>

#include <cstdlib>

#include "grid/cell/grid_cell.h"

namespace {

bool IsNumericType(short type) { return type == 2 || type == 3 || type == 5; }

// 0 null, 1 present without text, 2 with text.
int Rank(const CGridCell* c) {
  if (!c) return 0;
  return c->GetTextLength() ? 2 : 1;
}

}  // namespace

int CompareGridCells(const CGridCell* a, const CGridCell* b, int flags) {
  if (flags & kGridSortDescending) {
    const CGridCell* t = a;
    a = b;
    b = t;
  }
  const int ra = Rank(a), rb = Rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra < 2) return 0;
  if (IsNumericType(a->GetDataType()) && IsNumericType(b->GetDataType())) {
    const double x = std::strtod(a->GetTextPtr(), nullptr);
    const double y = std::strtod(b->GetTextPtr(), nullptr);
    if (x < y) return -1;
    if (x > y) return 1;
    return 0;
  }
  const int r = _mbscmp(reinterpret_cast<const unsigned char*>(a->GetTextPtr()),
                        reinterpret_cast<const unsigned char*>(b->GetTextPtr()));
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
