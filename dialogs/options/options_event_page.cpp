#include "dialogs/options/options_event_page.h"

#include <commctrl.h>

#include "dialogs/core/options_rules.h"
#include "dialogs/options/options_host.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"

namespace options {

namespace {

const int kDaysIds[] = {IDC_OPT_EVENT_DAYS_ONE_TIME, IDC_OPT_EVENT_DAYS_DAILY, IDC_OPT_EVENT_DAYS_WEEKLY,
                        IDC_OPT_EVENT_DAYS_MONTHLY, IDC_OPT_EVENT_DAYS_YEARLY};
const int kLeadIds[] = {IDC_OPT_EVENT_LEAD_ONE_TIME, IDC_OPT_EVENT_LEAD_DAILY, IDC_OPT_EVENT_LEAD_WEEKLY,
                        IDC_OPT_EVENT_LEAD_MONTHLY, IDC_OPT_EVENT_LEAD_YEARLY};
const int kUnitsIds[] = {IDC_OPT_EVENT_UNITS_ONE_TIME, IDC_OPT_EVENT_UNITS_DAILY, IDC_OPT_EVENT_UNITS_WEEKLY,
                         IDC_OPT_EVENT_UNITS_MONTHLY, IDC_OPT_EVENT_UNITS_YEARLY};
const char* const kUnits[] = {"Minutes", "Hours", "Days", "Weeks"};

int UnitsIndex(const std::string& text) {
  for (int i = 0; i < 4; ++i)
    if (text == kUnits[i]) return i;
  return -1;
}

// The settings of each row, in row order.
struct RowSettings {
  int16_t* days;
  int32_t* lead;
  std::string* units;
};

RowSettings Row(int i) {
  CProgramSettings& s = g_Settings;
  switch (i) {
    case 0: return {&s.DaysPriorOneTime, &s.LeadTimeOneTime, &s.LeadUnitsOneTime};
    case 1: return {&s.DaysPriorDaily, &s.LeadTimeDaily, &s.LeadUnitsDaily};
    case 2: return {&s.DaysPriorWeekly, &s.LeadTimeWeekly, &s.LeadUnitsWeekly};
    case 3: return {&s.DaysPriorMonthly, &s.LeadTimeMonthly, &s.LeadUnitsMonthly};
    default: return {&s.DaysPriorYearly, &s.LeadTimeYearly, &s.LeadUnitsYearly};
  }
}

}  // namespace

COptionsEvents::COptionsEvents() : COptionsPage(IDD_OPTIONS_EVENT, kHelpContext) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsEvents, COptionsPage)
  framework::OnCommand<&COptionsEvents::OnDefaultCalendar>(IDC_OPT_EVENT_DEFAULT_CALENDAR),
FRAMEWORK_END_MESSAGE_MAP()

BOOL COptionsEvents::OnInitDialog() {
  for (int i = 0; i < kRows; ++i) {
    RowSettings r = Row(i);
    daysPrior[i] = *r.days;
    leadTime[i] = *r.lead;
    unitsIndex[i] = UnitsIndex(*r.units);
    HWND combo = GetItem(kUnitsIds[i]);
    for (const char* u : kUnits) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
    ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_EVENT_SPIN_FIRST + 2 * i, UDM_SETRANGE32, 0, 365);
    ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OPT_EVENT_SPIN_FIRST + 2 * i + 1, UDM_SETRANGE32, 0, 1000);
  }
  notifyIndex = options_rules::NotifyTypeToIndex(g_Settings.DefaultNotifyType);
  allDay = g_Settings.all_day ? 1 : 0;
  showEndDate = g_Settings.show_enddate ? 1 : 0;
  alarmEnabled = g_Settings.alarm_enabled ? 1 : 0;
  eventSeconds = g_Settings.DefaultEventTime;
  CAlmacoraDoc* doc = OptionsHost().Document();
  defaultCalendarId = doc ? doc->calendars().defaultId : -1;

  RECT place{60, 176, 120, 190};
  ::MapDialogRect(GetSafeHwnd(), &place);
  timePicker_ = ::CreateWindowExA(0, DATETIMEPICK_CLASSA, "TIMEPICKER",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top, GetSafeHwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OPT_EVENT_TIME)),
                                  ::GetModuleHandleA(nullptr), nullptr);
  if (timePicker_) {
    ::SendMessageA(timePicker_, WM_SETFONT, SendMsg(WM_GETFONT), FALSE);
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    int secs = eventSeconds >= 0 && eventSeconds < 86400 ? eventSeconds : 0;
    st.wHour = static_cast<WORD>(secs / 3600);
    st.wMinute = static_cast<WORD>(secs / 60 % 60);
    st.wSecond = static_cast<WORD>(secs % 60);
    st.wMilliseconds = 0;
    ::SendMessageA(timePicker_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }
  return COptionsPage::OnInitDialog();
}

void COptionsEvents::DoDataExchange(framework::CDataExchange& dx) {
  for (int i = 0; i < kRows; ++i) {
    framework::ExchangeText(dx, kDaysIds[i], daysPrior[i]);
    framework::ValidateRange(dx, daysPrior[i], static_cast<short>(0), static_cast<short>(365));
    framework::ExchangeText(dx, kLeadIds[i], leadTime[i]);
    // Every row, the one-time row too: the event editor refuses a lead
    // time outside 0..1000, so a default outside it would spoil every new
    // event.
    framework::ValidateRange(dx, leadTime[i], 0, 1000);
    framework::ExchangeComboIndex(dx, kUnitsIds[i], unitsIndex[i]);
  }
  framework::ExchangeRadio(dx, IDC_OPT_EVENT_NOTIFY_ONE_TIME, notifyIndex);
  framework::ExchangeCheck(dx, IDC_OPT_EVENT_ALL_DAY, allDay);
  framework::ExchangeCheck(dx, IDC_OPT_EVENT_SHOW_END, showEndDate);
  framework::ExchangeCheck(dx, IDC_OPT_EVENT_ALARM, alarmEnabled);
  if (dx.IsSaving() && !dx.Failed() && timePicker_) {
    SYSTEMTIME st{};
    if (::SendMessageA(timePicker_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
      eventSeconds = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  }
}

void COptionsEvents::OnOK() {
  for (int i = 0; i < kRows; ++i) {
    RowSettings r = Row(i);
    *r.days = daysPrior[i];
    *r.lead = leadTime[i];
    if (unitsIndex[i] >= 0 && unitsIndex[i] < 4) *r.units = kUnits[unitsIndex[i]];
  }
  g_Settings.DefaultNotifyType = options_rules::IndexToNotifyType(notifyIndex, g_Settings.DefaultNotifyType);
  g_Settings.all_day = static_cast<int16_t>(allDay);
  g_Settings.show_enddate = static_cast<int16_t>(showEndDate);
  g_Settings.alarm_enabled = static_cast<int16_t>(alarmEnabled);
  g_Settings.DefaultEventTime = eventSeconds;
  if (CAlmacoraDoc* doc = OptionsHost().Document()) {
    doc->calendars().defaultId = defaultCalendarId;
    doc->calendars().UpdateMainWindowTitle();
  }
}

void COptionsEvents::OnDefaultCalendar() {
  CAlmacoraDoc* doc = OptionsHost().Document();
  if (!doc || doc->calendars().CountSelectableCalendars() == 0) {
    framework::MessageBox("No Event Files Currently Open");
    return;
  }
  int id = defaultCalendarId;
  if (OptionsHost().PickCalendar(GetSafeHwnd(), "Select default event file for new events.", "Select File", &id))
    defaultCalendarId = id;
}

}  // namespace options
