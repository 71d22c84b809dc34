// CImportTextDlg: dialog 236 "Import Events", the options of a delimited
// text import.
//
// Opens on the stored "Import..." settings: the column list from
// "ImportColumnOrder" (each kind once, missing kinds appended), the first
// column selected. Up and Down move the selected column; the example date
// follows the date order and delimiter ("/" when empty); the lead time and
// units are enabled only with "Alarm Enabled"; leaving the file name shows
// the file's first line ("n/a" without one).
//
// Import: a file that does not exist, an empty column delimiter or an
// empty date delimiter each keep the dialog open with their box; else the
// options are stored and saved and the dialog ends with IDOK, `fileName`
// holding the file. Help and F1 show topic 79.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CImportTextDlg : public framework::CDialog {
 public:
  explicit CImportTextDlg(HWND parent = nullptr);

  std::string fileName;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;

 private:
  void UpdateButtons();
  void UpdateExample();
  void UpdateAlarm();
  void UpdateFirstLine();
  void Move(int by);
  void OnUp() { Move(-1); }
  void OnDown() { Move(1); }
  void OnBrowse();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  std::string Text(int id) const;

  std::string columnDelimiter_;
  std::string dateDelimiter_;
  int dateOrder_ = 0;
  int alarm_ = 0;
  int lead_ = 0;
  int freqChoice_ = 0;
  std::string units_;
};
