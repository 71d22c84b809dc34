// CActionsSound: the "Play Sound" page (dialog 117) of the alarm actions
// sheet: sound on, file, length in minutes or until acknowledged, and
// automatic acknowledgement. In event mode it reads and writes the event's
// fields (inheriting where they equal the defaults); in defaults mode the
// caller fills and reads the members.
#pragma once

#include <string>

#include "framework/dialogs/property_sheet.h"

class CCalEvent;

namespace alarms {

class CActionsSound : public framework::CPropertyPage {
 public:
  CActionsSound();
  ~CActionsSound() override;

  std::string soundFile;
  int enabled = 0;
  int length = 0;  // minutes, or -1 until acknowledged
  int lengthShown = 0;
  int untilAcknowledged = 0;
  int autoAcknowledge = 0;
  CCalEvent* event = nullptr;

  void OnOK() override;
  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void UpdateEnabled();
  void OnBrowse();
  void OnTest();
  HBITMAP browseBitmap_ = nullptr;
};

}  // namespace alarms
