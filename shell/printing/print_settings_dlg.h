// CPrintSettingsDlg: dialog 187 "Print". The main frame keeps one for the
// program's life, so the last report type stays selected. The user picks
// the report (month or week calendar, the list as shown, or all occurrences
// between From and To), checks printer, orientation and margins ("Edit
// Settings", the system's Page Setup), and leaves with Print or Preview
// (result codes in shell/core/print_settings_rules.h) or Close (IDOK:
// the type and the acknowledged flag are kept, nothing prints).
//
// Choosing a type applies its orientation (cal_orientation or
// list_orientation) to the application's printer at once, opening
// included, so a job in between (one event) cannot leave the next calendar
// turned.
#pragma once

#include <windows.h>

#include "dialogs/event/date_time_picker.h"
#include "framework/dialogs/dialog.h"
#include "model/dates/date_time.h"

class CPrintSettingsDlg : public framework::CDialog {
 public:
  explicit CPrintSettingsDlg(HWND parent);

  int GetReportType() const { return type_; }
  void SetReportType(int type) { type_ = type; }
  const CDateTime& GetFrom() const { return from_; }
  const CDateTime& GetTo() const { return to_; }
  // Whether the current list can print (the date-range list always can)
  // and whether previews can open (grey buttons otherwise).
  static bool listAvailable;
  static bool previewAvailable;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnTypeChange();
  void OnThisWeek();
  void OnThisMonth();
  void OnFromChange(NMHDR*, LRESULT*);
  void OnToChange(NMHDR*, LRESULT*);
  void OnDropDown(NMHDR*, LRESULT*);
  void OnEditSettings();
  void OnReportSettings();
  void OnFilter();
  void OnHelp();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  void OnPrint();
  void OnPreview();

  void ShowType();
  void ShowPrinter();
  void ShowRange();
  void Finish(bool preview);

  int type_ = 0;
  CDateTime from_, to_;
  dialogs::CDateTimePicker fromPicker_, toPicker_;
};
