// The converter over the document and its calendar files: the header a
// calendar gives an export, the events a calendar export takes, imports
// into a calendar (one view update per run), and the reader the calendar
// file uses to open an ".ics" file as a calendar held in memory.
//
// User-interface thread only, like the document.
#pragma once

#include <string>

#include "storage/ical/ical_target.h"

class CAlmacoraDoc;
class CCalEvent;
class CCalendarFile;
class CEventArray;
class CICalConverter;

// The export header of a calendar: name, RELCALID, TIMEZONE, its
// publish-alarms flag, and whether its name came from its path. Empty for
// null.
ICalCalendarHeader ICalHeaderOf(const CCalendarFile* calendar);

// One event with its own calendar's header.
std::string ExportEventICal(CICalConverter& converter, const CCalEvent& event);
// Every event of the array, in array order, of the calendar with the list
// id of `calendar` (of every calendar for null), under that calendar's
// header. Alarm-suppressed and disabled events are left out.
std::string ExportCalendarICal(CICalConverter& converter, const CEventArray& events, const CCalendarFile* calendar);

// The import's questions through the storage prompts (the dialogs): give
// it to the converter of a run.
IICalPrompts& StorageICalPrompts();

// Imports into a calendar of the array, without telling the views (the
// ".ics" reader, benchmarks): the counts are the converter's.
bool ImportICalFileInto(CICalConverter& converter, CEventArray& events, CCalendarFile& calendar,
                        const std::string& path, bool refresh);
void ImportICalStringInto(CICalConverter& converter, CEventArray& events, CCalendarFile& calendar,
                          const std::string& text, bool refresh);

// Imports into the calendar. New
// events are added through the calendar (held in the array only for a
// calendar in memory), changed ones saved without a new sequence or
// DTSTAMP; the calendar takes the text's X-WR-* values (its owner writes
// them). The document then recounts and sends one view update (hint 3).
// The file form answers false after "Error opening file".
bool ImportICalFile(CICalConverter& converter, CAlmacoraDoc& document, CCalendarFile& calendar,
                    const std::string& path, bool refresh = false);
void ImportICalString(CICalConverter& converter, CAlmacoraDoc& document, CCalendarFile& calendar,
                      const std::string& text, bool refresh = false);

// The Import command: the file into the calendar with the import's
// questions (the skip notices, the error dialog), then one result message:
// "Import complete." with the added, updated and skipped counts, and when
// anything was passed over "View Import Log?" (Yes shows the log). False
// after "Error opening file".
bool ImportICalFileReported(CAlmacoraDoc& document, CCalendarFile& calendar, const std::string& path);

// Makes CCalendarFile open ".ics" files through the converter (the shell
// calls it once at start-up; until then such files do not open).
void InstallICalStorage();
