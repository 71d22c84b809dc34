// What the user reads when a calendar's open had to bring it back after a
// crash: which calendar, what was kept, what was lost (by the event's name
// where what is left of its record gives one), and, for a calendar the
// engine refused, what can be done about it. Window-free: the texts only.
#pragma once

#include <string>
#include <vector>

namespace isam {
struct MendReport;
}

namespace mendnotice {

// The names of the events whose records the open set aside, in order: the
// name what is left of each record still holds, else "" (no name readable).
std::vector<std::string> SetAsideNames(const isam::MendReport& report);

// The open brought the calendar back and set records aside or passed over
// unreadable bytes: which calendar, how many events were kept, which
// change was lost.
std::string MendText(const std::string& calendar, const isam::MendReport& report);

// The engine refused the calendar as damaged. `backup`: the last backup's
// path, or "" when there is none; the text then asks Yes (restore it) / No
// (rebuild) / Cancel, or without a backup Yes (rebuild) / No.
std::string RefusedText(const std::string& calendar, const std::string& path, const std::string& backup);

// After a rebuild from the records the user asked for: how many events it
// kept, and where the damaged file was kept.
std::string RebuiltText(const std::string& calendar, int kept, const std::string& damagedCopy);

}  // namespace mendnotice
