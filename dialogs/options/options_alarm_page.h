// COptionsAlarm: the "Alarm" page (dialog 153, help 20): how often alarms
// are checked and repeated, the snooze time, how the alarm window comes
// up, the daily reminder with its time in the user's clock, and the
// default alarm actions.
#pragma once

#include "dialogs/options/options_host.h"
#include "dialogs/options/options_page.h"

namespace options {

class COptionsAlarm : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 20;
  COptionsAlarm();

  // The clock of the time fields, from the user's locale when the page is
  // made; may be set before the page is first shown.
  bool hours24 = true;

  int checkFrequency = 0, repeatLength = 0, snoozeMinutes = 0;
  int activationIndex = -1;  // -1: a stored value the list does not hold
  int dailyReminder = 0;
  AlarmActionDefaults actions;

  BOOL OnKillActive() override;
  void OnOK() override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  // The time the fields show, in minutes since midnight; -1 when invalid.
  int ReadReminderTime() const;
  void OnAlarmActions();
};

}  // namespace options
