// CCalWizPage: what the calendar wizard's pages share: their sheet, and
// F1 and the Help command showing the wizard's help topic.
#pragma once

#include "framework/dialogs/property_sheet.h"

class CCalWizSheet;

class CCalWizPage : public framework::CPropertyPage {
 public:
  CCalWizPage(UINT templateId, CCalWizSheet* sheet) : CPropertyPage(templateId), wizard_(sheet) {}

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  CCalWizSheet* wizard_;

 private:
  void OnHelpCommand();
  LRESULT OnHelpKey(WPARAM, LPARAM);
};
