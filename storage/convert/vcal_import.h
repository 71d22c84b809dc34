// vCalendar 1.0 (".vcs") import: the file is parsed by libicalvcal and the
// object tree it returns is walked; every VEVENT of every VCALENDAR becomes
// a one-time event handed to an IImportTarget. VTODOs and other objects are
// passed over.
//
// Property names are compared exactly; the parser upper-cases the names it
// knows, so "summary" arrives as SUMMARY, while an unknown name such as
// "x-kv-all-day" keeps its case (and is then not taken). Values are taken
// only when the parser holds them as text: BASE64 values (raw bytes),
// value-less alarms and numeric parameters are never read as text. A value
// with CHARSET=UTF-8 is read as UTF-8 into the code page (each character
// it lacks, and each invalid part, becomes '?'); other values are taken as
// the code page's own bytes.
//
// A VEVENT without a DTSTART that reads as an iCalendar date or date-time
// is skipped. RRULE and RDATE are not applied: every event is one-time.
//
// No messages: a file that cannot be read imports nothing. GUI thread only
// (the parser keeps global state).
#pragma once

#include <string>

class IImportTarget;

struct VCalImportCounts {
  int events = 0;   // VEVENTs met
  int added = 0;    // stored by the target
  int skipped = 0;  // without a usable DTSTART
};

// Reads and imports the file. False when the file cannot be read (nothing
// imported); the counts say what happened otherwise.
bool ImportVCalendarFile(const std::string& path, IImportTarget* target, VCalImportCounts* counts);

// Imports from text already in memory (the file's bytes).
void ImportVCalendarText(const std::string& text, IImportTarget* target, VCalImportCounts* counts);

// The text handed to the parser: the parser never returns from a BASE64 or
// quoted-printable value that reaches the end of its input without a blank
// line, takes a 0xFF byte for the end of input and then stops moving, and
// a NUL byte for the end of a value but not of a line. So a bare CR becomes
// CRLF (the parser ends lines there too), 0xFF and NUL bytes become '?', an
// empty value not folded onto the next line becomes "NAME:;" (a property
// without value: the parser would take the next line for its value), a
// BASE64 value gets an empty line before the next property, what follows
// BEGIN:NAME or END:NAME on its line goes on a line of its own (the parser
// reads a property there), an '=' of a quoted-printable value that starts no
// escape is written "=3D", every '=' of a BASE64 value becomes a zero digit
// (more than two padding '=' make the parser copy a negative length), an
// encoding named in a property head the parser cannot read as one, or named
// twice, is unnamed (the parser would keep reading later values with it),
// and the text always ends in blank lines.
std::string PrepareVCalendarText(const std::string& text);
