#include "storage/ui/cal_wiz_sheet.h"

#include "model/settings/program_settings.h"
#include "storage/almacora_doc.h"

CCalWizSheet::CCalWizSheet(CAlmacoraDoc& doc, HWND parent, UINT firstPage)
    : CPropertySheet("Calendar Wizard", parent, firstPage),
      doc_(doc),
      intro_(this),
      calendars_(this),
      alarms_(this),
      skyledger_(this) {
  AddPage(&intro_);
  AddPage(&calendars_);
  AddPage(&alarms_);
  AddPage(&skyledger_);
  SetWizardMode();
}

bool CCalWizSheet::AlarmStepDue() const { return !calwizard::ClosedTicked(doc_.calendars(), rows).empty(); }

int CCalWizSheet::DoModal() {
  const int result = CPropertySheet::DoModal();
  // Holiday calendars listed, types added and calendars opened stay, also
  // after Cancel: they are in the settings at once.
  g_Settings.SaveSettings();
  return result;
}
