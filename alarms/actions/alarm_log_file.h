// Where the alarm error log lives and how an entry reaches it. Writer and
// viewer use the one full path this gives: the program folder when it can
// be written, else "%APPDATA%\Corvelle Software\Almacora" (created when
// missing). Never the bare name, which would follow whatever folder a file
// dialog left current.
#pragma once

#include <string>

namespace alarms {

// The log's full path (decided once per run; tests may set it).
std::string AlarmLogPath();
void SetAlarmLogPath(const std::string& path);

// Appends one entry stamped with the local date (short date of the user's
// locale) and time, under a named mutex so two writers never interleave.
// An unwritable log is ignored: the alarm handling goes on. Any thread.
void LogAlarmError(const std::string& error, const std::string& action, const std::string& eventName);

}  // namespace alarms
