// The event list as a text file (the list text-file command, and Hide and
// Exit with automatic export): one line per row in row order, in fixed
// columns or delimited.
#pragma once

#include <string>
#include <vector>

#include "model/events/occurrence_ref.h"

namespace eventlist {

struct ListTextFormat {
  bool headings = true;
  int fileFormat = 0;  // 0 fixed columns, else delimited
  int delimiter = 0;   // a character code; see ListDelimiter
  bool showAge = true; // else "OrigYear": the start year of events counting ages
};

// The delimiter a code gives: ',', tab, ';', blank or '~' for their own
// codes; ',' for every other code (0, the default, included), so no line
// ever carries a NUL or a stray control byte.
char ListDelimiter(int code);

// The file's text.
std::string FormatListText(const std::vector<COccurrenceRef>& rows, const ListTextFormat& format);

// Writes the text to `path` (text mode). False when the file cannot be
// opened or written; nothing is reported to the user.
bool WriteListTextFile(const std::string& path, const std::vector<COccurrenceRef>& rows,
                       const ListTextFormat& format);

}  // namespace eventlist
