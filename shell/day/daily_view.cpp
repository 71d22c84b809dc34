#include "shell/day/daily_view.h"

#include <algorithm>
#include <string>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/date_format.h"
#include "res/resource.h"
#include "shell/commands/event_commands.h"
#include "shell/commands/occurrence_menu.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;

class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};
}  // namespace

CDailyView::CDailyView() { font_.CreatePointFont(80, "MS Sans Serif"); }
CDailyView::~CDailyView() = default;

CShellDocument* CDailyView::Doc() const { return dynamic_cast<CShellDocument*>(GetDocument()); }

bool CDailyView::OnCreate(const CREATESTRUCTA& cs) { return CScrollView::OnCreate(cs); }

void CDailyView::OnInitialUpdate() {
  CalcMetrics();
  SetScrollSizes(SIZE{100, totalHeight_});
  LoadDay(CDateTime::Today());
}

void CDailyView::CalcMetrics() {
  scale_ = dayline::EffectiveScale(g_Settings.DailyScale);
  framework::CClientDC dc(GetSafeHwnd());
  SIZE size{60, 13};
  if (dc) {
    SelectGuard font(dc, font_);
    ::GetTextExtentPoint32A(dc, "12:00 pm", 8, &size);
  }
  lineHeight_ = std::max(1, static_cast<int>(size.cy * 1.4));
  scaleWidth_ = static_cast<int>(size.cx * 1.2);
  lineCount_ = dayline::LineCount(scale_);
  totalHeight_ = lineCount_ * lineHeight_;
}

void CDailyView::SetClientScrollSizes(int cx, int cy) {
  clientWidth_ = cx;
  SetScrollSizes(SIZE{cx, totalHeight_}, SIZE{0, cy}, SIZE{0, lineHeight_});
}

void CDailyView::OnSize(UINT type, int cx, int cy) {
  if (cx == 0) return;
  CScrollView::OnSize(type, cx, cy);
  SetClientScrollSizes(cx, cy);
  CalcItemRects();
}

void CDailyView::LoadDay(const CDateTime& date) {
  selected_ = -1;
  firstLine_ = lastLine_ = anchorLine_ = currentLine_ = 0;
  shownDay_ = CDateTime(date.GetJulianDay(), CDateTime::kFloating);
  items_.clear();
  CShellDocument* doc = Doc();
  if (doc) {
    CCalPage& page = doc->GetCalPage();
    page.Build(*doc, CDateTime(1, shownDay_.GetMonth(), shownDay_.GetYear()), CCalPage::kMonth);
    if (const CCalPage::DayList* list = page.LookupDate(shownDay_)) {
      for (const COccurrenceRef& ref : *list) {
        if (!ref.event || ref.event->IsAllDay(ref.date)) continue;
        CDailyViewItem item;
        item.occurrence = ref;
        items_.push_back(item);
      }
    }
  }
  for (CDailyViewItem& item : items_) item.layout.rows = dayline::RowsOfOccurrence(item.occurrence, shownDay_, scale_);
  std::stable_sort(items_.begin(), items_.end(), [](const CDailyViewItem& a, const CDailyViewItem& b) {
    if (a.layout.rows.start != b.layout.rows.start) return a.layout.rows.start < b.layout.rows.start;
    return a.layout.rows.end > b.layout.rows.end;
  });
  LayoutColumns();
  RECT rc{0, 0, 0, 0};
  if (GetSafeHwnd()) ::GetClientRect(GetSafeHwnd(), &rc);
  if (rc.bottom < totalHeight_) {
    if (firstLine_ > 0)
      ScrollToPosition(POINT{0, lineHeight_ * (firstLine_ - 1)});
    else
      ScrollToTime(8 * 3600);
  } else {
    ScrollToPosition(POINT{0, 0});
  }
}

void CDailyView::LayoutColumns() {
  std::vector<dayline::Item> layout;
  layout.reserve(items_.size());
  for (CDailyViewItem& item : items_) {
    item.layout.rows = dayline::RowsOfOccurrence(item.occurrence, shownDay_, scale_);
    item.layout.fixed = false;
    layout.push_back(item.layout);
  }
  columns_ = dayline::LayoutColumns(layout, &firstLine_, &lastLine_);
  for (size_t i = 0; i < items_.size(); ++i) items_[i].layout = layout[i];
}

void CDailyView::CalcItemRects() {
  for (CDailyViewItem& item : items_)
    item.box = dayline::ItemBox(item.layout, columns_, clientWidth_, scaleWidth_, lineHeight_);
}

CDateTime CDailyView::LineTime(int line) const {
  return CDateTime::FromParts(shownDay_.GetJulianDay(), dayline::LineSeconds(line, scale_), CDateTime::kFloating);
}

void CDailyView::ScrollToTime(int32_t secondsOfDay) {
  ScrollToPosition(POINT{0, secondsOfDay / 60 / scale_ * lineHeight_});
}

int CDailyView::HitTest(POINT doc) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].box.Contains(doc.x, doc.y)) return static_cast<int>(i);
  return -1;
}

void CDailyView::RedrawNow() {
  if (!GetSafeHwnd()) return;
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  ::UpdateWindow(GetSafeHwnd());
}

bool CDailyView::OnScrollBy(SIZE by, bool doScroll) {
  // The markers sit at the window's edges, so a scroll repaints everything.
  if (doScroll && GetSafeHwnd()) {
    if (!CScrollView::OnScrollBy(by, false)) return false;
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  }
  return CScrollView::OnScrollBy(by, doScroll);
}

void CDailyView::OnUpdate(framework::CView* /*sender*/, LPARAM hint, void* object) {
  switch (hint) {
    case kHintGoToDate:
      LoadDay(object ? *static_cast<const CDateTime*>(object) : CDateTime::Today());
      break;
    case kHintReload:
    case kHintListReloaded:
      LoadDay(shownDay_.IsEmpty() ? CDateTime::Today() : shownDay_);
      break;
    case kHintTypesChanged: {
      CalcMetrics();
      RECT rc{0, 0, 0, 0};
      ::GetClientRect(GetSafeHwnd(), &rc);
      SetClientScrollSizes(rc.right, rc.bottom);
      LayoutColumns();
      break;
    }
    case kHintMarkInCalendar: {
      const auto* ref = static_cast<const COccurrenceRef*>(object);
      if (occmenu::CalendarOnly() || !ref || !ref->event || !ref->event->listed) return;
      LoadDay(ref->event->nextOccurrence);
      break;
    }
    case kHintDropEvent:
      DropEvent(static_cast<int>(reinterpret_cast<INT_PTR>(object)));
      return;
    default:
      return;
  }
  CalcItemRects();
  RedrawNow();
}

void CDailyView::DropEvent(int serial) {
  items_.erase(std::remove_if(items_.begin(), items_.end(),
                              [serial](const CDailyViewItem& i) {
                                return i.occurrence.event && i.occurrence.event->serial == serial;
                              }),
               items_.end());
  selected_ = -1;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].selected) selected_ = static_cast<int>(i);
  LayoutColumns();
  CalcItemRects();
  if (GetSafeHwnd()) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

// ---- Painting ----

void CDailyView::OnDraw(HDC target) {
  HDC dc = target;
  HDC own = nullptr;
  if (!dc) {
    own = ::GetDC(GetSafeHwnd());
    OnPrepareDC(own);
    dc = own;
  }
  RECT client{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &client);
  const POINT pos = GetScrollPosition();
  // Only the band being repainted goes through the bitmap: a whole day at
  // scale 5 would be many megabytes per mouse move.
  RECT clip;
  if (::GetClipBox(dc, &clip) == NULLREGION || clip.bottom <= clip.top) {
    clip = RECT{0, pos.y, client.right, pos.y + client.bottom};
  }
  const int top = std::max<int>(clip.top, pos.y);
  const int bottom = std::min<int>(clip.bottom, pos.y + client.bottom);
  const int width = std::max<int>(client.right, 1);
  if (bottom > top) {
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = mem ? ::CreateCompatibleBitmap(dc, width, bottom - top) : nullptr;
    if (bitmap) {
      HGDIOBJ old = ::SelectObject(mem, bitmap);
      ::SetViewportOrgEx(mem, 0, -top, nullptr);
      Paint(mem, top, bottom);
      ::BitBlt(dc, 0, top, width, bottom - top, mem, 0, top, SRCCOPY);
      ::SelectObject(mem, old);
      ::DeleteObject(bitmap);
    } else {
      Paint(dc, top, bottom);
    }
    if (mem) ::DeleteDC(mem);
  }
  if (own) ::ReleaseDC(GetSafeHwnd(), own);
}

void CDailyView::Paint(HDC dc, int bandTop, int bandBottom) {
  const int cw = clientWidth_ > 0 ? clientWidth_ : 1;
  RECT all{0, bandTop, cw, bandBottom};
  HBRUSH white = ::CreateSolidBrush(kWhite);
  ::FillRect(dc, &all, white);
  ::DeleteObject(white);
  const int h = lineHeight_;
  if (anchorLine_ > 0) {
    const int a = std::min(anchorLine_, currentLine_), b = std::max(anchorLine_, currentLine_);
    RECT span{scaleWidth_ + 1, h * (a - 1), cw - 1, b * h};
    ::FillRect(dc, &span, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  HPEN hourPen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  HPEN otherPen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldPen = ::SelectObject(dc, otherPen);
  for (int i = 1; i < lineCount_; ++i) {
    const int y = i * h - 1;
    ::SelectObject(dc, dayline::IsHourSeparator(i, scale_) ? hourPen : otherPen);
    if (y < bandTop - 1 || y > bandBottom) continue;
    ::MoveToEx(dc, scaleWidth_ + 1, y, nullptr);
    ::LineTo(dc, cw - 1, y);
  }
  ::MoveToEx(dc, scaleWidth_, 0, nullptr);
  ::LineTo(dc, scaleWidth_, totalHeight_);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(hourPen);
  ::DeleteObject(otherPen);

  {
    SelectGuard font(dc, font_);
    ::SetTextColor(dc, 0);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    for (int r = 1; (r - 1) * scale_ < 1440; ++r) {
      RECT cell{0, (r - 1) * h, scaleWidth_, r * h};
      if (cell.bottom < bandTop || cell.top > bandBottom) continue;
      ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_BTNFACE));
      if (!dayline::LabelsLine(r, scale_)) continue;
      const int m = (r - 1) * scale_;
      platform::CivilTime t;
      t.year = 2000;
      t.month = 1;
      t.day = 1;
      t.hour = m / 60;
      t.minute = m % 60;
      std::string text = platform::FormatTimeNoSeconds(t);
      ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
  }
  for (const CDailyViewItem& item : items_) {
    if (item.box.bottom < bandTop || item.box.top > bandBottom) continue;
    DrawItem(dc, item, item.selected, POINT{0, 0});
  }
  const POINT pos = GetScrollPosition();
  RECT client{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &client);
  if (dayline::ShowsTopMarker(firstLine_, pos.y, h)) DrawMoreMarker(dc, false);
  if (dayline::ShowsBottomMarker(lastLine_, pos.y, client.bottom, h)) DrawMoreMarker(dc, true);
}

void CDailyView::DrawItem(HDC dc, const CDailyViewItem& item, bool selected, POINT offset) {
  RECT box{item.box.left - offset.x, item.box.top - offset.y, item.box.right - offset.x, item.box.bottom - offset.y};
  std::string label;
  int continues = 0;
  item.occurrence.GetDisplayText(label, shownDay_, &continues);
  const COLORREF c = item.occurrence.GetColor();
  const COLORREF text = selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : c;
  const COLORREF back = selected ? ::GetSysColor(COLOR_HIGHLIGHT) : kWhite;
  HPEN pen = ::CreatePen(PS_SOLID, 1, c);
  HBRUSH backBrush = ::CreateSolidBrush(back);
  HBRUSH barBrush = ::CreateSolidBrush(c);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  HGDIOBJ oldBrush = ::SelectObject(dc, backBrush);
  ::Rectangle(dc, box.left + 4, box.top, box.right - 4, box.bottom);
  ::SelectObject(dc, barBrush);
  ::Rectangle(dc, box.left, box.top, box.left + 4, box.bottom);
  ::Rectangle(dc, box.right - 4, box.top, box.right, box.bottom);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
  ::DeleteObject(backBrush);
  ::DeleteObject(barBrush);
  RECT inner{box.left + 5, box.top + 1, box.right - 5, box.bottom - 1};
  SelectGuard font(dc, font_);
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, back);
  ::SetBkMode(dc, OPAQUE);
  ::DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &inner, DT_WORDBREAK | DT_NOPREFIX);
}

void CDailyView::DrawMoreMarker(HDC dc, bool atBottom) {
  RECT client{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &client);
  const POINT pos = GetScrollPosition();
  RECT box{client.right - 14, atBottom ? client.bottom - 14 : client.top + 3, client.right - 3,
           atBottom ? client.bottom - 3 : client.top + 14};
  ::OffsetRect(&box, pos.x, pos.y);
  ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_INFOBK));
  ::FrameRect(dc, &box, ::GetSysColorBrush(COLOR_INFOTEXT));
  HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_INFOTEXT));
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, box.left + 5, box.top + 2, nullptr);
  ::LineTo(dc, box.left + 5, box.bottom - 2);
  ::MoveToEx(dc, box.left + 2, box.top + 5, nullptr);
  ::LineTo(dc, box.right - 2, box.top + 5);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

// ---- Mouse and commands ----

POINT CDailyView::ToDoc(LPARAM lParam) const {
  const POINT pos = GetScrollPosition();
  return POINT{static_cast<short>(LOWORD(lParam)) + pos.x, static_cast<short>(HIWORD(lParam)) + pos.y};
}

void CDailyView::OnLButtonDown(POINT doc) {
  if (selected_ >= 0 && selected_ < static_cast<int>(items_.size())) items_[selected_].selected = false;
  selected_ = -1;
  const int hit = HitTest(doc);
  if (hit >= 0) {
    anchorLine_ = currentLine_ = 0;
    selected_ = hit;
    items_[hit].selected = true;
    RedrawNow();
    COccurrenceRef ref = items_[hit].occurrence;
    if (CShellDocument* d = Doc()) d->UpdateAllViews(nullptr, kHintSelectEvent, &ref);
  } else {
    anchorLine_ = currentLine_ = dayline::LineAt(doc.y, lineHeight_, lineCount_);
    RedrawNow();
  }
}

void CDailyView::OnMouseMove(POINT doc, WPARAM keys) {
  if (!(keys & (MK_LBUTTON | MK_RBUTTON))) return;
  const int line = dayline::LineAt(doc.y, lineHeight_, lineCount_);
  if (line == currentLine_) return;
  currentLine_ = line;
  RedrawNow();
}

void CDailyView::OnLButtonUp() {
  if (anchorLine_ != currentLine_ && selected_ < 0) AddForSelection();
}

void CDailyView::OnLButtonDblClk() {
  if (selected_ >= 0) {
    COccurrenceRef ref = items_[selected_].occurrence;
    if (IEventCommands* c = GetEventCommands()) c->ModifyEvent(ref);
    return;
  }
  AddForSelection();
}

void CDailyView::AddForSelection() {
  IEventCommands* commands = GetEventCommands();
  if (!commands) return;
  int a = std::min(anchorLine_, currentLine_), b = std::max(anchorLine_, currentLine_);
  if (a <= 0) {
    // From an occurrence's menu: its start line, without an end.
    if (selected_ < 0) return;
    a = b = items_[selected_].layout.rows.start;
  }
  const CDateTime start = LineTime(a);
  if (a != b) {
    CDateTime end = LineTime(b);
    end.AddTime(0, scale_, 0);
    commands->AddEventRange(start, &end);
  } else {
    commands->AddEventRange(start, nullptr);
  }
}

void CDailyView::OnRButtonDown(POINT doc, POINT client) {
  OnLButtonDown(doc);
  if (menuOpen_) {
    menuOpen_ = false;
    return;
  }
  if (selected_ < 0) return;
  COccurrenceRef ref = items_[selected_].occurrence;
  HMENU menu = occmenu::Build(&ref, occmenu::Style::kDayViews, occmenu::CalendarOnly());
  RECT w;
  ::GetWindowRect(GetSafeHwnd(), &w);
  menuOpen_ = true;
  const UINT id = occmenu::Track(menu, POINT{client.x + w.left, client.y + w.top}, TPM_RIGHTBUTTON, GetSafeHwnd());
  menuOpen_ = false;
  ::DestroyMenu(menu);
  if (id) OnOccurrenceCommand(id);
}

void CDailyView::OnOccurrenceCommand(UINT id) {
  if (id == ID_OCC_ADD) {
    AddForSelection();
    return;
  }
  if (selected_ < 0) return;
  // A copy: the command may save, and the reload deletes the items.
  COccurrenceRef ref = items_[selected_].occurrence;
  occmenu::Run(id, ref, Doc());
}

bool CDailyView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_LBUTTONDOWN:
      OnLButtonDown(ToDoc(lParam));
      break;
    case WM_RBUTTONDOWN:
      OnRButtonDown(ToDoc(lParam), POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(ToDoc(lParam), wParam);
      break;
    case WM_LBUTTONUP:
      OnLButtonUp();
      break;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk();
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) >= ID_OCC_ADD && LOWORD(wParam) <= ID_OCC_EXPORT) {
        OnOccurrenceCommand(LOWORD(wParam));
        *result = 0;
        return true;
      }
      return CScrollView::OnWndMsg(message, wParam, lParam, result);
    default:
      return CScrollView::OnWndMsg(message, wParam, lParam, result);
  }
  *result = 0;
  return true;
}
