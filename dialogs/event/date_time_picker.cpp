#include "dialogs/event/date_time_picker.h"

#include <commctrl.h>

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
  SendMsg(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(TimeFormat(IsLocale24Hour() != 0)));
  return true;
}

std::string CDateTimePicker::WidenShortDatePattern(const std::string& pattern) {
  if (pattern.find("yyyy") != std::string::npos) return pattern;
  const size_t at = pattern.find("yy");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + "yyyy" + pattern.substr(at + 2);
}

const char* CDateTimePicker::TimeFormat(bool use24Hour) { return use24Hour ? "H':'mm" : "h':'mm' 'tt"; }

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
