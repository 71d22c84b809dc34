#include "dialogs/wizard/event_wizard.h"

#include "model/events/cal_event.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "storage/almacora_doc.h"

namespace dialogs {

CEventWizard::CEventWizard(CAlmacoraDoc* document, HWND parent)
    : CPropertySheet("Event Wizard", parent), document_(document), page1_(this), page2_(this), page3_(this) {
  AddPage(&page1_);
  AddPage(&page2_);
  AddPage(&page3_);
  SetWizardMode();
  wizardcore::LoadAlarmDefaults(g_Settings, &answers);
  SetEventKind(answers.kind);
}

void CEventWizard::SetEventKind(const std::string& kind) {
  // Passing page 1 again with the same kind keeps a type typed on page 2.
  const bool keepType = kindSet_ && kind == answers.kind;
  kindSet_ = true;
  answers.kind = kind;
  kindTexts = wizardcore::TextsForKind(kind, g_Settings);
  if (!keepType) answers.type = kindTexts.type;
}

int CEventWizard::DoModal() {
  const int result = CPropertySheet::DoModal();
  if (result != IDOK) return result;
  auto* event = new CCalEvent();
  wizardcore::FillEvent(answers, CDateTime::Today().GetYear(), event);
  event->ResetOccurrences();
  // The document takes the event (or frees it when it cannot be stored).
  if (document_ != nullptr)
    document_->AddEvent(event);
  else
    delete event;
  wizardcore::RememberAnswers(answers, &g_Settings);
  g_Settings.SaveSettings();
  return result;
}

}  // namespace dialogs
