// The event editor's Save and Close, Save and New and Cancel: the checks in
// their fixed order, then the session's save.
#include <cstdio>

#include "dialogs/event/event_edit_dlg.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace dialogs {

bool CEventEditDlg::Prompts::AskResetOccurrences() {
  return dlg_.ShowMessage(
             "This recurring event has occurrences that have been rescheduled or canceled.\nSaving this event with a "
             "different start date/time will reset these occurrences.\n\nContinue Saving Event?",
             std::string(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CEventEditDlg::Prompts::RefuseEarlyOccurrence() {
  dlg_.ShowMessage(
      "This occurrence cannot be saved.\n\nIndividual occurrences may not be rescheduled\nbefore the first occurrence "
      "of an event.",
      std::string(), MB_OK | MB_ICONINFORMATION);
}

void CEventEditDlg::Prompts::NotifyStartMoved() {
  dlg_.ShowMessage("Start date will be updated to\nthe next occurrence that meets\nyour advanced criteria.",
                   "Date/Time Change", MB_OK | MB_ICONINFORMATION);
}

void CEventEditDlg::OnOK() { SaveAndEnd(IDOK); }

void CEventEditDlg::OnSaveAndNew() { SaveAndEnd(kSaveAndNew); }

void CEventEditDlg::OnCancel() {
  session_.Abandon();
  EndDialog(IDCANCEL);
}

void CEventEditDlg::SaveAndEnd(int result) {
  if (!UpdateData(true)) return;
  session_.start = PickedStart();
  session_.end = PickedEnd();
  if (!session_.readOnly) {
    if (CheckDateTimes() || CheckTimeConflict()) return;
    if (session_.name.empty()) {
      ShowMessage("Please Enter an Event Name.", "Missing Event Name", MB_OK | MB_ICONINFORMATION);
      return;
    }
    const LRESULT sel = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_EE_CALENDAR, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR)
      session_.calendarId = static_cast<int>(
          ::SendDlgItemMessageA(GetSafeHwnd(), IDC_EE_CALENDAR, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
  }
  if (!host_ || !session_.Save(*host_, prompts_)) return;
  EndDialog(result);
}

bool CEventEditDlg::CheckDateTimes() {
  if (session_.showEnd && session_.start > session_.end) {
    ShowMessage("Start date/time may not occur after end date/time.\nPlease correct date/times.", "Date/Time Error",
                MB_OK | MB_ICONINFORMATION);
    return true;
  }
  if (session_.allDay || !g_Settings.WarnTime) return false;
  const int s = session_.start.HasTimeOfDay() ? session_.start.GetSecondsOfDay() : 0;
  if (!dialogcore::IsUnusualTime(s, g_Settings.WarnTimeBegin, g_Settings.WarnTimeEnd)) return false;
  WarningRequest request;
  request.message = dialogcore::UnusualTimeMessage(g_Settings.WarnTimeBegin, g_Settings.WarnTimeEnd, use24Hour_);
  const WarningAnswer answer = ShowWarning(request);
  if (answer.dontShowAgain) {
    g_Settings.WarnTime = 0;
    g_Settings.WriteInt("WarnTime", 0);
  }
  return !answer.accepted;
}

bool CEventEditDlg::CheckTimeConflict() {
  if (!g_Settings.WarnTimeConflict || session_.allDay || !host_) return false;
  CDateTime from, to;
  session_.ConflictRange(&from, &to);
  CCalEvent* other = host_->FindConflictingEvent(from, to, session_.event);
  if (!other) return false;
  WarningRequest request;
  request.message = "The event time conflicts with the following event:\nEvent Name : " + other->name +
                    "\n\nSave Event Anyway?";
  const WarningAnswer answer = ShowWarning(request);
  if (answer.dontShowAgain) {
    g_Settings.WarnTimeConflict = 0;
    g_Settings.WriteInt("WarnTimeConflict", 0);
  }
  return !answer.accepted;
}

}  // namespace dialogs
