#include "shell/calendar/cal_page_painter.h"

#include <cstdio>
#include <cstring>

#include "framework/gdi/gdi.h"
#include "model/settings/program_settings.h"
#include "shell/core/cal_geometry.h"
#include "shell/core/cal_page.h"

namespace calpaint {

namespace {

std::string Printf(const char* fmt, const std::string& a, int b, int c = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, a.c_str(), b, c);
  return buf;
}

struct Scheme {
  COLORREF title, weekday, band, line, day, item;
  int lineWidth;
  const LogFont* titleFont;
  const LogFont* weekdayFont;
  const LogFont* dayFont;
  const LogFont* itemFont;
};

Scheme SchemeOf(short style) {
  const CProgramSettings& s = g_Settings;
  if (style == kPictureScheme)
    return {0x800000, 0xFFFFFF, 0x800000, 0x800000, 0x000080, 0x800000, 1, &s.MonthHeadingLogFont,
            &s.DayHeadingLogFont, &s.CalHeadingLogFont, &s.CalItemLogFont};
  return {static_cast<COLORREF>(s.rgb_MonthHeading), static_cast<COLORREF>(s.rgb_DayHeading),
          static_cast<COLORREF>(s.rgb_CalHeadingBkColor), static_cast<COLORREF>(s.rgb_CalLineColor),
          static_cast<COLORREF>(s.rgb_Day), static_cast<COLORREF>(s.rgb_Item), s.cal_line_width,
          &s.MonthHeadingLogFont, &s.DayHeadingLogFont, &s.DayLogFont, &s.ItemLogFont};
}

HFONT MakeFont(const LogFont& font, HDC dc) {
  LOGFONTA lf{};
  static_assert(sizeof(LogFont) == sizeof(LOGFONTA), "the stored font is the platform's layout");
  std::memcpy(&lf, &font, sizeof lf);
  if (lf.lfHeight == 0) lf.lfHeight = 80;  // settings not loaded: a plain 8-point font
  if (lf.lfFaceName[0] == '\0') std::strcpy(lf.lfFaceName, "MS Sans Serif");
  framework::CFont f;
  f.CreatePointFontIndirect(lf, dc);
  return f.Detach();
}

// Everything one painting selects, restored and deleted at the end.
class Painting {
  HDC dc_;

 public:
  Painting(HDC dc, const RECT& rect, short style) : dc_(dc), scheme(SchemeOf(style)) {
    W = rect.right - rect.left;
    H = rect.bottom - rect.top;
    colourCoded = UsesItemColours(dc, style);
    RECT all{0, 0, W, H};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    brush_ = ::CreateSolidBrush(scheme.band);
    pen_ = ::CreatePen(PS_SOLID, scheme.lineWidth, scheme.line);
    title = MakeFont(*scheme.titleFont, dc);
    weekday = MakeFont(*scheme.weekdayFont, dc);
    day = MakeFont(*scheme.dayFont, dc);
    item = MakeFont(*scheme.itemFont, dc);
    oldPen_ = ::SelectObject(dc, pen_);
    oldFont_ = ::SelectObject(dc, title);
    oldBrush_ = ::SelectObject(dc, brush_);
  }
  ~Painting() {
    ::SelectObject(dc_, oldPen_);
    ::SelectObject(dc_, oldFont_);
    ::SelectObject(dc_, oldBrush_);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(brush_), static_cast<HGDIOBJ>(pen_), static_cast<HGDIOBJ>(title),
                      static_cast<HGDIOBJ>(weekday), static_cast<HGDIOBJ>(day), static_cast<HGDIOBJ>(item)})
      if (o) ::DeleteObject(o);
  }
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;

  int TextHeight(HFONT font, const std::string& text) const {
    ::SelectObject(dc_, font);
    SIZE sz{0, 0};
    ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &sz);
    return sz.cy;
  }
  void Text(HFONT font, COLORREF colour, UINT align, int x, int y, const std::string& text) const {
    ::SelectObject(dc_, font);
    ::SetTextColor(dc_, colour);
    ::SetTextAlign(dc_, align);
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  }
  void Line(int x0, int y0, int x1, int y1) const {
    ::MoveToEx(dc_, x0, y0, nullptr);
    ::LineTo(dc_, x1, y1);
  }
  // The items of one day's cell.
  void Items(const CCalPage& page, const CDateTime& date, int x0, int x1, int yb, int yi) const {
    const CCalPage::DayList* list = page.LookupDate(date);
    if (!list) return;
    ::SelectObject(dc_, item);
    ::SetTextAlign(dc_, TA_LEFT | TA_TOP);
    int i = 0;
    for (const COccurrenceRef& ref : *list) {
      std::string label;
      int continues = 0;
      ref.GetDisplayText(label, date, &continues);
      SIZE sz{0, 0};
      ::GetTextExtentPoint32A(dc_, label.c_str(), static_cast<int>(label.size()), &sz);
      const int h = sz.cy;
      RECT r{x0, yi + i * h, x1, yi + i * h + h};
      if (continues) r.right -= static_cast<int>(0.4 * h);
      bool last = false;
      if (r.bottom > yb) {
        r.bottom = yb;
        last = true;
      }
      const COLORREF colour = colourCoded ? static_cast<COLORREF>(ref.GetColor()) : scheme.item;
      ::SetTextColor(dc_, colour);
      ::DrawTextA(dc_, label.c_str(), static_cast<int>(label.size()), &r,
                  DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
      if (continues) DrawContinuationMark(dc_, r, colour);
      if (last || r.top >= yb) break;
      ++i;
    }
  }

  int W = 0, H = 0;
  bool colourCoded = false;
  Scheme scheme;
  HFONT title = nullptr, weekday = nullptr, day = nullptr, item = nullptr;

 private:
  HBRUSH brush_ = nullptr;
  HPEN pen_ = nullptr;
  HGDIOBJ oldPen_ = nullptr, oldFont_ = nullptr, oldBrush_ = nullptr;
};

}  // namespace

bool UsesItemColours(HDC dc, short pictureStyle) {
  return calgeom::UsesItemColours(g_Settings.ColorCodePrinting, ::GetDeviceCaps(dc, NUMCOLORS), pictureStyle);
}

std::string FormatDate(const CDateTime& day, const char* picture) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(day.GetYear(CDateTime::kAsLocal));
  st.wMonth = static_cast<WORD>(day.GetMonth(CDateTime::kAsLocal));
  st.wDay = static_cast<WORD>(day.GetDay(CDateTime::kAsLocal));
  st.wDayOfWeek = static_cast<WORD>(day.GetWeekday(CDateTime::kAsLocal) % 7);
  char buf[128] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, picture, buf, sizeof buf);
  return buf;
}

std::string WeekTitle(const CDateTime& start) {
  CDateTime end = start;
  end.AddDays(6);
  const std::string first = FormatDate(start, "MMMM d");
  if (start.GetMonth(CDateTime::kAsLocal) == end.GetMonth(CDateTime::kAsLocal))
    return Printf("%s - %d, %d", first, end.GetDay(CDateTime::kAsLocal), end.GetYear(CDateTime::kAsLocal));
  char buf[256];
  std::snprintf(buf, sizeof buf, "%s - %s, %d", first.c_str(), FormatDate(end, "MMMM d").c_str(),
                end.GetYear(CDateTime::kAsLocal));
  return buf;
}

void DrawContinuationMark(HDC dc, const RECT& r, COLORREF colour) {
  const int m = r.top + (r.bottom - r.top) / 2;
  const int k = static_cast<int>((r.bottom - r.top) * 0.4);
  POINT pts[3] = {{r.right, m - k}, {r.right, m + k}, {r.right + k, m}};
  HRGN region = ::CreatePolygonRgn(pts, 3, ALTERNATE);
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRgn(dc, region, brush);
  ::DeleteObject(brush);
  ::DeleteObject(region);
}

void PaintMonth(const CCalPage& page, HDC dc, const RECT& rect, short pictureStyle) {
  Painting p(dc, rect, pictureStyle);
  const int startDay = g_Settings.CalendarStartDay;
  const CDateTime& start = page.GetStart();
  const int month = start.GetMonth(CDateTime::kAsLocal);
  const int year = start.GetYear(CDateTime::kAsLocal);
  const CDateTime first(1, month, year);
  if (first.IsEmpty()) return;
  const int firstCol = calgeom::WeekSlotOf(first, startDay);
  const int n = first.GetDaysInMonth(CDateTime::kAsLocal);
  const int rows = calgeom::MonthWeekRows(firstCol, n);

  const std::string title = Printf("%s %d", FormatDate(first, "MMMM"), year);
  p.Text(p.title, p.scheme.title, TA_CENTER | TA_TOP, p.W / 2, 0, title);
  const int titleH = static_cast<int>(1.2 * p.TextHeight(p.title, title));
  const int headH = static_cast<int>(1.4 * p.TextHeight(p.weekday, "Yy"));
  const int gridTop = titleH + headH;
  const int colW = p.W / 7;

  ::Rectangle(dc, 0, titleH, p.W + 1, gridTop + 1);
  ::SetBkMode(dc, TRANSPARENT);
  CDateTime name(startDay == 1 ? 2 : 1, 6, 1997);
  for (int k = 0; k < 7; ++k, name.AddDays(1))
    p.Text(p.weekday, p.scheme.weekday, TA_CENTER | TA_TOP, static_cast<int>(0.5 * colW) + k * colW,
           titleH + static_cast<int>(0.2 * headH), FormatDate(name, "ddd"));
  ::SetBkMode(dc, OPAQUE);

  const int rowH = (p.H - gridTop) / rows;
  for (int r = 1; r <= rows; ++r) p.Line(0, gridTop + r * rowH, p.W - 1, gridTop + r * rowH);
  for (int c = 0; c <= 6; ++c) p.Line(c * colW, gridTop, c * colW, gridTop + rows * rowH);
  p.Line(p.W - 1, gridTop, p.W - 1, gridTop + rows * rowH);

  const int dayLine = p.TextHeight(p.day, "Yy");
  int col = firstCol, row = 0;
  for (int d = 1; d <= n; ++d) {
    const int x = col * colW + static_cast<int>(0.04 * colW);
    const int y = gridTop + row * rowH + static_cast<int>(0.04 * rowH);
    char num[16];
    std::snprintf(num, sizeof num, "%d", d);
    p.Text(p.day, p.scheme.day, TA_LEFT | TA_TOP, x, y, num);
    p.Items(page, CDateTime(d, month, year), x, (col + 1) * colW - 1, gridTop + (row + 1) * rowH - 1,
            y + dayLine + static_cast<int>(0.04 * rowH));
    if (++col > 6) {
      col = 0;
      ++row;
    }
  }
}

void PaintWeek(const CCalPage& page, HDC dc, const RECT& rect, short pictureStyle) {
  Painting p(dc, rect, pictureStyle);
  const CDateTime start(page.GetStart().GetJulianDay(CDateTime::kAsLocal), CDateTime::kFloating);
  if (start.IsEmpty()) return;
  const std::string title = WeekTitle(start);
  p.Text(p.title, p.scheme.title, TA_CENTER | TA_TOP, p.W / 2, 0, title);
  const int titleH = static_cast<int>(1.2 * p.TextHeight(p.title, title));
  const int colW = p.W / 4;
  const int rowH = (p.H - titleH) / 2;
  for (int r = 0; r <= 2; ++r) p.Line(0, titleH + r * rowH, p.W - 1, titleH + r * rowH);
  for (int c = 0; c <= 3; ++c) p.Line(c * colW, titleH, c * colW, titleH + 2 * rowH);
  p.Line(p.W - 1, titleH, p.W - 1, titleH + 2 * rowH);
  const int dayLine = p.TextHeight(p.day, "Yy");
  for (int k = 0; k < 7; ++k) {
    CDateTime date = start;
    date.AddDays(k);
    const int col = k % 4, row = k / 4;
    const int x = col * colW + static_cast<int>(0.04 * colW);
    const int y = titleH + row * rowH + static_cast<int>(0.04 * rowH);
    p.Text(p.day, p.scheme.day, TA_LEFT | TA_TOP, x, y, FormatDate(date, "dddd, MMMM d"));
    p.Items(page, date, x, (col + 1) * colW - 1, titleH + (row + 1) * rowH - 1,
            y + dayLine + static_cast<int>(0.04 * rowH));
  }
}

}  // namespace calpaint
