#include "shell/frame_reminder_host.h"

#include "framework/application.h"
#include "framework/dialogs/message_box.h"
#include "model/cal_event.h"
#include "model/occurrence_ref.h"
#include "model/program_settings.h"
#include "model/services/model_services.h"
#include "shell/almacora_app.h"
#include "shell/main_frame.h"
#include "shell/private_messages.h"
#include "shell/shell_document.h"
#include "storage/sharing/sharing.h"

namespace {
CFrameReminderHost::ModifyFn g_modify = nullptr;
}  // namespace

void CFrameReminderHost::SetModifyEvent(ModifyFn fn) { g_modify = fn; }

CShellDocument* CFrameReminderHost::Document() {
  CMainFrame* frame = CMainFrame::Get();
  return frame ? frame->GetShellDocument() : nullptr;
}

bool CFrameReminderHost::CanModifyEvents() { return g_modify != nullptr; }

BOOL CFrameReminderHost::ModifyEvent(const COccurrenceRef& ref) {
  const COccurrenceRef copy = ref;
  return g_modify ? g_modify(copy) : FALSE;
}

BOOL CFrameReminderHost::DeleteEvent(const COccurrenceRef& ref) {
  framework::CWaitCursor wait;
  CCalEvent* event = ref.event;
  CShellDocument* doc = Document();
  if (!event || !doc) return FALSE;
  const CDateTime date = ref.date;
  if (!event->DeleteWithPrompt(date)) return FALSE;
  const int index = event->arrayIndex;
  doc->UpdateAllViews(nullptr, kHintDropEvent, reinterpret_cast<void*>(static_cast<INT_PTR>(index)));
  if (index < 0 || !doc->Core().DeleteEvent(index, true)) return FALSE;
  // The document keeps the event until nobody can hold it and frees it.
  doc->UpdateAllViews(nullptr, kHintReload);
  return TRUE;
}

BOOL CFrameReminderHost::ConfirmAcknowledge(bool oneTime) {
  if (g_Settings.WarnAcknowledge == 0) return TRUE;
  WarningRequest request;
  request.message = oneTime ? "Acknowledging this one time event will remove it from the event list.\n\n"
                              "Continue Acknowledging Event?"
                            : "Acknowledging this recurring event will remove it and make the next upcoming "
                              "occurance active.\n\nContinue Acknowledging Event?";
  IEventPrompts* prompts = GetModelServices().prompts;
  if (!prompts) return TRUE;
  const WarningAnswer answer = prompts->ShowWarning(request);
  if (answer.dontShowAgain) {
    g_Settings.WarnAcknowledge = 0;
    g_Settings.WriteInt("WarnAcknowledge", 0);
  }
  return answer.accepted ? TRUE : FALSE;
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
