// CExportDataDlg: dialog 201 "Export Data", the text export's settings.
//
// Opens on "ExportFilename", "ExportDelimiter" (a character none of ",",
// tab, ";", blank, "~" shows ","), "ExportFileFormat" (0 fixed width: the
// delimiter and its label are disabled), "ExportHeadings", "ExportShowAge"
// and "AutoExport". Export stores them all and saves the settings; then an
// existing file asks "File Exists.   Overwrite?" (No keeps the dialog), and
// an empty name or a file that cannot be written says "Could not write the
// file \"%s\"." and keeps the dialog. Otherwise `writeList` writes the
// file and the dialog ends with IDOK. Help and F1 show topic 69.
#pragma once

#include <functional>
#include <string>

#include "framework/dialogs/dialog.h"

class CExportDataDlg : public framework::CDialog {
 public:
  explicit CExportDataDlg(HWND parent = nullptr);

  std::string fileName;
  int delimiterChoice = 0;
  int fieldFormat = 0;  // 0 fixed width, 1 delimited
  int headings = 0;
  int yearlyOption = 0;  // 0 Show Age, 1 Show Original Year
  int autoWrite = 0;
  // Writes the list text file (the event list's writer).
  std::function<void(const std::string& path)> writeList;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;

 private:
  void EnableDelimiter(bool on);
  void OnFixed() { EnableDelimiter(false); }
  void OnDelimited() { EnableDelimiter(true); }
  void OnBrowse();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  void StoreSettings();
};
