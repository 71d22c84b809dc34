// The merge of an imported event with the calendar's event of the same UID.
#include <cstring>

#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "model/services/reminder_window.h"
#include "model/settings/settings_inherited.h"
#include "storage/ical/ical_import_parts.h"

namespace icalx {

namespace {

// Two events are equal when their calendar records are, apart from the
// change serial (the calendar's bookkeeping, not the event's content).
bool SameRecord(const CCalEvent& a, const CCalEvent& b) {
  CFieldBuffer x, y;
  if (!EncodeEventRecord(a, kEventRecordLive, &x) || !EncodeEventRecord(b, kEventRecordLive, &y)) return false;
  if (x.GetUsed() != y.GetUsed()) return false;
  const uint8_t* p = x.GetData();
  const uint8_t* q = y.GetData();
  return std::memcmp(p, q, 6) == 0 &&
         std::memcmp(p + kEventRecordHeaderSize, q + kEventRecordHeaderSize, x.GetUsed() - kEventRecordHeaderSize) == 0;
}

// The fields of `from` into `to`: what assignment copies and the times,
// sequence and added dates it leaves.
void Take(CCalEvent* to, const CCalEvent& from) {
  *to = from;
  to->dtStamp = from.dtStamp;
  to->lastModified = from.lastModified;
  to->created = from.created;
  to->sequence = from.sequence;
  to->recurrence.addedDates = from.recurrence.addedDates;
}

// The alarm and its actions of `from` into `to`.
void TakeAlarm(CCalEvent* to, const CCalEvent& from) {
  to->alarmOn = from.alarmOn;
  to->leadTime = from.leadTime;
  to->soundOn = from.soundOn;
  to->alarmSoundFile = from.alarmSoundFile;
  to->soundLength = from.soundLength;
  to->autoAcknowledge = from.autoAcknowledge;
  to->emailOn = from.emailOn;
  to->emailTo = from.emailTo;
  to->emailSubject = from.emailSubject;
  to->emailBody = from.emailBody;
  to->runOn = from.runOn;
  to->runAtAlarm = from.runAtAlarm;
  to->runAtSnooze = from.runAtSnooze;
  to->runFile = from.runFile;
  to->runWindowState = from.runWindowState;
  to->runParameters = from.runParameters;
}

}  // namespace

int MergeByUid(IICalTarget& target, const ReadEvent& read, bool* failed) {
  *failed = false;
  CCalEvent& imported = *read.event;
  CCalEvent* held = target.FindEventByUid(imported.uid);
  if (!held) return 0;
  target.ForgetLocalUid(imported.uid);

  // What the text does not carry stays as the calendar holds it, so a
  // refresh never raises an alarm the user acknowledged again - as long as
  // the held next occurrence still is one. An event the server moved keeps
  // what the import worked out from its new start, as an edit would: else
  // the list and the alarm would go on by the old time.
  const bool moved = !imported.IsScheduledInstance(held->nextOccurrence);
  if (moved && held->listed && held->reminderWindow) held->reminderWindow->RemoveAlarm(held, -1, nullptr);
  if (!read.alarmState && !read.nextAlarm && !moved) {
    imported.occurrenceStates = held->occurrenceStates;
    imported.nextOccurrence = held->nextOccurrence;
    imported.acknowledged = held->acknowledged;
    imported.hasNext = held->hasNext;
  }
  // Only the user switches an e-mail action on; text never does. A switch
  // the held event has of its own stays; one that follows the setting
  // takes the text's (off when the text has an e-mail alarm).
  if (held->emailOn != kInheritSetting) imported.emailOn = held->emailOn;
  // A calendar published without alarms reads its own text back without
  // them: that is no change, and the alarm stays.
  if (!read.alarms && target.Header().keepsOwnAlarms) TakeAlarm(&imported, *held);
  if (!read.created) imported.created = held->created;
  if (!read.lastModified) imported.lastModified = held->lastModified;
  if (!read.stamp) imported.dtStamp = held->dtStamp;
  imported.changeSerial = held->changeSerial;
  // The server has it now: from here on a refresh treats it as the
  // server's. The mark goes quietly (no "updated" for it).
  const int16_t movedIn = held->movedIn;
  held->movedIn = 0;
  if (SameRecord(*held, imported)) {
    if (movedIn && !target.UpdateEvent(*held)) held->movedIn = movedIn;
    return 2;
  }

  // Assignment keeps the held event's identity and bookkeeping, the text's
  // times and sequence are taken on top, or every refresh would differ.
  // When the change cannot be stored, memory keeps what the file holds.
  CCalEvent before;
  Take(&before, *held);
  Take(held, imported);
  *failed = !target.UpdateEvent(*held);
  if (*failed) {
    Take(held, before);
    held->movedIn = movedIn;
  }
  return 1;
}

}  // namespace icalx
