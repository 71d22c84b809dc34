// The shell's side of the options dialogs (dialogs/options/options_host.h):
// view updates through the main frame's document, the main window's
// placement and Filter item. The application installs it for its run.
#pragma once

#include "dialogs/options/options_host.h"

class CShellOptionsHost : public options::COptionsHost {
 public:
  void UpdateAllViews(int hint) override;
  CAlmacoraDoc* Document() override;
  void SaveWindowPlacement() override;
  // The daily reminder arms itself again whenever the minute or the date
  // differs from the one it fired at, so a new time fires without being
  // told: nothing to clear.
  void ClearDailyReminderGiven() override {}
  void UpdateFilterMenu() override;
  // The alarm actions sheet in defaults mode (main_frame_alarm_actions.cpp).
  bool CanEditAlarmActions() override { return true; }
  bool EditAlarmActions(HWND parent, options::AlarmActionDefaults* values) override;
  // The main frame's open-calendars chooser.
  bool PickCalendar(HWND parent, const std::string& prompt, const std::string& button, int* calendarId) override;
};
