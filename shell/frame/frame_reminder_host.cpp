#include "shell/frame/frame_reminder_host.h"

#include "framework/application.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "storage/sharing/sharing.h"

CShellDocument* CFrameReminderHost::Document() {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->GetShellDocument() : nullptr;
}

bool CFrameReminderHost::CanModifyEvents() { return CMainFrame::Get() != nullptr; }

// The reminder window's event commands are the main window's own, so an
// event leaves the views and the document the same way from everywhere.
BOOL CFrameReminderHost::ModifyEvent(const COccurrenceRef& ref) {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->ModifyEvent(ref) : FALSE;
}

BOOL CFrameReminderHost::DeleteEvent(const COccurrenceRef& ref) {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->DeleteEvent(ref) : FALSE;
}

BOOL CFrameReminderHost::ConfirmAcknowledge(bool oneTime) {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->ConfirmAcknowledge(oneTime ? TRUE : FALSE) : TRUE;
}

void CFrameReminderHost::RecountAndRefresh() {
  if (CShellDocument* doc = Document()) doc->RecountAndRefresh();
}

void CFrameReminderHost::RefreshCalendar(CCalendarFile* calendar) {
  CShellDocument* doc = Document();
  if (doc && calendar) RefreshInWindow(doc->Core(), *calendar);
}

void CFrameReminderHost::ShowHelp(DWORD context) {
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->WinHelp(context, HELP_CONTEXT);
}
