// Converting older event files into a new event file: at the first start
// and from the menu (the program folder's "events20.dat" or "events.dat"
// into "events.akv" there), and when the user opens a file that turns out
// to be an old event file (into a file the user names).
//
// The old file is never changed. Before anything is written, the present
// "events.akv" is copied to the first free name of "default.akv",
// "default1.akv", "default2.akv", ... (an existing backup is never
// overwritten); when that copy fails, or a calendar of the list has
// "events.akv" open, the conversion stops with a message and nothing has
// changed.
#pragma once

#include <string>

class IConvertPrompts;
class IImportTarget;

// The calendar that receives the converted events (CCalendarFile).
class IConversionCalendar {
 public:
  virtual ~IConversionCalendar() = default;
  // Creates a new event file at the path as this calendar's file (any
  // file there is replaced) and leaves it open; false when that failed
  // (the user has been told).
  virtual bool CreateEventFile(const std::string& path) = 0;
  // Where converted events go once the file is created.
  virtual IImportTarget* Target() = 0;
  // The target events of an opened file are redirected to, or null.
  virtual IImportTarget* RedirectTarget() = 0;
  // Names the calendar from its file's path when it has no name.
  virtual void NameFromPathIfUnnamed() = 0;
  // Whether a calendar of the calendar list has that file open.
  virtual bool IsOpenInCalendarList(const std::string& path) = 0;
  // Whether two paths name one file.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

// The first-run and menu conversion. `programFolder` ends with a folder
// separator. Asks "Version 2.x / 3.0 event file exists.\n\nConvert file to
// new format?" for "events20.dat", else "Version 1.2 event file
// exists.\n\n..." for "events.dat"; No gives the "Event file not
// converted. ..." message; without either file and with reportMissing,
// "Previous version data file not found.". 1 when converted, else 0.
int ConvertOldEventFiles(const std::string& programFolder, bool reportMissing, IConversionCalendar* calendar,
                         IConvertPrompts* prompts);

// A file the user opened that is not an engine file. Not an old event
// file: "Error Reading Events File\nNot a Valid Events File" and 0. With a
// redirect target the events go there at once. Otherwise asks "You are
// opening a version ... file. ...", runs "Select New File Name" with the
// version's proposed name and converts into the chosen file; No, Cancel,
// or a chosen name that is the old file itself: "Data File Not
// Converted." and 0. 1 when converted.
int OpenOldEventFile(const std::string& path, IConversionCalendar* calendar, IConvertPrompts* prompts);

// Copies the folder's "events.akv", when there is one, to the first free
// backup name; true when there was nothing to copy or the copy is done.
bool BackUpEventFile(const std::string& folder);
