#include "dialogs/event/event_info_dlg.h"

#include <cstdio>

#include "framework/dialogs/data_exchange.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "storage/calendar_file.h"

namespace dialogs {
namespace {

SYSTEMTIME ToSystemTime(const CDateTime& value) {
  const CDateTime v = value.ConvertedTo(CDateTime::kAsLocal);
  int month = 0, day = 0, year = 0;
  v.GetDate(&month, &day, &year);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wDayOfWeek = static_cast<WORD>(v.GetWeekday() % 7);
  st.wHour = static_cast<WORD>(v.GetHour());
  st.wMinute = static_cast<WORD>(v.GetMinute());
  return st;
}

std::string DateText(const CDateTime& value, DWORD flags, const char* format) {
  if (value.IsEmpty()) return std::string();
  const SYSTEMTIME st = ToSystemTime(value);
  char text[128] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, format, text, sizeof text);
  return text;
}

}  // namespace

std::string WeekdayAndShortDate(const CDateTime& value) {
  return ": " + DateText(value, 0, "dddd") + ", " + DateText(value, DATE_SHORTDATE, nullptr);
}

std::string ShortTimeText(const CDateTime& value) {
  const SYSTEMTIME st = ToSystemTime(value);
  char text[64] = "";
  ::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text);
  return text;
}

std::string LongDateText(const CDateTime& value) { return DateText(value, DATE_LONGDATE, nullptr); }

CEventInfoDlg::CEventInfoDlg(IEventOperations* operations, HWND parent)
    : CDialog(IDD_EVENT_INFO, parent), operations_(operations) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CEventInfoDlg, framework::CDialog)
  framework::OnCommand<&CEventInfoDlg::OnModify>(IDC_INFO_MODIFY),
  framework::OnCommand<&CEventInfoDlg::OnDelete>(IDC_INFO_DELETE),
  framework::OnCommand<&CEventInfoDlg::OnPrint>(IDC_INFO_PRINT),
FRAMEWORK_END_MESSAGE_MAP()

void CEventInfoDlg::SetOccurrence(const COccurrenceRef& occurrence, const CDateTime& todayIn) {
  occurrence_ = occurrence;
  CCalEvent* ev = occurrence_.event;
  if (!ev) return;
  const CDateTime d = occurrence_.date.IsEmpty() ? ev->nextOccurrence : occurrence_.date;
  const CDateRange range = ev->GetOccurrenceRange(d);
  startDate = WeekdayAndShortDate(range.start);
  const CDateTime today = todayIn.IsEmpty() ? CDateTime::Today() : todayIn;
  const int32_t days = range.start.GetJulianDay(CDateTime::kAsLocal) - today.GetJulianDay(CDateTime::kAsLocal);
  char text[64];
  if (days == 0) {
    daysLeft = "Today!";
  } else {
    std::snprintf(text, sizeof text, "%d Days Left", static_cast<int>(days));
    daysLeft = text;
  }
  const bool showEnd = ev->GetShowEnd(d);
  endDate = showEnd ? WeekdayAndShortDate(range.end) : std::string();
  endLabel = showEnd ? "End" : "";
  originalYear.clear();
  age.clear();
  name = ": " + ev->GetOccurrenceName(d);
  type = ": " + ev->GetOccurrenceType(d);
  notes = ev->GetOccurrenceNotes(d);
  calendar = ": " + (ev->calendar ? ev->calendar->name : std::string());
  if (ev->IsAllDay(d)) {
    startTime.clear();
    endTime.clear();
  } else {
    startTime = ShortTimeText(range.start);
    endTime = showEnd ? ShortTimeText(range.end) : std::string();
  }
  if (ev->IsRecurring() && ev->GetFrequency() == CRecurrenceRule::kYearly && ev->calculateAge) {
    std::snprintf(text, sizeof text, "Original Year : %d", ev->start.GetYear());
    originalYear = text;
    std::snprintf(text, sizeof text, "Age on this Date : %d", d.GetYear() - ev->start.GetYear());
    age = text;
  }
}

void CEventInfoDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeText(dx, IDC_INFO_DAYS_LEFT, daysLeft);
  framework::ExchangeText(dx, IDC_INFO_NAME, name);
  framework::ExchangeText(dx, IDC_INFO_NOTES, notes);
  framework::ExchangeText(dx, IDC_INFO_START_TIME, startTime);
  framework::ExchangeText(dx, IDC_INFO_TYPE, type);
  framework::ExchangeText(dx, IDC_INFO_START_DATE, startDate);
  framework::ExchangeText(dx, IDC_INFO_ORIGINAL_YEAR, originalYear);
  framework::ExchangeText(dx, IDC_INFO_AGE, age);
  framework::ExchangeText(dx, IDC_INFO_END_DATE, endDate);
  framework::ExchangeText(dx, IDC_INFO_END_TIME, endTime);
  framework::ExchangeText(dx, IDC_INFO_END_LABEL, endLabel);
  framework::ExchangeText(dx, IDC_INFO_CALENDAR, calendar);
}

void CEventInfoDlg::OnModify() {
  if (operations_ && operations_->ModifyEvent(occurrence_)) EndDialog(IDOK);
}

void CEventInfoDlg::OnDelete() {
  if (operations_ && operations_->DeleteEvent(occurrence_)) EndDialog(IDOK);
}

void CEventInfoDlg::OnPrint() {
  if (operations_) operations_->PrintEvent(occurrence_);
}

}  // namespace dialogs
