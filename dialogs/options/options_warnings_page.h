// COptionsWarnings: the "Warnings" page (dialog 154, help 19): which
// warnings are shown, the hours between which an alarm time counts as
// abnormal (in the user's clock), and the automatic backup.
#pragma once

#include "dialogs/options/options_page.h"

namespace options {

class COptionsWarnings : public COptionsPage {
 public:
  static constexpr DWORD kHelpContext = 19;
  COptionsWarnings();

  // The clock of the hour fields, from the user's locale when the page is
  // made; may be set before the page is first shown.
  bool hours24 = true;

  int warnExit = 0, warnAcknowledge = 0, warnFilter = 0, warnConflict = 0, warnAdvanced = 0, warnTime = 0;
  int beginHour = 0, endHour = 0;  // as typed (12-hour: 1..12)
  int autoBackup = 0;
  UINT autoBackupDays = 0;

  void OnOK() override;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
};

}  // namespace options
