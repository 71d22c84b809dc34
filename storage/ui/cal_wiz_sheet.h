// CCalWizSheet: the "Calendar Wizard" (wizard mode): an introduction, the
// calendars to enable, alarms for the calendars it opens, and a page about
// the Skyledger service. At first start (firstRun) it offers the holiday
// calendars found in the program folder; from the menu (firstRun cleared
// before DoModal) the user's calendars, open ones ticked. The choices and
// what they do live in storage/calendar_wizard.h.
//
// The Alarms page is skipped, never removed, when no ticked calendar is
// closed, so Back, a new tick and Next still reach it.
#pragma once

#include <vector>

#include "framework/dialogs/property_sheet.h"
#include "storage/calendar_wizard.h"
#include "storage/ui/cal_wiz_alarm.h"
#include "storage/ui/cal_wiz_cal.h"
#include "storage/ui/cal_wiz_intro.h"
#include "storage/ui/cal_wiz_skyledger.h"

class CAlmacoraDoc;

class CCalWizSheet : public framework::CPropertySheet {
 public:
  explicit CCalWizSheet(CAlmacoraDoc& doc, HWND parent = nullptr, UINT firstPage = 0);

  // Runs the wizard and saves the settings (the calendar list and the
  // types it changed) whichever way it ended. IDOK after Finish, else
  // IDCANCEL (-1 when it could not be shown).
  int DoModal();

  CAlmacoraDoc& doc() { return doc_; }
  bool firstRun = true;
  // The Select Calendars page's rows with their ticks.
  std::vector<calwizard::Row> rows;
  bool refreshOverInternet = false;
  // Whether the Select Calendars list was filled (it is, once).
  bool rowsFilled = false;
  // Whether Next from Select Calendars goes to the Alarms page.
  bool AlarmStepDue() const;

 private:
  CAlmacoraDoc& doc_;
  CCalWizIntro intro_;
  CCalWizCal calendars_;
  CCalWizAlarm alarms_;
  CCalWizSkyledger skyledger_;
};
