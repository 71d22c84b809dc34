#include "shell/day/all_day_list_box.h"

#include <string>

#include "model/events/cal_event.h"
#include "shell/day/all_day_view.h"

CAllDayListBox::CAllDayListBox() { font_.CreatePointFont(80, "MS Sans Serif"); }

bool CAllDayListBox::Create(CAllDayView* owner, UINT id) {
  owner_ = owner;
  HWND hwnd = ::CreateWindowExA(0, "LISTBOX", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                                    LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                0, 0, 0, 0, owner->GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return false;
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font_)), FALSE);
  return SubclassWindow(hwnd);
}

void CAllDayListBox::Clear() {
  ResetContent();
  lines_.clear();
}

void CAllDayListBox::AddOccurrence(const COccurrenceRef& ref, const CDateTime& day) {
  std::string label;
  int continues = 0;
  ref.GetDisplayText(label, day, &continues);
  day_ = day;
  lines_.push_back(ref);
  const int index = static_cast<int>(SendMsg(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str())));
  if (index >= 0) SendMsg(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(lines_.size() - 1));
}

void CAllDayListBox::DropEvent(int serial) {
  std::vector<COccurrenceRef> kept;
  for (int i = 0; i < GetCount(); ++i)
    if (const COccurrenceRef* ref = GetOccurrence(i); ref && ref->event && ref->event->serial != serial)
      kept.push_back(*ref);
  Clear();
  for (const COccurrenceRef& ref : kept) AddOccurrence(ref, day_);
}

const COccurrenceRef* CAllDayListBox::GetOccurrence(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  const LRESULT data = SendMsg(LB_GETITEMDATA, static_cast<WPARAM>(index));
  if (data < 0 || data >= static_cast<LRESULT>(lines_.size())) return nullptr;
  return &lines_[static_cast<size_t>(data)];
}

void CAllDayListBox::MeasureItem(MEASUREITEMSTRUCT& mis) {
  HDC dc = ::GetDC(GetSafeHwnd());
  SIZE size{0, 13};
  if (dc) {
    HGDIOBJ old = ::SelectObject(dc, font_);
    ::GetTextExtentPoint32A(dc, "Ay", 2, &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(GetSafeHwnd(), dc);
  }
  // The width of "Ay" is the height the line has always had.
  mis.itemHeight = static_cast<UINT>(size.cx * 1.1);
  if (mis.itemHeight < static_cast<UINT>(size.cy)) mis.itemHeight = static_cast<UINT>(size.cy);
}

void CAllDayListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
  if (!(dis.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
  const COccurrenceRef* ref = GetOccurrence(static_cast<int>(dis.itemID));
  if (!ref) {
    ::FillRect(dis.hDC, &dis.rcItem, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    return;
  }
  std::string label;
  int continues = 0;
  ref->GetDisplayText(label, day_, &continues);
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  const COLORREF text = selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : ref->GetColor();
  const COLORREF back = selected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255);
  HBRUSH brush = ::CreateSolidBrush(back);
  ::FillRect(dis.hDC, &dis.rcItem, brush);
  ::DeleteObject(brush);
  HGDIOBJ old = ::SelectObject(dis.hDC, font_);
  ::SetTextColor(dis.hDC, text);
  ::SetBkColor(dis.hDC, back);
  RECT r = dis.rcItem;
  r.left += 2;
  ::DrawTextA(dis.hDC, label.c_str(), static_cast<int>(label.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SelectObject(dis.hDC, old);
}

bool CAllDayListBox::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_RBUTTONDOWN && owner_) {
    const LRESULT hit = SendMsg(LB_ITEMFROMPOINT, 0, lParam);
    const bool outside = HIWORD(hit) != 0;
    SetCurSel(outside ? -1 : static_cast<int>(LOWORD(hit)));
    owner_->OpenMenu();
  }
  return CListBox::OnWndMsg(message, wParam, lParam, result);
}
