// CCalNewDlg: dialog 340 "New Calendar": a name and an event file for a new
// calendar, or (after SetCalendar, edit mode) a new name for a listed one.
//
// New: typing a name proposes "<name>.akv". OK with an empty name and file
// says "Please enter calendar name"; an empty name is taken from the file,
// an empty file from the name. A name in use or a file of a listed
// calendar keeps the dialog open with a box; an existing file asks before
// it is replaced ("File exists warning", No keeps the dialog open). Then
// the event file is created at the file's full path and the calendar joins
// the list (views updated with hint 3); the dialog closes with IDOK either
// way, a calendar that could not be created having been dropped.
//
// Edit: titled "Edit Calendar"; the file is read-only and Browse disabled; OK opens a closed
// calendar (open state 0 again when that fails), renames it and, unless it
// is a preview, rewrites its calendar record.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CAlmacoraDoc;
class CCalendarFile;

class CCalNewDlg : public framework::CDialog {
 public:
  CCalNewDlg(CAlmacoraDoc& doc, HWND parent = nullptr);

  // Edit mode on a listed calendar: takes its name and path.
  void SetCalendar(CCalendarFile* calendar);

  std::string name;
  std::string file;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;

 private:
  void OnNameChange();
  void OnBrowse();
  void SaveEdit();
  // False when the dialog stays open.
  bool CreateNew();

  CAlmacoraDoc& doc_;
  CCalendarFile* calendar_ = nullptr;
  bool ready_ = false;  // past the start, when the edits are the user's
};

// The save dialog of the calendar dialogs' Browse buttons; true with the
// chosen path.
bool BrowseForNewDataFile(HWND owner, const std::string& current, std::string* path);
