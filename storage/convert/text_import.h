// Delimited text import: one event per line, columns of date, time, name
// and type in the order the options give, split at one delimiter
// character. Lines whose date cannot be read are logged as errors and
// skipped; a time that cannot be read is logged as a warning and the event
// comes in as an all-day event. The log numbers the lines from 1, each
// message ending "\r\n".
//
// Lines are read whole, at any length, and without their line break (a
// "\r\n" or "\n"). Numbers are read as decimal with an optional sign; one
// that overflows makes its date or time invalid, and a date the model
// cannot hold (year outside 100..9999 after two-digit years are widened)
// is an invalid date.
#pragma once

#include <string>

#include "model/dates/date_time.h"

class IImportTarget;
class IConvertPrompts;

struct TextImportOptions {
  char columnDelimiter = ',';
  char dateDelimiter = '/';
  // 0 month-day-year, 1 day-month-year, 2 year-month-day; any other value
  // makes every date invalid.
  int dateOrder = 0;
  // Column positions; -1 when the file has no such column.
  int dateColumn = 2;
  int timeColumn = 3;
  int nameColumn = 0;
  int typeColumn = 1;
  // Defaults given to every event.
  bool alarmEnabled = true;
  int leadTime = 7;
  std::string leadUnits = "Days";
  // 0 one-time; 1..8 a recurring event with a new rule of that frequency
  // (the dialog offers 4 daily .. 7 yearly); anything else is one-time.
  int defaultFrequency = 0;

  // The options the import dialog stored: the Import... settings of
  // g_Settings. An empty delimiter setting keeps the default character.
  static TextImportOptions FromSettings();
  // Column positions from an order text: position i of the text is column
  // i of the file, its digit the kind (0 date, 1 time, 2 name, 3 type; the
  // first position of a kind counts; other characters hold no column).
  void SetColumnOrder(const std::string& order);
};

struct TextImportResult {
  int lines = 0;     // lines read, skipped ones included
  int errors = 0;    // lines not imported (invalid date)
  int warnings = 0;  // events imported without a time
  int added = 0;     // events the target stored
  std::string log;
};

// Imports one line (without its line break) as line number result->lines,
// which the caller has already counted. `today` gives the year of dates
// without one.
void ImportTextLine(const std::string& line, const TextImportOptions& options, const CDateTime& today,
                    IImportTarget* target, TextImportResult* result);

// The line holds only column names of the event list's text file ("Name",
// "Type", "Date", "Time", "Day", "Age", "OrigYear", in any letter case,
// blanks around them; empty columns between them) and reaches the date
// column: its heading line.
bool IsTextHeadingLine(const std::string& line, const TextImportOptions& options);

// Reads the whole file line by line; a first line that is a heading line
// is counted but imports nothing and logs nothing. False when it cannot be opened or
// read (nothing imported, *result empty).
bool ImportTextFile(const std::string& path, const TextImportOptions& options, IImportTarget* target,
                    TextImportResult* result);

// The import with its messages: "Error opening import file." (caption
// "Import Error") and false when the file cannot be opened; otherwise the
// results box (caption "Import Results"), "3 events successfully
// imported." ("1 event ...") when nothing was logged, else the counts with "View Import
// Log?", whose Yes shows the log. The counts of successes are the events
// the target stored.
bool RunTextImport(const std::string& path, const TextImportOptions& options, IImportTarget* target,
                   IConvertPrompts* prompts, TextImportResult* result);
