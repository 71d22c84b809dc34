// The Test buttons' actions (the e-mail one goes out on a worker, see
// CMailTestProgressDlg).
#pragma once

#include <windows.h>

#include <string>

#include "alarms/core/job_snapshot.h"

class CCalEvent;

namespace alarms {

// Plays the file asynchronously without the default sound; a bare name is
// looked up in the program folder, as the reminder window does. On failure
// "Error Playing Sound file.\nSystem beep will be used." titled "Error",
// then the beep.
void PlayAlarmSound(HWND parent, const std::string& file);

// The texts as an alarm e-mail with the current transport settings: with
// an event, its next occurrence's details replace the tags; without, they
// stay as typed. Empty texts take the defaults. SendAlarmJobEmail or
// StartAlarmMailTest sends it.
AlarmJob BuildTestMailJob(CCalEvent* event, const std::string& recipients, const std::string& subject,
                          const std::string& message);

}  // namespace alarms
