#include "shell/calendar/event_text_cell_type.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/gdi/gdi.h"
#include "grid/cell/grid_cell.h"
#include "model/settings/program_settings.h"
#include "shell/core/cal_geometry.h"
#include "shell/calendar/month_grid_ctrl.h"

namespace {
constexpr COLORREF kMoreColour = 200;
constexpr COLORREF kWeekNumberColour = 0x800000;

HFONT MakePointFont(const LogFont& font) {
  LOGFONTA lf{};
  std::memcpy(&lf, &font, sizeof lf);
  if (lf.lfHeight == 0) lf.lfHeight = 80;
  if (lf.lfFaceName[0] == '\0') std::strcpy(lf.lfFaceName, "MS Sans Serif");
  framework::CFont f;
  f.CreatePointFontIndirect(lf);
  return f.Detach();
}
}  // namespace

CEventTextCellType::~CEventTextCellType() {
  DropFonts();
  if (weekNumber_) ::DeleteObject(weekNumber_);
}

void CEventTextCellType::DropFonts() {
  for (HFONT* f : {&heading_, &weekHeading_, &item_}) {
    if (*f) ::DeleteObject(*f);
    *f = nullptr;
  }
}

void CEventTextCellType::FontsChanged() { DropFonts(); }

HFONT CEventTextCellType::Font(HFONT* own, void* ready, const LogFont& logFont) {
  // The settings' own font is the one Options rebuilds, so it is read at
  // every draw; a font of this type's own stands in only without it.
  if (ready) return static_cast<HFONT>(ready);
  if (!*own) *own = MakePointFont(logFont);
  return *own;
}

void CEventTextCellType::OnDraw(HDC dc, int /*col*/, int /*row*/, const RECT* rect, const CGridCell& cell,
                                int /*selected*/, int /*current*/) {
  RECT r = *rect;
  DrawBorder(dc, &r, cell);
  const bool week = grid_ && grid_->GetMode() == 1;
  HFONT heading = week ? Font(&weekHeading_, g_Settings.CalWeekHeadingFontObject, g_Settings.CalWeekHeadingLogFont)
                       : Font(&heading_, g_Settings.CalHeadingFontObject, g_Settings.CalHeadingLogFont);
  HGDIOBJ oldFont = ::SelectObject(dc, heading);
  const bool marked = cell.GetBackColor() != 0xFFFFFF;
  const COLORREF back = marked ? ::GetSysColor(COLOR_HIGHLIGHT) : 0xFFFFFF;
  const COLORREF text = marked ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : cell.GetTextColor();
  HBRUSH brush = ::CreateSolidBrush(back);
  ::SetBkColor(dc, back);
  ::SetTextColor(dc, text);
  ::SetBkMode(dc, OPAQUE);

  std::string heading_text;
  cell.GetText(&heading_text);
  SIZE ext{0, 0};
  ::GetTextExtentPoint32A(dc, heading_text.empty() ? "Yy" : heading_text.c_str(),
                          heading_text.empty() ? 2 : static_cast<int>(heading_text.size()), &ext);
  RECT strip{r.left, r.top, r.right, std::min<LONG>(r.top + ext.cy + (week ? 2 : 0), r.bottom)};
  ::FillRect(dc, &strip, brush);
  RECT textRect = strip;
  if (week) textRect.left += 3;
  ::DrawTextA(dc, heading_text.c_str(), static_cast<int>(heading_text.size()), &textRect,
              DT_SINGLELINE | DT_NOPREFIX);
  RECT rest{r.left, strip.bottom, r.right, r.bottom};
  ::FillRect(dc, &rest, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  int linesTop = strip.bottom;
  if (week) {
    ::MoveToEx(dc, r.left + 3, strip.bottom, nullptr);
    ::LineTo(dc, r.right - 3, strip.bottom);
    linesTop += 2;
  }

  int32_t julian = 0;
  const bool hasDate = cell.GetUserValue(&julian) && julian > 0;
  const CDateTime date = hasDate ? CDateTime(julian, CDateTime::kFloating) : CDateTime();
  if (hasDate && g_Settings.ShowWeekNums && calgeom::ShowsWeekNumber(date)) {
    if (!weekNumber_) {
      framework::CFont f;
      f.CreatePointFont(80, "MS Sans Serif");
      weekNumber_ = f.Detach();
    }
    ::SelectObject(dc, weekNumber_);
    char buf[16];
    std::snprintf(buf, sizeof buf, "-%d-", date.GetIsoWeek());
    SIZE w{0, 0};
    ::GetTextExtentPoint32A(dc, buf, static_cast<int>(std::strlen(buf)), &w);
    RECT box{r.right - static_cast<int>(1.1 * w.cx), r.top, r.right, r.top + w.cy};
    ::FillRect(dc, &box, brush);
    ::SetTextColor(dc, marked ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : kWeekNumberColour);
    ::DrawTextA(dc, buf, -1, &box, DT_SINGLELINE | DT_NOPREFIX);
  }
  ::DeleteObject(brush);

  const CCalPage::DayList* list = hasDate && grid_ ? grid_->GetDayOccurrences(date) : nullptr;
  if (list) {
    ::SelectObject(dc, Font(&item_, g_Settings.CalItemFontObject, g_Settings.CalItemLogFont));
    ::SetBkColor(dc, 0xFFFFFF);
    bool drawn = false, cut = false;
    int i = 0;
    for (const COccurrenceRef& ref : *list) {
      std::string label;
      int continues = 0;
      ref.GetDisplayText(label, date, &continues);
      SIZE sz{0, 0};
      ::GetTextExtentPoint32A(dc, label.empty() ? " " : label.c_str(), label.empty() ? 1 : static_cast<int>(label.size()),
                              &sz);
      const int h = sz.cy;
      RECT line{r.left, linesTop + i * h, r.right - (continues ? 5 : 0), linesTop + i * h + h};
      if (line.top >= r.bottom) {
        cut = true;
        break;
      }
      bool last = false;
      if (line.bottom > r.bottom) {
        line.bottom = r.bottom;
        last = cut = true;
      }
      const COLORREF colour = static_cast<COLORREF>(ref.GetColor());
      ::SetTextColor(dc, colour);
      // A text longer than the cell ends in "..." at the border.
      ::DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &line,
                  DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
      drawn = true;
      if (continues) {
        const int m = line.top + (line.bottom - line.top) / 2;
        POINT pts[3] = {{line.right + 1, m - 4}, {line.right + 1, m + 4}, {line.right + 5, m}};
        HBRUSH b = ::CreateSolidBrush(colour);
        HPEN p = ::CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ ob = ::SelectObject(dc, b);
        HGDIOBJ op = ::SelectObject(dc, p);
        ::Polygon(dc, pts, 3);
        ::SelectObject(dc, ob);
        ::SelectObject(dc, op);
        ::DeleteObject(b);
        ::DeleteObject(p);
      }
      if (last) break;
      ++i;
    }
    if (drawn && cut) {
      // The more-items box: 9 x 9 ending one pixel beyond the cell.
      RECT box{rect->right - 8, rect->bottom - 8, rect->right + 1, rect->bottom + 1};
      ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
      HBRUSH frame = ::CreateSolidBrush(kMoreColour);
      ::FrameRect(dc, &box, frame);
      ::DeleteObject(frame);
      HPEN pen = ::CreatePen(PS_SOLID, 1, kMoreColour);
      HGDIOBJ op = ::SelectObject(dc, pen);
      ::MoveToEx(dc, box.left + 4, box.top + 2, nullptr);
      ::LineTo(dc, box.left + 4, box.bottom - 2);
      ::MoveToEx(dc, box.left + 2, box.top + 4, nullptr);
      ::LineTo(dc, box.right - 2, box.top + 4);
      ::SelectObject(dc, op);
      ::DeleteObject(pen);
    }
  }
  ::SelectObject(dc, oldFont);
}
