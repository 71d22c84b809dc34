// AlarmJob: everything one due alarm's e-mail and run actions need, copied
// as plain values on the GUI thread before a worker starts. The worker
// reads only the job: never the event, its occurrence state or g_Settings,
// which the GUI thread may change or free meanwhile.
#pragma once

#include <string>
#include <vector>

class COccurrenceRef;
class CProgramSettings;

// The program-wide mail transport settings.
struct AlarmTransport {
  int type = 1;  // 0 Simple MAPI, any other value SMTP
  int mapiShared = 1;
  std::string profile;
  std::string server;
  int port = 25;
  int login = 0;  // CSMTPConnection::LoginMethod
  std::string user;
  std::string password;
  std::string fromName;
  std::string fromAddr;
};

struct AlarmJob {
  std::string eventName;  // the event's own name (for the log)
  bool snoozed = false;
  bool sendEmail = false;  // e-mail on and not snoozed
  std::string recipients;  // defaults and tags resolved
  std::string subject;
  std::string message;
  bool runFile = false;  // run on, and at this kind of alarm
  std::string file;
  std::string arguments;
  int showState = 1;  // 1 normal, 2 minimized, 3 maximized
  AlarmTransport transport;
};

AlarmTransport TransportFromSettings(const CProgramSettings& settings);

// The occurrence's alarm (its first, or the snooze it is due at) already
// ran the actions here (CCalEvent::actedOn, actedSnooze); and the record
// of that, made on the event before its actions start (the caller saves).
bool AlreadyActed(const COccurrenceRef& occurrence);
void RecordActed(const COccurrenceRef& occurrence);

// The job of one occurrence (GUI thread only). Nothing is mailed or run
// for an event whose actions this installation has not proven
// (actionproof::Proven) or that already acted at this alarm. Recipients, subject and
// message are the event's own or the defaults, with the tags replaced by
// the occurrence's texts; the run values likewise. A show state outside
// 1..3 becomes 1. A reference without an event gives a job that does
// nothing.
AlarmJob BuildAlarmJob(const COccurrenceRef& occurrence, const CProgramSettings& settings);

// The e-mail texts of the Test button and of a job: each empty text is
// replaced by its default; with fields (an occurrence) the tags are
// replaced, without them they stay as typed.
class EventTextFields;
void ResolveAlarmMailTexts(const CProgramSettings& settings, const EventTextFields* fields,
                           const std::string& notes, std::string* recipients, std::string* subject,
                           std::string* message);

// A show state as the run action passes it: 2 and 3 unchanged, else 1.
int SanitizeShowState(int showState);
