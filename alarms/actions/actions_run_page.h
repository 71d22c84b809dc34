// CActionsRun: the "Open File / Program" page (dialog 119): run on, at the
// first alarm and/or at snooze alarms, the file, its arguments and the
// start-up window state.
#pragma once

#include <string>

#include "framework/dialogs/property_sheet.h"

class CCalEvent;

namespace alarms {

class CActionsRun : public framework::CPropertyPage {
 public:
  CActionsRun();

  int enabled = 0, initial = 0, snooze = 0;
  std::string arguments, file;
  int startupIndex = -1;
  CCalEvent* event = nullptr;

  // Show state 2 -> 1, 3 -> 2, else 0; and back: 1 -> 2, 2 -> 3, else 1.
  static int ShowCmdToIndex(int showCmd) { return showCmd == 2 ? 1 : showCmd == 3 ? 2 : 0; }
  static int IndexToShowCmd(int index) { return index == 1 ? 2 : index == 2 ? 3 : 1; }

  void OnOK() override;
  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void UpdateEnabled();
  void OnBrowse();
  void OnTest();
};

}  // namespace alarms
