#include "dialogs/event/time_picker_list.h"

#include <cstdio>

namespace dialogs {
namespace {
const char kListClass[] = "AlmacoraTimeList";
}

CTimePickerList::CTimePickerList() {
  font_ = ::CreateFontA(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
}

CTimePickerList::~CTimePickerList() {
  if (IsWindow()) DestroyWindow();
  if (font_) ::DeleteObject(font_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CTimePickerList, framework::CWindow)
FRAMEWORK_END_MESSAGE_MAP()

bool CTimePickerList::CellOfTime(const CDateTime& t, int* column, int* row) {
  const int s = t.HasTimeOfDay() ? t.GetSecondsOfDay() : 0;
  if (s % 1800 != 0) return false;
  *column = s / 21600;
  *row = (s % 21600) / 1800;
  return true;
}

std::string CTimePickerList::CellText(int column, int row, bool twelveHour) {
  int hour = column * 6 + row / 2;
  if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", hour, row % 2 ? 30 : 0);
  return text;
}

RECT CTimePickerList::CellRect(int column, int row) const {
  const int top = (row + (twelveHour_ ? 1 : 0)) * rowHeight_;
  return RECT{column * columnWidth_, top, (column + 1) * columnWidth_, top + rowHeight_};
}

void CTimePickerList::ShowAt(const RECT& below, HWND owner, const CDateTime& current) {
  owner_ = owner;
  time = current;
  hoverColumn_ = hoverRow_ = -1;
  twelveHour_ = IsLocale24Hour() == 0;
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font_);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, "24:00", 5, &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  columnWidth_ = static_cast<int>(size.cx * 1.3);
  rowHeight_ = static_cast<int>(size.cy * 1.25);
  const int width = kColumns * columnWidth_ + 2;
  const int height = RowCount() * rowHeight_ + 1;
  int top = below.bottom;
  if (top + height >= ::GetSystemMetrics(SM_CYSCREEN)) top = below.top - height;
  if (IsWindow()) {
    ::SetWindowPos(GetSafeHwnd(), HWND_TOP, below.left, top, width, height, SWP_SHOWWINDOW);
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    ::SetActiveWindow(GetSafeHwnd());
    return;
  }
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  RegisterClass(inst, kListClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), CS_HREDRAW | CS_VREDRAW);
  Create(kListClass, "", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, below.left, top, width, height, owner, nullptr, inst);
}

void CTimePickerList::DrawCell(HDC dc, int column, int row) {
  RECT r = CellRect(column, row);
  int hc = -1, hr = -1;
  const bool current = CellOfTime(time, &hc, &hr) && hc == column && hr == row;
  ::FillRect(dc, &r, ::GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  ::SetTextColor(dc, ::GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  RECT text = r;
  text.right -= columnWidth_ * 15 / 100;
  const std::string s = CellText(column, row, twelveHour_);
  ::DrawTextA(dc, s.c_str(), -1, &text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  if (column == hoverColumn_ && row == hoverRow_) ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

void CTimePickerList::OnPaint(HDC dc, const PAINTSTRUCT&) {
  HGDIOBJ old = ::SelectObject(dc, font_);
  if (twelveHour_) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    RECT am{0, 0, 2 * columnWidth_, rowHeight_}, pm{2 * columnWidth_, 0, 4 * columnWidth_, rowHeight_};
    ::DrawTextA(dc, "AM", -1, &am, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    ::DrawTextA(dc, "PM", -1, &pm, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
  for (int c = 0; c < kColumns; ++c)
    for (int r = 0; r < kRows; ++r) DrawCell(dc, c, r);
  ::SelectObject(dc, old);
}

bool CTimePickerList::HitTest(POINT p, int* column, int* row) const {
  if (columnWidth_ <= 0 || rowHeight_ <= 0 || p.x < 0 || p.y < 0) return false;
  const int c = p.x / columnWidth_;
  const int r = p.y / rowHeight_ - (twelveHour_ ? 1 : 0);
  if (c >= kColumns || r < 0 || r >= kRows) return false;
  *column = c;
  *row = r;
  return true;
}

void CTimePickerList::OnMouseMove(POINT p) {
  int c = -1, r = -1;
  if (!HitTest(p, &c, &r) || (c == hoverColumn_ && r == hoverRow_)) return;
  HDC dc = ::GetDC(GetSafeHwnd());
  HGDIOBJ old = ::SelectObject(dc, font_);
  const int oldC = hoverColumn_, oldR = hoverRow_;
  hoverColumn_ = static_cast<short>(c);
  hoverRow_ = static_cast<short>(r);
  if (oldC >= 0) DrawCell(dc, oldC, oldR);
  DrawCell(dc, c, r);
  ::SelectObject(dc, old);
  ::ReleaseDC(GetSafeHwnd(), dc);
}

void CTimePickerList::OnButtonUp(POINT p) {
  int c = -1, r = -1;
  if (!HitTest(p, &c, &r)) return;
  if (time.IsEmpty()) time = CDateTime::Today();
  time.SetSecondsOfDay(c * 21600 + r * 1800);
  Show(SW_HIDE);
  if (HWND parent = ::GetParent(owner_)) ::SetActiveWindow(parent);
  ::SendMessageA(owner_, kChosenMessage, 0, 0);
}

LRESULT CTimePickerList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) Show(SW_HIDE);
      break;
    default: break;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}

}  // namespace dialogs
