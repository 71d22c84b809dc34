#include "shell/calendar/day_events_popup.h"

#include <commctrl.h>

#include <algorithm>

#include "grid/cell/grid_cell.h"
#include "grid/parts/cell_area.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "shell/core/day_popup_geometry.h"
#include "shell/commands/event_commands.h"
#include "shell/commands/occurrence_menu.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {
constexpr char kPopupClass[] = "AlmacoraDayPopup";
constexpr COLORREF kWhite = 0xFFFFFF;
}  // namespace

CDayEventsPopup::CDayEventsPopup() {
  headingFont_.CreatePointFont(80, "MS Sans Serif");
  eventFont_.CreatePointFont(80, "MS Sans Serif");
}

CDayEventsPopup::~CDayEventsPopup() {
  if (GetSafeHwnd()) DestroyWindow();
}

bool CDayEventsPopup::EnsureCreated(HWND owner) {
  if (GetSafeHwnd()) return true;
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kPopupClass, nullptr, nullptr, CS_DBLCLKS | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW))
    return false;
  return Create(kPopupClass, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, owner, nullptr, inst);
}

bool CDayEventsPopup::OnCreate(const CREATESTRUCTA& /*cs*/) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_OWNERDRAW, 0, 0, 13, 13, GetSafeHwnd(),
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kAddButtonId)), inst, nullptr);
  if (!button || !add_.SubclassWindow(button)) return false;
  add_.SetBitmaps(::LoadBitmapA(inst, "IDB_ADDNEWU"), ::LoadBitmapA(inst, "IDB_ADDNEWD"), nullptr, nullptr);
  tip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetSafeHwnd(), nullptr, inst, nullptr);
  if (tip_) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = GetSafeHwnd();
    ti.uId = 1;
    ti.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 0x7FFF);
    ::SendMessageA(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 0x7FFF);
    ::SendMessageA(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 200);
    ::SendMessageA(tip_, TTM_SETDELAYTIME, TTDT_RESHOW, 200);
  }
  return true;
}

void CDayEventsPopup::ShowDayPopup(CGridCore& grid, int col, int row, const RECT& cellRect, const CDateTime& day) {
  auto* month = dynamic_cast<CMonthGridCtrl*>(&grid);
  if (!month) return;
  if (IsShown() && day_.GetJulianDay() == day.GetJulianDay()) return;
  CGridCell cell;
  grid.GetCell(col, row, &cell);
  std::string heading;
  cell.GetText(&heading);
  std::vector<COccurrenceRef> lines;
  if (const CCalPage::DayList* list = month->GetDayOccurrences(day)) lines = *list;
  RECT screen = cellRect;
  HWND area = grid.GetCellArea() ? grid.GetCellArea()->GetSafeHwnd() : grid.GetSafeHwnd();
  ::MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  if (!EnsureCreated(::GetAncestor(grid.GetSafeHwnd(), GA_ROOT))) return;
  Show(screen, day, heading, lines, cell.GetBackColor(), cell.GetTextColor(), month->GetMode() == 1);
}

void CDayEventsPopup::HideDayPopup() {
  if (IsShown()) Hide();
}

void CDayEventsPopup::Measure() {
  HDC dc = ::GetDC(GetSafeHwnd());
  HGDIOBJ old = ::SelectObject(dc, headingFont_);
  SIZE h{0, 0};
  ::GetTextExtentPoint32A(dc, heading_.c_str(), static_cast<int>(heading_.size()), &h);
  headingHeight_ = std::max<int>(13, h.cy + (week_ ? 2 : 0));
  ::SelectObject(dc, eventFont_);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  lineHeight_ = std::max<int>(1, tm.tmHeight);
  int labelWidth = 0;
  for (const COccurrenceRef& ref : lines_) {
    std::string text;
    int continues = 0;
    ref.GetDisplayText(text, day_, &continues);
    SIZE s{0, 0};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    labelWidth = std::max<int>(labelWidth, s.cx + (continues ? 6 : 0));
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(GetSafeHwnd(), dc);
  // Room for the add button beside the heading.
  width_ = std::max<int>(labelWidth, h.cx + 16) + 8;
  height_ = static_cast<int>(lines_.size()) * lineHeight_ + headingHeight_ + 2 + (week_ ? 2 : 0);
}

void CDayEventsPopup::Show(const RECT& cell, const CDateTime& day, const std::string& heading,
                           const std::vector<COccurrenceRef>& lines, COLORREF cellBack, COLORREF headingColour,
                           bool week) {
  if (!EnsureCreated(nullptr)) return;
  hot_ = -1;
  cellBack_ = cellBack;
  headingColour_ = headingColour;
  day_ = day;
  heading_ = heading;
  lines_ = lines;
  week_ = week;
  Measure();
  width_ = std::max<int>(width_, cell.right - cell.left);
  height_ = std::max<int>(height_, cell.bottom - cell.top);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  daypopup::Rect work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (::GetMonitorInfoA(::MonitorFromRect(&cell, MONITOR_DEFAULTTONEAREST), &mi))
    work = daypopup::Rect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  const daypopup::Rect at = daypopup::FitInWorkArea(cell.left, cell.top, width_, height_, work);
  ::ShowWindow(add_.GetSafeHwnd(), SW_HIDE);
  // Alone: with its owner the main window would come above the windows it
  // owns (the calendar manager).
  ::SetWindowPos(GetSafeHwnd(), HWND_TOP, at.left, at.top, width_, height_,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  ::SetWindowPos(add_.GetSafeHwnd(), nullptr, width_ - 15, 1, 13, 13, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetCapture(GetSafeHwnd());
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  ::UpdateWindow(GetSafeHwnd());
  if (tip_) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = GetSafeHwnd();
    ti.uId = 1;
    ::GetClientRect(GetSafeHwnd(), &ti.rect);
    ::SendMessageA(tip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CDayEventsPopup::Hide() {
  if (!GetSafeHwnd()) return;
  const bool wasShown = ::IsWindowVisible(GetSafeHwnd()) != FALSE;
  hot_ = -1;
  if (wasShown) ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  if (::GetCapture() == GetSafeHwnd() || ::GetCapture() == add_.GetSafeHwnd()) ::ReleaseCapture();
  if (tip_) ::SendMessageA(tip_, TTM_POP, 0, 0);
}

int CDayEventsPopup::HitTest(int y) const {
  return daypopup::LineAt(y, headingHeight_, lineHeight_, static_cast<int>(lines_.size()));
}

std::string CDayEventsPopup::TipTextAt(POINT client) const {
  RECT rc{0, 0, width_, height_};
  if (GetSafeHwnd()) ::GetClientRect(GetSafeHwnd(), &rc);
  if (!::PtInRect(&rc, client)) return std::string();
  const int line = HitTest(client.y);
  return line >= 0 ? lines_[static_cast<size_t>(line)].GetNotes() : std::string();
}

RECT CDayEventsPopup::LineRect(int index) const {
  RECT rc{0, 0, 0, 0};
  ::GetClientRect(GetSafeHwnd(), &rc);
  const int top = headingHeight_ + index * lineHeight_ + (week_ ? 2 : 0);
  return RECT{week_ ? 3 : 0, top, rc.right - 1, top + lineHeight_};
}

void CDayEventsPopup::DrawLine(HDC dc, int index, bool hot) {
  if (index < 0 || index >= static_cast<int>(lines_.size())) return;
  const COccurrenceRef& ref = lines_[static_cast<size_t>(index)];
  RECT r = LineRect(index);
  std::string text;
  int continues = 0;
  ref.GetDisplayText(text, day_, &continues);
  const COLORREF fore = hot ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : ref.GetColor();
  const COLORREF back = hot ? ::GetSysColor(COLOR_HIGHLIGHT) : kWhite;
  HBRUSH brush = ::CreateSolidBrush(back);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
  HGDIOBJ oldFont = ::SelectObject(dc, eventFont_);
  ::SetTextColor(dc, fore);
  ::SetBkMode(dc, TRANSPARENT);
  RECT textRect = r;
  if (continues) textRect.right -= 5;
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE | DT_NOPREFIX);
  if (continues) {
    const int right = textRect.right, middle = (r.top + r.bottom) / 2;
    POINT tri[3] = {{right + 1, middle - 4}, {right + 1, middle + 4}, {right + 5, middle}};
    HBRUSH b = ::CreateSolidBrush(fore);
    HPEN p = ::CreatePen(PS_SOLID, 1, fore);
    HGDIOBJ ob = ::SelectObject(dc, b);
    HGDIOBJ op = ::SelectObject(dc, p);
    ::Polygon(dc, tri, 3);
    ::SelectObject(dc, ob);
    ::SelectObject(dc, op);
    ::DeleteObject(b);
    ::DeleteObject(p);
  }
  ::SelectObject(dc, oldFont);
}

void CDayEventsPopup::OnPaint(HDC dc, const PAINTSTRUCT& /*ps*/) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  rc.right -= 1;
  rc.bottom -= 1;
  HPEN grey = ::CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
  HGDIOBJ oldPen = ::SelectObject(dc, grey);
  ::MoveToEx(dc, 0, rc.bottom, nullptr);
  ::LineTo(dc, rc.right, rc.bottom);
  ::LineTo(dc, rc.right, -1);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(grey);
  RECT head{0, 0, rc.right, headingHeight_};
  const bool white = cellBack_ == kWhite;
  HBRUSH headBrush = ::CreateSolidBrush(white ? kWhite : ::GetSysColor(COLOR_HIGHLIGHT));
  ::FillRect(dc, &head, headBrush);
  ::DeleteObject(headBrush);
  HGDIOBJ oldFont = ::SelectObject(dc, headingFont_);
  ::SetTextColor(dc, white ? headingColour_ : ::GetSysColor(COLOR_HIGHLIGHTTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  RECT headText = head;
  if (week_) headText.left += 3;
  ::DrawTextA(dc, heading_.c_str(), static_cast<int>(heading_.size()), &headText, DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, oldFont);
  RECT body{0, headingHeight_, rc.right, rc.bottom};
  ::FillRect(dc, &body, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  if (week_) {
    ::MoveToEx(dc, 3, headingHeight_, nullptr);
    ::LineTo(dc, rc.right - 3, headingHeight_);
  }
  for (int i = 0; i < static_cast<int>(lines_.size()); ++i) DrawLine(dc, i, i == hot_);
}

void CDayEventsPopup::OnMouseMove(POINT pt) {
  RECT rc;
  ::GetClientRect(GetSafeHwnd(), &rc);
  POINT screen = pt;
  ::ClientToScreen(GetSafeHwnd(), &screen);
  HWND under = ::WindowFromPoint(screen);
  if (!::PtInRect(&rc, pt) || (under != GetSafeHwnd() && under != add_.GetSafeHwnd())) {
    Hide();
    return;
  }
  if (::IsWindowVisible(add_.GetSafeHwnd())) {
    RECT b;
    ::GetWindowRect(add_.GetSafeHwnd(), &b);
    if (::PtInRect(&b, screen)) ::SetCapture(add_.GetSafeHwnd());
  }
  const int line = HitTest(pt.y);
  if (line == hot_) return;
  if (tip_) ::SendMessageA(tip_, TTM_ACTIVATE, FALSE, 0);
  HDC dc = ::GetDC(GetSafeHwnd());
  DrawLine(dc, hot_, false);
  DrawLine(dc, line, true);
  ::ReleaseDC(GetSafeHwnd(), dc);
  if (tip_) ::SendMessageA(tip_, TTM_ACTIVATE, TRUE, 0);
  hot_ = line;
}

void CDayEventsPopup::OnLButtonDown() {
  if (hot_ >= 0 && doc_) {
    COccurrenceRef ref = lines_[static_cast<size_t>(hot_)];
    doc_->UpdateAllViews(nullptr, kHintSelectEvent, &ref);
  }
  ::ShowWindow(add_.GetSafeHwnd(), SW_SHOW);
}

void CDayEventsPopup::AddOnDay() {
  const CDateTime day = day_;
  Hide();
  if (IEventCommands* c = GetEventCommands()) c->AddEventOnDate(day);
}

void CDayEventsPopup::OnLButtonDblClk() {
  if (hot_ < 0) {
    AddOnDay();
    return;
  }
  const COccurrenceRef ref = lines_[static_cast<size_t>(hot_)];
  Hide();
  if (IEventCommands* c = GetEventCommands()) c->ModifyEvent(ref);
}

void CDayEventsPopup::OnRButtonDown(POINT pt) {
  if (menuOpen_) {
    menuOpen_ = false;
    return;
  }
  if (hot_ < 0) return;
  // Copies: the menu's command may save, which refills the grid's page.
  const COccurrenceRef ref = lines_[static_cast<size_t>(hot_)];
  CShellDocument* doc = doc_;
  RECT w;
  ::GetWindowRect(GetSafeHwnd(), &w);
  HMENU menu = occmenu::Build(&ref, occmenu::Style::kPopup, occmenu::CalendarOnly());
  Hide();
  menuOpen_ = true;
  const UINT id = occmenu::Track(menu, POINT{pt.x + w.left, pt.y + w.top}, TPM_LEFTALIGN | TPM_LEFTBUTTON,
                                 GetSafeHwnd());
  menuOpen_ = false;
  ::DestroyMenu(menu);
  if (id) occmenu::Run(id, ref, doc);
}

bool CDayEventsPopup::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(pt);
      break;
    case WM_LBUTTONDOWN:
      OnLButtonDown();
      break;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk();
      break;
    case WM_RBUTTONDOWN:
      OnRButtonDown(pt);
      break;
    case WM_CAPTURECHANGED:
      // Anything but the add button taking the mouse (a box, another
      // window) ends the pop-up: it would never see the mouse leave.
      if (reinterpret_cast<HWND>(lParam) != add_.GetSafeHwnd() && reinterpret_cast<HWND>(lParam) != GetSafeHwnd())
        HideDayPopup();
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kAddButtonId && HIWORD(wParam) == BN_CLICKED) {
        AddOnDay();
        break;
      }
      return CWindow::OnWndMsg(message, wParam, lParam, result);
    case WM_NOTIFY: {
      auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
      if (info && info->hdr.hwndFrom == tip_ && info->hdr.code == TTN_GETDISPINFOA) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::ScreenToClient(GetSafeHwnd(), &cursor);
        tipText_ = TipTextAt(cursor);
        info->lpszText = const_cast<char*>(tipText_.c_str());
        break;
      }
      return CWindow::OnWndMsg(message, wParam, lParam, result);
    }
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    default:
      return CWindow::OnWndMsg(message, wParam, lParam, result);
  }
  *result = 0;
  return true;
}
