// The main frame's event operations: what every view, the information
// dialog and the reminder window start their event work through.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "dialogs/core/event_export_name.h"
#include "dialogs/event/event_edit_dlg.h"
#include "dialogs/event/event_info_dlg.h"
#include "dialogs/small/warning_dlg.h"
#include "framework/dialogs/message_box.h"
#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/commands/event_operations_host.h"
#include "shell/frame/main_frame.h"
#include "shell/printing/print_event.h"
#include "shell/app/private_messages.h"
#include "shell/commands/shell_event_host.h"
#include "storage/calendar_file.h"

namespace {

IEventOperationsHost* g_testHost = nullptr;

bool Saves(int result) { return result == IDOK || result == dialogs::CEventEditDlg::kSaveAndNew; }

// A new event on `day` at the default time of day (today without a day).
CCalEvent* NewEventOn(const CDateTime* day) {
  auto* event = new CCalEvent();
  CDateTime when = day && !day->IsEmpty() ? *day : CDateTime::Today();
  when.SetSecondsOfDay(g_Settings.DefaultEventTime);
  event->start = when;
  event->end = when;
  return event;
}

// False, after telling the user, when no calendar can take a new event.
bool CanAdd(IEventOperationsHost* host) {
  if (host->CanAddEvents()) return true;
  framework::MessageBox(
      "Cannot add event.  There is no event file currently open.\n\nSelect the \"Calendar | Open\" menu item to "
      "open an event file.\nSelect the \"Calendar | New\" menu item to start a new event file.",
      MB_OK | MB_ICONINFORMATION, "Almacora");
  return false;
}

}  // namespace

IEventOperationsHost* CMainFrame::SetEventOperationsHost(IEventOperationsHost* host) {
  IEventOperationsHost* previous = g_testHost;
  g_testHost = host;
  return previous;
}

IEventOperationsHost* CMainFrame::EventHost() {
  if (g_testHost) return g_testHost;
  if (!m_pShellEventHost) m_pShellEventHost = std::make_unique<CShellEventHost>(GetShellDocument(), GetSafeHwnd());
  return m_pShellEventHost.get();
}

void CMainFrame::OnEditAdd() {
  CDateTime today = CDateTime::Today();
  AddEventOnDate(&today);
}

void CMainFrame::WarnIfFiltered() {
  IEventOperationsHost* host = EventHost();
  if (!g_Settings.WarnFilter || !host->IsFilterActive()) return;
  dialogs::CWarningDlg dlg(GetSafeHwnd());
  dlg.message = "Filtering is enabled.  New or modified events may not be shown.\n\nDisable Filtering?";
  const int answer = dlg.DoModal();
  if (dlg.doNotShow == 1) g_Settings.WarnFilter = 0;
  if (answer != IDYES) return;
  host->SetFilterActive(false);
  UpdateFilterMenu();
  host->UpdateViews(kHintReload, nullptr);
}

void CMainFrame::AddEventOnDate(const CDateTime* date) {
  if (!CanAdd(EventHost())) return;
  WarnIfFiltered();
  framework::CWaitCursor wait;
  EditNewEvent(NewEventOn(date));
}

void CMainFrame::AddEventRange(const CDateTime* start, const CDateTime* end) {
  if (!CanAdd(EventHost())) return;
  WarnIfFiltered();
  framework::CWaitCursor wait;
  auto* event = new CCalEvent();
  event->allDay = 0;
  event->showEnd = 0;
  event->start = start ? *start : CDateTime::NowLocal();
  if (end) {
    event->end = *end;
    event->showEnd = 1;
  } else {
    event->end = event->start;
  }
  EditNewEvent(event);
}

void CMainFrame::AddAllDayEvent(const CDateTime& date) {
  if (!CanAdd(EventHost())) return;
  WarnIfFiltered();
  framework::CWaitCursor wait;
  auto* event = new CCalEvent();
  event->start = date;
  event->end = date;
  event->allDay = 1;
  EditNewEvent(event);
}

int CMainFrame::RunNewEventEditor(CCalEvent* event, int* chosenCalendar) {
  int result = IDCANCEL;
  {
    // The dialog goes before the event it points at.
    dialogs::CEventEditDlg dlg(&EventHost()->EditHost(), GetSafeHwnd());
    if (dlg.LoadEvent(event, nullptr)) result = dlg.DoModal();
    if (chosenCalendar) *chosenCalendar = dlg.Session().calendarId;
  }
  if (Saves(result))
    EventHost()->AddEvent(event);
  else
    delete event;
  return result;
}

void CMainFrame::ChainNewEvents(int result, int calendarId) {
  while (result == dialogs::CEventEditDlg::kSaveAndNew) {
    // The next event starts in the calendar the user just chose.
    CCalEvent* next = NewEventOn(nullptr);
    next->targetCalendarId = calendarId;
    result = RunNewEventEditor(next, &calendarId);
  }
}

void CMainFrame::EditNewEvent(CCalEvent* event) {
  framework::CWaitCursor wait;
  int calendarId = 0;
  const int result = RunNewEventEditor(event, &calendarId);
  ChainNewEvents(result, calendarId);
}

void CMainFrame::AddCopy(const CCalEvent& source) {
  WarnIfFiltered();
  framework::CWaitCursor wait;
  IEventOperationsHost* host = EventHost();
  // The copy goes to the source's calendar when that can take new events.
  CCalendarFile* calendar = source.calendar && source.calendar->CanReceiveNewEvents() ? source.calendar
                                                                                       : host->DefaultCalendar();
  int result = IDOK, calendarId = 0;
  do {
    auto* copy = new CCalEvent();
    *copy = source;
    copy->uid = CCalEvent::MakeEventUid();
    // A copy of actions proven here stays armed under its new UID.
    copy->armRequested = static_cast<int16_t>(actionproof::Proven(source) ? 1 : 0);
    copy->calendar = calendar;
    copy->targetCalendarId = calendarId;
    result = RunNewEventEditor(copy, &calendarId);
  } while (result == dialogs::CEventEditDlg::kSaveAndNew);
}

BOOL CMainFrame::ModifyEvent(COccurrenceRef occurrence) { return ModifyEventOver(GetSafeHwnd(), occurrence); }

BOOL CMainFrame::ModifyEventOver(HWND owner, COccurrenceRef occurrence) {
  if (!occurrence.event) return FALSE;
  WarnIfFiltered();
  framework::CWaitCursor wait;
  int result = IDCANCEL;
  bool saved = false;
  int calendarId = 0;
  {
    dialogs::CEventEditDlg dlg(&EventHost()->EditHost(), owner ? owner : GetSafeHwnd());
    const CDateTime* at = occurrence.date.IsEmpty() ? nullptr : &occurrence.date;
    if (!dlg.LoadEvent(occurrence.event, at)) return FALSE;
    result = dlg.DoModal();
    saved = Saves(result) && dlg.SavedChanges();
    calendarId = dlg.Session().calendarId;
  }
  if (!Saves(result)) return FALSE;
  // Only a write that went through counts as saved: a failed one has told
  // the user, a declined one wrote nothing.
  if (saved) saved = EventHost()->SaveEventAndRefresh(*occurrence.event) == 1;
  ChainNewEvents(result, calendarId);
  return saved ? TRUE : FALSE;
}

BOOL CMainFrame::DeleteEvent(COccurrenceRef occurrence) {
  framework::CWaitCursor wait;
  CCalEvent* event = occurrence.event;
  if (!event) return FALSE;
  if (!event->DeleteWithPrompt(occurrence.date)) return FALSE;
  IEventOperationsHost* host = EventHost();
  host->UpdateViews(kHintDropEvent, reinterpret_cast<void*>(static_cast<INT_PTR>(event->serial)));
  if (!host->RemoveEvent(*event)) {
    // The views dropped the event's rows: show them again.
    host->UpdateViews(kHintReload, nullptr);
    return FALSE;
  }
  host->UpdateViews(kHintReload, nullptr);
  // The calendar windows open beside the views drop it too.
  CalendarsChanged();
  return TRUE;
}

BOOL CMainFrame::ConfirmAcknowledge(BOOL oneTime) {
  if (!g_Settings.WarnAcknowledge) return TRUE;
  dialogs::CWarningDlg dlg(GetSafeHwnd());
  dlg.message = oneTime ? "Acknowledging this one time event will remove it from the event list.\n\nContinue "
                          "Acknowledging Event?"
                        : "Acknowledging this recurring event will remove it and make the next upcoming occurrence "
                          "active.\n\nContinue Acknowledging Event?";
  const int answer = dlg.DoModal();
  if (dlg.doNotShow == 1) {
    g_Settings.WarnAcknowledge = 0;
    g_Settings.WriteInt("WarnAcknowledge", 0);
  }
  // Escape and the close box do not acknowledge.
  return answer == IDYES ? TRUE : FALSE;
}

void CMainFrame::ExportEvent(COccurrenceRef occurrence) {
  if (!occurrence.event) return;
  WarnIfFiltered();
  IEventOperationsHost* host = EventHost();
  std::string path;
  if (!host->ChooseExportFile(dialogcore::ExportFileName(occurrence.event->name), "ics", &path)) return;
  const std::string text = host->ExportEventText(*occurrence.event);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out || !out.flush()) {
    char message[600];
    std::snprintf(message, sizeof message, "Could not write the file \"%s\".", path.c_str());
    framework::MessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  }
}

void CMainFrame::PrintEvent(COccurrenceRef occurrence) {
  if (!occurrence.event) return;
  CPrintEvent printer(GetSafeHwnd());
  printer.SetOccurrence(occurrence);
  printer.PrintLoop();
  printer.DestroyWindow();
}

void CMainFrame::ShowEventDetails(COccurrenceRef occurrence) {
  if (!occurrence.event) return;
  dialogs::CEventInfoDlg dlg(this, GetSafeHwnd());
  dlg.SetOccurrence(occurrence);
  dlg.DoModal();
}
