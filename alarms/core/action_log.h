// The alarm error log "AlarmErrorLog.txt": one entry per failed action,
// appended by the alarm workers and the GUI thread, read whole by the log
// viewer. Writer and viewer use one full path (chosen by the window side),
// never the bare name, which would follow the current folder.
#pragma once

#include <string>

constexpr const char* kAlarmLogFileName = "AlarmErrorLog.txt";
constexpr const char* kActionSendEmail = "Send Email";
constexpr const char* kActionOpenFile = "Open File / Program";

// "Action: %s\r\nEvent: %s\r\nDate/Time: %s %s\r\nError Message: %s\r\n\r\n".
std::string FormatAlarmLogEntry(const std::string& action, const std::string& eventName, const std::string& date,
                                const std::string& time, const std::string& error);

// Appends the text at the end of the file, creating it when missing and
// keeping what it holds. Appends of this process are serialised. False when
// the file cannot be opened or written (the caller goes on regardless).
bool AppendAlarmLog(const std::string& path, const std::string& text);

// The whole file; empty when it is missing or cannot be read (no log yet is
// not an error).
std::string ReadAlarmLog(const std::string& path);
