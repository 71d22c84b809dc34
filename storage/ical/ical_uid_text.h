// UIDs as written. The library trims the blanks at both ends of every value
// (and of every line), but a UID is an identifier: "u-1 " and "u-1" are two
// events, and an override or a later refresh finds its event only by the
// very same bytes. Internal to storage/ical.
#pragma once

#include <string>

namespace icalx {

// Rewrites, in the text about to be parsed, each UID property whose value
// starts or ends in blanks as one unfolded line whose edge blanks are
// escapes the library reads back as those blanks ("\t" for a tab; for a
// space an escape it reads as a space), so that the value arrives whole.
// Other lines are left as they are; a text without such a UID is not
// copied. Linear in the text.
void KeepUidBlanks(std::string* text);

}  // namespace icalx
