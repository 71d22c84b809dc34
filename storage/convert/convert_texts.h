// The user-visible texts of the imports and the old-file conversion, kept
// exactly as users have always seen them (spelling included).
#pragma once

#include <string>

namespace convert_text {

// "1 event", "0 events", "3 events": the counts in the import messages.
inline std::string Events(int count) { return std::to_string(count) + (count == 1 ? " event" : " events"); }

// ---- Delimited text import.
constexpr const char* kImportErrorCaption = "Import Error";
constexpr const char* kOpenImportFileFailed = "Error opening import file.";
constexpr const char* kResultsCaption = "Import Results";
// Each %s an Events() count.
constexpr const char* kAllImported = "%s successfully imported.";
constexpr const char* kResultsWithLog =
    "%s with warnings.\n%s with errors.\n%s successfully imported.\n\nView Import Log?";
constexpr const char* kLogInvalidDate = "Line number %3d : Error, invalid date. Event not imported.\r\n";
constexpr const char* kLogInvalidTime =
    "Line number %3d : Warning, Event has invalid time.  Event imported without time.\r\n";

// ---- Old event files.
constexpr const char* kHeader20 = "Almacora 2.00 Event File";
constexpr const char* kHeader35 = "Almacora 3.50 Event File";
constexpr const char* kNotValid20 = "Error Reading Events File\nNot a Valid 2.0 File";
constexpr const char* kNotValid35 = "Error Reading Events File\nNot a Valid 3.x File";
constexpr const char* kNotValidAny = "Error Reading Events File\nNot a Valid Events File";
constexpr const char* kOutOfMemory = "Error reading event file.\n\nOut of memory.";
constexpr const char* kAskConvert20 = "Version 2.x / 3.0 event file exists.\n\nConvert file to new format?";
constexpr const char* kAskConvert12 = "Version 1.2 event file exists.\n\nConvert file to new format?";
constexpr const char* kNotConvertedLater =
    "Event file not converted.\nYou may convert later by selecting the\n'Calendar | Convert Data File' menu option";
constexpr const char* kNoOldFile = "Previous version data file not found.";
constexpr const char* kOpeningOldPrefix = "You are opening a version ";
constexpr const char* kOpeningOldSuffix =
    " file.\nTo read this file, it must be converted\nto the current version.\n\nConvert file to new format?";
constexpr const char* kDataNotConverted = "Data File Not Converted.";

}  // namespace convert_text

namespace convert_text {

// The conversion stops before anything changes when the present event
// file cannot be kept (the program's own additions).
constexpr const char* kBackupFailed =
    "The present event file could not be copied to a backup.\nEvent file not converted.";
constexpr const char* kEventsFileOpen =
    "The event file events.akv is open.\nClose it before converting.\nEvent file not converted.";

}  // namespace convert_text
