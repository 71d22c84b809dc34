// The Test buttons' actions on the GUI thread.
#pragma once

#include <windows.h>

#include <string>

class CCalEvent;

namespace alarms {

// Plays the file asynchronously without the default sound; a bare name is
// looked up in the program folder, as the reminder window does. On failure
// "Error Playing Sound file.\nSystem beep will be used." titled "Error",
// then the beep.
void PlayAlarmSound(HWND parent, const std::string& file);

// Sends the texts as an alarm e-mail with the current transport settings:
// with an event, its next occurrence's details replace the tags; without,
// they stay as typed. Empty texts take the defaults. The error text, empty
// on success.
std::string SendAlarmEmail(CCalEvent* event, const std::string& recipients, const std::string& subject,
                           const std::string& message);

}  // namespace alarms
