#include "dialogs/event/event_edit_dlg.h"

#include <commctrl.h>

#include "dialogs/event/advanced_recurrence_dlg.h"
#include "dialogs/event/event_info_dlg.h"
#include "dialogs/small/help_hook.h"
#include "dialogs/event/open_recurring_dlg.h"
#include "dialogs/small/upcoming_days_dlg.h"
#include "dialogs/small/warning_dlg.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/calendar_file.h"

namespace dialogs {

using dialogcore::EventEditSession;

namespace {

const int kKindRadios[] = {IDC_EE_ONE_TIME, IDC_EE_DAILY, IDC_EE_WEEKLY, IDC_EE_MONTHLY, IDC_EE_YEARLY, IDC_EE_EASTER};
const char* const kAdvancedTexts[] = {"", "Daily - Advanced", "Weekly - Advanced", "Monthly - Advanced",
                                      "Yearly - Advanced", "Easter - Advanced"};
const char* const kUnitTexts[] = {"", "Day(s)", "Week(s)", "Month(s)", "Year(s)", ""};
const char* const kLeadUnits[] = {"Minutes", "Hours", "Days", "Weeks"};
constexpr DWORD kHelpContext = 3;

}  // namespace

void PlaceInTabOrder(std::initializer_list<HWND> windows, HWND after) {
  for (HWND w : windows) {
    if (!w || !after) return;
    ::SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w;
  }
}

CEventEditDlg::CEventEditDlg(dialogcore::IEventEditHost* host, HWND parent)
    : CDialog(IDD_EVENT_EDIT, parent), host_(host), use24Hour_(IsLocale24Hour() != 0) {}

CEventEditDlg::~CEventEditDlg() { session_.Abandon(); }

std::function<bool(HWND parent)>& CEventEditDlg::TypeSetupHook() {
  static std::function<bool(HWND parent)> hook;
  return hook;
}

std::function<void(HWND parent, CCalEvent* event)>& CEventEditDlg::AlarmActionsHook() {
  static std::function<void(HWND parent, CCalEvent* event)> hook;
  return hook;
}

void CEventEditDlg::OnAlarmActions() {
  // The sheet edits the session's copy; only the editor's save keeps it.
  if (AlarmActionsHook() && !session_.readOnly && session_.event)
    AlarmActionsHook()(GetSafeHwnd(), session_.ActionsDraft());
}

// The type list is refilled from the settings the sheet changed; what the
// user typed in the box stays.
void CEventEditDlg::OnTypeSetup() {
  HWND h = GetSafeHwnd();
  if (!TypeSetupHook() || session_.readOnly || !TypeSetupHook()(h)) return;
  char typed[256] = "";
  ::GetDlgItemTextA(h, IDC_EE_TYPE, typed, sizeof typed);
  ::SendDlgItemMessageA(h, IDC_EE_TYPE, CB_RESETCONTENT, 0, 0);
  for (const std::string& t : g_Settings.EventTypeNames)
    ::SendDlgItemMessageA(h, IDC_EE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
  ::SetDlgItemTextA(h, IDC_EE_TYPE, typed);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CEventEditDlg, framework::CDialog)
  framework::OnCommand<&CEventEditDlg::OnSaveAndNew>(IDC_EE_SAVE_NEW),
  framework::OnCommand<&CEventEditDlg::OnSaveAndNew>(ID_EE_SAVE_NEW),
  framework::OnCommand<&CEventEditDlg::OnCancel>(ID_EE_CANCEL),
  framework::OnCommand<&CEventEditDlg::OnOK>(ID_EE_SAVE_CLOSE),
  framework::OnCommand<&CEventEditDlg::OnAdvanced>(IDC_EE_ADVANCED),
  framework::OnCommand<&CEventEditDlg::OnOneTime>(IDC_EE_ONE_TIME),
  framework::OnCommand<&CEventEditDlg::OnDaily>(IDC_EE_DAILY),
  framework::OnCommand<&CEventEditDlg::OnWeekly>(IDC_EE_WEEKLY),
  framework::OnCommand<&CEventEditDlg::OnMonthly>(IDC_EE_MONTHLY),
  framework::OnCommand<&CEventEditDlg::OnYearly>(IDC_EE_YEARLY),
  framework::OnCommand<&CEventEditDlg::OnEasterYearly>(IDC_EE_EASTER),
  framework::OnCommand<&CEventEditDlg::OnAlarm>(IDC_EE_ALARM),
  framework::OnCommand<&CEventEditDlg::OnAllDay>(IDC_EE_ALL_DAY),
  framework::OnCommand<&CEventEditDlg::OnShowEnd>(IDC_EE_SHOW_END),
  framework::OnCommand<&CEventEditDlg::OnUpcomingDays>(ID_EE_UPCOMING_DAYS),
  framework::OnCommand<&CEventEditDlg::OnTypeSetup>(IDC_EE_TYPE_SETUP),
  framework::OnCommand<&CEventEditDlg::OnTypeSetup>(ID_EE_EVENT_TYPES),
  framework::OnCommand<&CEventEditDlg::OnAlarmActions>(IDC_EE_ACTIONS),
  framework::OnCommand<&CEventEditDlg::OnAlarmActions>(ID_EE_ALARM_ACTIONS),
  framework::OnCommand<&CEventEditDlg::OnHelp>(IDC_EE_HELP),
  framework::OnCommand<&CEventEditDlg::OnHelp>(ID_EE_HELP),
  framework::OnMessage<&CEventEditDlg::OnHelpKey>(WM_HELP),
  framework::OnNotify<&CEventEditDlg::OnStartDateChange>(DTN_DATETIMECHANGE, IDC_EE_START_DATE),
  framework::OnNotify<&CEventEditDlg::OnStartTimeChange>(DTN_DATETIMECHANGE, IDC_EE_START_TIME),
  framework::OnNotify<&CEventEditDlg::OnEndChange>(DTN_DATETIMECHANGE, IDC_EE_END_DATE),
  framework::OnNotify<&CEventEditDlg::OnEndChange>(DTN_DATETIMECHANGE, IDC_EE_END_TIME),
  framework::OnNotify<&CEventEditDlg::OnDropDown>(DTN_DROPDOWN, IDC_EE_START_DATE),
  framework::OnNotify<&CEventEditDlg::OnDropDown>(DTN_DROPDOWN, IDC_EE_END_DATE),
FRAMEWORK_END_MESSAGE_MAP()

bool CEventEditDlg::LoadEvent(CCalEvent* event, const CDateTime* occurrence) {
  if (!event) return false;
  return session_.Load(*event, occurrence, [this](const std::string& prompt) { return AskOpenRecurring(prompt); });
}

int CEventEditDlg::AskOpenRecurring(const std::string& prompt) {
  COpenRecurringDlg dlg(parent_);
  dlg.prompt = prompt;
  dlg.choice = 0;
  if (dlg.DoModal() != IDOK) return -1;
  return dlg.choice == 0 ? 0 : 1;
}

int CEventEditDlg::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  return framework::MessageBox(text, flags, caption);
}

WarningAnswer CEventEditDlg::ShowWarning(const WarningRequest& request) {
  CWarningDlg dlg(GetSafeHwnd());
  dlg.message = request.message;
  dlg.caption = request.caption;
  WarningAnswer answer;
  answer.accepted = dlg.DoModal() == IDYES;
  answer.dontShowAgain = dlg.doNotShow == 1;
  return answer;
}

bool CEventEditDlg::RunAdvanced(CRecurrenceRule& rule, bool readOnly, bool* untilFollows) {
  CAdvancedRecurrenceDlg dlg(GetSafeHwnd());
  dlg.SetRule(&rule, readOnly);
  if (dlg.DoModal() != IDOK) return false;
  *untilFollows = dlg.UntilFollowsStart(*untilFollows);
  return true;
}

void CEventEditDlg::DoDataExchange(framework::CDataExchange& dx) {
  EventEditSession& s = session_;
  framework::ExchangeText(dx, IDC_EE_NAME, s.name);
  framework::ValidateMaxChars(dx, s.name, 500);
  framework::ExchangeText(dx, IDC_EE_NOTES, s.notes);
  framework::ValidateMaxChars(dx, s.notes, 50000);
  framework::ExchangeComboText(dx, IDC_EE_TYPE, s.type);
  framework::ValidateMaxChars(dx, s.type, 255);
  framework::ExchangeCheck(dx, IDC_EE_DISABLED, s.disabled);
  framework::ExchangeRadio(dx, IDC_EE_ONE_TIME, s.kind);
  framework::ExchangeText(dx, IDC_EE_INTERVAL, s.interval);
  framework::ValidateRange(dx, s.interval, 1, 10000);
  framework::ExchangeText(dx, IDC_EE_OFFSET, s.offsetDays);
  framework::ValidateRange(dx, s.offsetDays, 0, 365);
  framework::ExchangeComboIndex(dx, IDC_EE_OFFSET_DIRECTION, s.offsetDirection);
  framework::ExchangeCheck(dx, IDC_EE_CALC_AGE, s.calculateAge);
  framework::ExchangeCheck(dx, IDC_EE_ALARM, s.alarm);
  framework::ExchangeText(dx, IDC_EE_LEAD, s.leadAmount);
  framework::ValidateRange(dx, s.leadAmount, 0, 1000);
  framework::ExchangeComboText(dx, IDC_EE_LEAD_UNITS, s.leadUnits);
  framework::ExchangeCheck(dx, IDC_EE_ALL_DAY, s.allDay);
  framework::ExchangeCheck(dx, IDC_EE_SHOW_END, s.showEnd);
}

BOOL CEventEditDlg::OnInitDialog() {
  HWND h = GetSafeHwnd();
  // The lists the template holds as its initial data.
  for (const char* u : kLeadUnits) ::SendDlgItemMessageA(h, IDC_EE_LEAD_UNITS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
  for (const char* d : {"Before", "After"})
    ::SendDlgItemMessageA(h, IDC_EE_OFFSET_DIRECTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
  for (const std::string& t : g_Settings.EventTypeNames)
    ::SendDlgItemMessageA(h, IDC_EE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
  CDialog::OnInitDialog();
  initialising_ = true;
  CreatePickers();
  FillCalendars();
  if (!session_.series) {
    ::SetWindowTextA(h, "Event Edit  ** Editing a single occurrence of a recurring event **");
    const COccurrenceOverride* o = session_.event->occurrenceOverrides.GetAssocAt(session_.occurrenceDate);
    if (o && o->IsMoved() && o->start != session_.occurrenceDate) {
      std::string text = "This occurrence has been rescheduled.  The original date was " +
                         LongDateText(session_.occurrenceDate);
      if (!session_.event->allDay) text += " " + ShortTimeText(session_.occurrenceDate);
      ::SetDlgItemTextA(h, IDC_EE_ORIGINAL_DATE, text.c_str());
      ::ShowWindow(::GetDlgItem(h, IDC_EE_ORIGINAL_DATE), SW_SHOW);
    }
  }
  ShowStart();
  ShowEnd();
  OnAlarm();
  OnShowEnd();
  OnAllDay();
  OnKind(session_.kind < 0 ? dialogcore::kOneTime : session_.kind);
  ::SendDlgItemMessageA(h, IDC_EE_LEAD_SPIN, UDM_SETRANGE32, 0, 1000);
  ::SendDlgItemMessageA(h, IDC_EE_INTERVAL_SPIN, UDM_SETRANGE32, 1, 10000);
  ::SendDlgItemMessageA(h, IDC_EE_OFFSET_SPIN, UDM_SETRANGE32, 0, 365);
  ::SendDlgItemMessageA(h, IDC_EE_TYPE, CB_SETEXTENDEDUI, TRUE, 0);
  ::SetFocus(::GetDlgItem(h, IDC_EE_NAME));
  if (!session_.series) HideForOccurrence();
  if (session_.readOnly) {
    DisableForReadOnly();
  } else {
    if (TypeSetupHook()) {
      ::EnableWindow(::GetDlgItem(h, IDC_EE_TYPE_SETUP), TRUE);
      ::EnableMenuItem(::GetMenu(h), ID_EE_EVENT_TYPES, MF_BYCOMMAND | MF_ENABLED);
    }
    if (AlarmActionsHook()) {
      ::EnableWindow(::GetDlgItem(h, IDC_EE_ACTIONS), TRUE);
      ::EnableMenuItem(::GetMenu(h), ID_EE_ALARM_ACTIONS, MF_BYCOMMAND | MF_ENABLED);
    }
  }
  initialising_ = false;
  return FALSE;
}

void CEventEditDlg::CreatePickers() {
  auto rect = [this](int l, int t, int r, int b) {
    RECT rc{l, t, r, b};
    ::MapDialogRect(GetSafeHwnd(), &rc);
    return rc;
  };
  startDate_.CreateDatePicker(GetSafeHwnd(), rect(175, 96, 240, 110), IDC_EE_START_DATE);
  startTime_.CreateField(GetSafeHwnd(), rect(245, 96, 305, 110), IDC_EE_START_TIME);
  endDate_.CreateDatePicker(GetSafeHwnd(), rect(175, 114, 240, 128), IDC_EE_END_DATE);
  endTime_.CreateField(GetSafeHwnd(), rect(245, 114, 305, 128), IDC_EE_END_TIME);
  // Made last, they would come after the buttons in the tab order: each
  // goes after its label, in reading order.
  HWND endLabel = ::GetDlgItem(GetSafeHwnd(), IDC_EE_END_LABEL);
  PlaceInTabOrder({startDate_.GetSafeHwnd(), startTime_.GetSafeHwnd()}, ::GetWindow(endLabel, GW_HWNDPREV));
  PlaceInTabOrder({endDate_.GetSafeHwnd(), endTime_.GetSafeHwnd()}, endLabel);
}

void CEventEditDlg::FillCalendars() {
  HWND combo = ::GetDlgItem(GetSafeHwnd(), IDC_EE_CALENDAR);
  if (!host_) return;
  int selected = -1;
  for (CCalendarFile* c : session_.OfferedCalendars(*host_, &selected)) {
    const LRESULT i = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c->name.c_str()));
    ::SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), c->listId);
  }
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CEventEditDlg::ShowStart() {
  startDate_.SetDate(session_.start);
  startTime_.SetTime(session_.start);
}

void CEventEditDlg::ShowEnd() {
  endDate_.SetDate(session_.end);
  endTime_.SetTime(session_.end);
}

CDateTime CEventEditDlg::PickedStart() const {
  CDateTime v = session_.start;
  startDate_.GetDate(v);
  startTime_.GetTime(v);
  return v;
}

CDateTime CEventEditDlg::PickedEnd() const {
  CDateTime v = session_.end;
  endDate_.GetDate(v);
  endTime_.GetTime(v);
  return v;
}

void CEventEditDlg::ShowItem(int id, bool show, bool enable) {
  HWND item = ::GetDlgItem(GetSafeHwnd(), id);
  ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
  ::EnableWindow(item, enable);
}

void CEventEditDlg::SetAdvancedLabel() {
  ShowItem(IDC_EE_ADVANCED_LABEL, session_.advanced && session_.kind != dialogcore::kOneTime, true);
}

void CEventEditDlg::OnKind(int kind) {
  session_.SelectKind(kind, !initialising_);
  HWND h = GetSafeHwnd();
  for (int i = 0; i < 6; ++i) ::CheckDlgButton(h, kKindRadios[i], i == kind ? BST_CHECKED : BST_UNCHECKED);
  if (!initialising_) {
    ::SetDlgItemInt(h, IDC_EE_LEAD, static_cast<UINT>(session_.leadAmount), FALSE);
    ::SendDlgItemMessageA(h, IDC_EE_LEAD_UNITS, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(session_.leadUnits.c_str()));
  }
  if (session_.series) ShowKindControls(kind);
}

void CEventEditDlg::ShowKindControls(int kind) {
  using namespace dialogcore;
  const bool recurring = kind != kOneTime;
  const bool easter = kind == kEasterYearly;
  const bool counted = recurring && !easter;
  ShowItem(IDC_EE_ADVANCED, recurring, recurring);
  if (recurring) ::SetDlgItemTextA(GetSafeHwnd(), IDC_EE_ADVANCED, kAdvancedTexts[kind]);
  ShowItem(IDC_EE_UNITS_LABEL, counted, counted);
  if (counted) ::SetDlgItemTextA(GetSafeHwnd(), IDC_EE_UNITS_LABEL, kUnitTexts[kind]);
  ShowItem(IDC_EE_CALC_AGE, kind == kYearly, kind == kYearly);
  for (int id : {IDC_EE_INTERVAL, IDC_EE_INTERVAL_SPIN, IDC_EE_REPEAT_LABEL}) ShowItem(id, counted, counted);
  for (int id : {IDC_EE_OFFSET_LABEL, IDC_EE_OFFSET, IDC_EE_OFFSET_SPIN, IDC_EE_OFFSET_DAYS, IDC_EE_OFFSET_DIRECTION})
    ShowItem(id, easter, easter);
  SetAdvancedLabel();
}

void CEventEditDlg::OnAlarm() {
  const bool on = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_EE_ALARM) != BST_UNCHECKED;
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_EE_LEAD), on && !session_.readOnly);
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_EE_LEAD_UNITS), on && !session_.readOnly);
}

void CEventEditDlg::OnAllDay() {
  const bool allDay = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_EE_ALL_DAY) == BST_CHECKED;
  const bool showEnd = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_EE_SHOW_END) == BST_CHECKED;
  session_.allDay = allDay;
  const bool editable = !session_.readOnly;
  ::ShowWindow(startTime_.GetSafeHwnd(), allDay ? SW_HIDE : SW_SHOW);
  ::EnableWindow(startTime_.GetSafeHwnd(), !allDay && editable);
  ::ShowWindow(endTime_.GetSafeHwnd(), !allDay && showEnd ? SW_SHOW : SW_HIDE);
  ::EnableWindow(endTime_.GetSafeHwnd(), !allDay && editable);
}

void CEventEditDlg::OnShowEnd() {
  const bool showEnd = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_EE_SHOW_END) == BST_CHECKED;
  const bool allDay = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_EE_ALL_DAY) == BST_CHECKED;
  session_.showEnd = showEnd;
  if (showEnd && !initialising_) {
    session_.start = PickedStart();
    session_.ShowEndTurnedOn();
    ShowEnd();
  }
  ::ShowWindow(endDate_.GetSafeHwnd(), showEnd ? SW_SHOW : SW_HIDE);
  ::ShowWindow(::GetDlgItem(GetSafeHwnd(), IDC_EE_END_LABEL), showEnd ? SW_SHOW : SW_HIDE);
  ::ShowWindow(endTime_.GetSafeHwnd(), showEnd && !allDay ? SW_SHOW : SW_HIDE);
}

void CEventEditDlg::OnStartDateChange(NMHDR*, LRESULT* result) {
  session_.StartDateChanged(PickedStart());
  SetAdvancedLabel();
  ShowEnd();
  *result = 0;
}

void CEventEditDlg::OnStartTimeChange(NMHDR*, LRESULT* result) {
  session_.StartTimeChanged(PickedStart());
  ShowEnd();
  *result = 0;
}

void CEventEditDlg::OnEndChange(NMHDR*, LRESULT* result) {
  session_.end = PickedEnd();
  *result = 0;
}

void CEventEditDlg::OnDropDown(NMHDR* header, LRESULT* result) {
  (header->idFrom == IDC_EE_START_DATE ? startDate_ : endDate_).OnDropDown();
  *result = 0;
}

void CEventEditDlg::OnAdvanced() {
  CRecurrenceRule copy(&session_.start);
  copy = session_.rule;
  copy.frequency = session_.rule.frequency;
  dialogcore::SeedAdvancedRule(copy, session_.start);
  bool untilFollows = session_.untilFollowsStart;
  if (!RunAdvanced(copy, session_.readOnly, &untilFollows)) return;
  session_.rule = copy;
  session_.untilFollowsStart = untilFollows;
  session_.advanced = session_.rule.HasAdvancedCriteria();
  SetAdvancedLabel();
  if (session_.readOnly) return;
  UpdateData(true);
  session_.ApplyAdvancedStart(prompts_);
  ShowStart();
  ShowEnd();
}

void CEventEditDlg::OnUpcomingDays() {
  CUpcomingDaysDlg dlg(GetSafeHwnd());
  dlg.daysPrior = static_cast<UINT>(session_.daysPrior < 0 ? 0 : session_.daysPrior);
  if (dlg.DoModal() == IDOK) session_.daysPrior = static_cast<int>(dlg.daysPrior);
}

void CEventEditDlg::OnHelp() { ShowHelpTopic(kHelpContext); }

LRESULT CEventEditDlg::OnHelpKey(WPARAM, LPARAM) {
  OnHelp();
  return TRUE;
}

void CEventEditDlg::HideForOccurrence() {
  for (int id : {IDC_EE_INTERVAL, IDC_EE_INTERVAL_SPIN, IDC_EE_ADVANCED, IDC_EE_CALC_AGE, IDC_EE_UNITS_LABEL,
                 IDC_EE_REPEAT_LABEL, IDC_EE_DISABLED, IDC_EE_ONE_TIME, IDC_EE_DAILY, IDC_EE_WEEKLY, IDC_EE_MONTHLY,
                 IDC_EE_YEARLY, IDC_EE_EASTER, IDC_EE_ACTIONS, IDC_EE_ALL_DAY, IDC_EE_SHOW_END})
    ShowItem(id, false, false);
  for (int id : {IDC_EE_FREQUENCY_GROUP, IDC_EE_ADVANCED_LABEL, IDC_EE_OFFSET_LABEL, IDC_EE_OFFSET, IDC_EE_OFFSET_SPIN,
                 IDC_EE_OFFSET_DAYS, IDC_EE_OFFSET_DIRECTION})
    ::ShowWindow(::GetDlgItem(GetSafeHwnd(), id), SW_HIDE);
}

void CEventEditDlg::DisableForReadOnly() {
  HWND h = GetSafeHwnd();
  for (int id : {IDC_EE_NAME, IDC_EE_NOTES, IDC_EE_INTERVAL})
    ::SendDlgItemMessageA(h, id, EM_SETREADONLY, TRUE, 0);
  for (int id : {IDC_EE_INTERVAL_SPIN, IDC_EE_CALC_AGE, IDC_EE_UNITS_LABEL, IDC_EE_REPEAT_LABEL, IDC_EE_DISABLED,
                 IDC_EE_ONE_TIME, IDC_EE_DAILY, IDC_EE_WEEKLY, IDC_EE_MONTHLY, IDC_EE_YEARLY, IDC_EE_EASTER,
                 IDC_EE_ALL_DAY, IDC_EE_SHOW_END, IDC_EE_TYPE, IDC_EE_CALENDAR, IDC_EE_ACTIONS, IDC_EE_LEAD,
                 IDC_EE_LEAD_SPIN, IDC_EE_LEAD_UNITS, IDC_EE_OFFSET_DIRECTION, IDC_EE_OFFSET, IDC_EE_OFFSET_SPIN,
                 IDC_EE_ALARM})
    ::EnableWindow(::GetDlgItem(h, id), FALSE);
  for (HWND p : {startDate_.GetSafeHwnd(), startTime_.GetSafeHwnd(), endDate_.GetSafeHwnd(), endTime_.GetSafeHwnd()})
    ::EnableWindow(p, FALSE);
  ::SetWindowTextA(h, "Event Edit ** iCalendar Files Cannot be Edited.  Convert to Edit **");
}

}  // namespace dialogs
