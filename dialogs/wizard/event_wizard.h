// CEventWizard: the three-page wizard that adds a yearly all-day birthday or
// anniversary ("Event Wizard", PSH_WIZARD). The pages share one set of
// answers held here; DoModal builds the event from them only after Finish,
// hands it to the document and keeps the answers as the next run's
// defaults. Cancel on any page adds nothing and saves no settings.
#pragma once

#include <functional>
#include <string>

#include "dialogs/core/wizard_event.h"
#include "dialogs/wizard/wizard_alarm.h"
#include "dialogs/wizard/wizard_anniversary.h"
#include "dialogs/wizard/wizard_page1.h"
#include "framework/dialogs/property_sheet.h"

class CAlmacoraDoc;

namespace dialogs {

class CEventWizard : public framework::CPropertySheet {
 public:
  CEventWizard(CAlmacoraDoc* document, HWND parent = nullptr);

  // Stores the kind and gives page 2 its captions and the kind's type (a
  // type typed for the same kind is kept).
  void SetEventKind(const std::string& kind);
  // Runs the wizard; after Finish adds the event and saves the answers.
  // IDOK after Finish, else IDCANCEL (-1 when it could not be shown).
  int DoModal();

  CAlmacoraDoc* document() const { return document_; }
  wizardcore::WizardAnswers answers;
  wizardcore::KindTexts kindTexts;
  // The open-calendars picker (prompt, button text): the chosen calendar's
  // list id, 0 when cancelled. Installed by the shell; without one "Select
  // Calendar" only answers when no calendar is open.
  std::function<int(HWND owner, const std::string& prompt, const std::string& button)> pickCalendar;

 private:
  CAlmacoraDoc* document_;
  bool kindSet_ = false;
  CWizardPage1 page1_;
  CWizardAnniversary page2_;
  CWizardAlarm page3_;
};

}  // namespace dialogs
