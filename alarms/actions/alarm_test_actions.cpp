#include "alarms/actions/alarm_test_actions.h"

#include <mmsystem.h>

#include "alarms/actions/alarm_worker.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "platform/local_path.h"
#include "platform/paths.h"

namespace alarms {

void PlayAlarmSound(HWND parent, const std::string& file) {
  std::string path = platform::HasFolderPart(file) ? file : platform::ProgramFolder() + file;
  // The event may come from elsewhere: another computer's file is refused.
  if (!platform::IsLocalPath(path)) {
    ::MessageBoxA(parent, platform::RefusedPathText("The sound file", file).c_str(), "Error", MB_OK);
    return;
  }
  if (::sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT)) return;
  ::MessageBoxA(parent, "Error Playing Sound file.\nSystem beep will be used.", "Error", MB_OK);
  ::MessageBeep(0xFFFFFFFF);
}

AlarmJob BuildTestMailJob(CCalEvent* event, const std::string& recipients, const std::string& subject,
                          const std::string& message) {
  AlarmJob job;
  job.transport = TransportFromSettings(g_Settings);
  job.recipients = recipients;
  job.subject = subject;
  job.message = message;
  if (event) {
    COccurrenceRef ref(event, event->nextOccurrence);
    EventTextFields fields;
    ref.GetTextFields(fields);
    ResolveAlarmMailTexts(g_Settings, &fields, ref.GetNotes(), &job.recipients, &job.subject, &job.message);
  } else {
    ResolveAlarmMailTexts(g_Settings, nullptr, std::string(), &job.recipients, &job.subject, &job.message);
  }
  return job;
}

}  // namespace alarms
