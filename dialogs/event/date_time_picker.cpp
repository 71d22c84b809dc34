#include "dialogs/event/date_time_picker.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "model/settings/program_settings.h"

namespace dialogs {
namespace {

void ToSystemTime(const CDateTime& value, SYSTEMTIME* st) {
  CDateTime v = value.ConvertedTo(CDateTime::kAsLocal);
  if (v.IsEmpty()) v = CDateTime::Today();
  int month = 0, day = 0, year = 0;
  v.GetDate(&month, &day, &year);
  *st = SYSTEMTIME{};
  st->wYear = static_cast<WORD>(year);
  st->wMonth = static_cast<WORD>(month);
  st->wDay = static_cast<WORD>(day);
  st->wDayOfWeek = static_cast<WORD>(v.GetWeekday() % 7);
  if (v.HasTimeOfDay()) {
    st->wHour = static_cast<WORD>(v.GetHour());
    st->wMinute = static_cast<WORD>(v.GetMinute());
    st->wSecond = static_cast<WORD>(v.GetSecond());
  }
}

}  // namespace

bool CDateTimePicker::CreateControl(HWND parent, const RECT& r, int id, DWORD style) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
  ::InitCommonControlsEx(&icc);
  HWND h = ::CreateWindowExA(0, DATETIMEPICK_CLASSA, "DateTime", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | style,
                             r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
  if (!h) return false;
  ::SendMessageA(h, WM_SETFONT, ::SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
  return SubclassWindow(h);
}

bool CDateTimePicker::CreateDatePicker(HWND parent, const RECT& rect, int id) {
  if (!CreateControl(parent, rect, id, DTS_SHORTDATEFORMAT)) return false;
  char pattern[80] = "";
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, sizeof pattern);
  const std::string format = WidenShortDatePattern(pattern);
  SendMsg(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format.c_str()));
  return true;
}

bool CDateTimePicker::CreateTimePicker(HWND parent, const RECT& rect, int id) {
  if (!CreateControl(parent, rect, id, DTS_UPDOWN | DTS_TIMEFORMAT)) return false;
  char pattern[80] = "";
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, pattern, sizeof pattern);
  const std::string format = TimeFormat(pattern);
  SendMsg(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format.c_str()));
  return true;
}

std::string CDateTimePicker::WidenShortDatePattern(const std::string& pattern) {
  if (pattern.find("yyyy") != std::string::npos) return pattern;
  const size_t at = pattern.find("yy");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + "yyyy" + pattern.substr(at + 2);
}

std::string CDateTimePicker::TimeFormat(const std::string& pattern) {
  // Fields and the literal text between them, in order.
  struct Piece {
    bool field;
    std::string text;
  };
  std::vector<Piece> pieces;
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (std::strchr("hHmst", c)) {
      size_t j = i;
      while (j < pattern.size() && pattern[j] == c) ++j;
      pieces.push_back({true, pattern.substr(i, j - i)});
      i = j;
      continue;
    }
    std::string literal;
    if (c == '\'') {
      const size_t close = pattern.find('\'', i + 1);
      const size_t end = close == std::string::npos ? pattern.size() : close;
      literal = pattern.substr(i + 1, end - i - 1);
      i = end + 1;
    } else {
      literal = std::string(1, c);
      ++i;
    }
    if (!pieces.empty() && !pieces.back().field) {
      pieces.back().text += literal;
    } else {
      pieces.push_back({false, literal});
    }
  }
  std::string out;
  bool hasHour = false;
  for (size_t k = 0; k < pieces.size(); ++k) {
    const Piece& p = pieces[k];
    const bool beforeSeconds = k + 1 < pieces.size() && pieces[k + 1].field && pieces[k + 1].text[0] == 's';
    if ((p.field && p.text[0] == 's') || (!p.field && beforeSeconds)) continue;
    if (p.field) {
      hasHour = hasHour || p.text[0] == 'h' || p.text[0] == 'H';
      out += p.text;
    } else if (!p.text.empty()) {
      out += "'" + p.text + "'";
    }
  }
  return hasHour ? out : "HH':'mm";
}

void CDateTimePicker::GetDate(CDateTime& value) const {
  SYSTEMTIME st{};
  if (SendMsg(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return;
  value.SetDate(st.wDay, st.wMonth, st.wYear);
}

void CDateTimePicker::SetDate(const CDateTime& value) {
  SYSTEMTIME st{};
  ToSystemTime(value, &st);
  st.wHour = st.wMinute = st.wSecond = 0;
  SendMsg(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void CDateTimePicker::GetTime(CDateTime& value) const {
  SYSTEMTIME st{};
  if (SendMsg(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return;
  value.SetTime(st.wHour, st.wMinute, st.wSecond);
}

void CDateTimePicker::SetTime(const CDateTime& value) {
  SYSTEMTIME st{};
  ToSystemTime(value, &st);
  SendMsg(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void CDateTimePicker::OnDropDown() {
  HWND cal = reinterpret_cast<HWND>(SendMsg(DTM_GETMONTHCAL));
  if (cal) ::SendMessageA(cal, MCM_SETFIRSTDAYOFWEEK, 0, g_Settings.CalendarStartDay == 1 ? 0 : 6);
}

}  // namespace dialogs
