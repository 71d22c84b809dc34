#include "alarms/core/job_snapshot.h"

#include "alarms/core/action_tags.h"
#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"

AlarmTransport TransportFromSettings(const CProgramSettings& s) {
  AlarmTransport t;
  t.type = s.EmailType;
  t.mapiShared = s.EmailMAPIShared;
  t.profile = s.EmailProfile;
  t.server = s.EmailServer;
  t.port = s.EmailPort;
  t.login = s.EmailSMTPLogin;
  t.user = s.EmailUsername;
  t.password = s.EmailPassword;
  t.fromName = s.EmailFromName;
  t.fromAddr = s.EmailFromAddr;
  return t;
}

int SanitizeShowState(int showState) { return showState == 2 || showState == 3 ? showState : 1; }

void ResolveAlarmMailTexts(const CProgramSettings& s, const EventTextFields* fields, const std::string& notes,
                           std::string* recipients, std::string* subject, std::string* message) {
  *recipients = ResolveInheritedText(*recipients, s.EmailTo);
  *subject = ResolveInheritedText(*subject, s.EmailSubject);
  *message = ResolveInheritedText(*message, s.EmailBody);
  if (fields) {
    *subject = ReplaceAlarmTags(*subject, *fields, notes);
    *message = ReplaceAlarmTags(*message, *fields, notes);
  }
}

namespace {

// The snooze time the occurrence is due at; none at its first alarm.
CDateTime SnoozeOf(const COccurrenceRef& ref) {
  const COccurrenceState* state = ref.event->occurrenceStates.GetAssocAt(ref.date);
  return state && state->acknowledged == 0 ? state->snoozeTime : CDateTime();
}

}  // namespace

bool AlreadyActed(const COccurrenceRef& ref) {
  const CCalEvent* e = ref.event;
  if (!e || e->actedOn.IsEmpty() || !(ref.date == e->actedOn)) return false;
  const CDateTime snooze = SnoozeOf(ref);
  return snooze.IsEmpty() || (!e->actedSnooze.IsEmpty() && snooze <= e->actedSnooze);
}

void RecordActed(const COccurrenceRef& ref) {
  if (!ref.event) return;
  ref.event->actedOn = ref.date;
  ref.event->actedSnooze = SnoozeOf(ref);
}

AlarmJob BuildAlarmJob(const COccurrenceRef& ref, const CProgramSettings& s) {
  AlarmJob job;
  job.transport = TransportFromSettings(s);
  const CCalEvent* e = ref.event;
  if (!e) return job;
  job.eventName = e->name;
  job.snoozed = ref.IsSnoozed();
  // Only actions this installation proved act, once per alarm.
  const bool mayAct = actionproof::Proven(*e) && !AlreadyActed(ref);
  job.sendEmail = mayAct && ResolveInherited(e->emailOn, s.AlarmEmailEnabled) != 0 && !job.snoozed;
  if (job.sendEmail) {
    EventTextFields fields;
    ref.GetTextFields(fields);
    job.recipients = e->emailTo;
    job.subject = e->emailSubject;
    job.message = e->emailBody;
    ResolveAlarmMailTexts(s, &fields, ref.GetNotes(), &job.recipients, &job.subject, &job.message);
  }
  bool runOn = ResolveInherited(e->runOn, s.AlarmRunEnabled) != 0;
  bool atAlarm = ResolveInherited(e->runAtAlarm, s.RunAlarm) != 0;
  bool atSnooze = ResolveInherited(e->runAtSnooze, s.RunSnooze) != 0;
  job.runFile = mayAct && runOn && ((atAlarm && !job.snoozed) || (atSnooze && job.snoozed));
  if (job.runFile) {
    job.file = ResolveInheritedText(e->runFile, s.RunFilename);
    job.arguments = ResolveInheritedText(e->runParameters, s.RunParms);
    job.showState = SanitizeShowState(ResolveInheritedInt(e->runWindowState, s.RunState));
  }
  return job;
}
