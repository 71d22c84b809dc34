// The merge of an imported event with the calendar's event of the same UID.
#include <cstring>

#include "model/cal_event.h"
#include "model/event_codec.h"
#include "model/field_buffer.h"
#include "model/settings_inherited.h"
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

}  // namespace

int MergeByUid(IICalTarget& target, const ReadEvent& read, bool* failed) {
  *failed = false;
  CCalEvent& imported = *read.event;
  CCalEvent* held = target.FindEventByUid(imported.uid);
  if (!held) return 0;
  target.ForgetLocalUid(imported.uid);

  // What the text does not carry stays as the calendar holds it, so a
  // refresh never raises an alarm the user acknowledged again.
  if (!read.alarmState && !read.nextAlarm) {
    imported.occurrenceStates = held->occurrenceStates;
    imported.nextOccurrence = held->nextOccurrence;
    imported.acknowledged = held->acknowledged;
    imported.hasNext = held->hasNext;
  }
  // Only the user switches an e-mail action on; text never does. A switch
  // the held event has of its own stays; one that follows the setting
  // takes the text's (off when the text has an e-mail alarm).
  if (held->emailOn != kInheritSetting) imported.emailOn = held->emailOn;
  if (!read.created) imported.created = held->created;
  if (!read.lastModified) imported.lastModified = held->lastModified;
  if (!read.stamp) imported.dtStamp = held->dtStamp;
  imported.changeSerial = held->changeSerial;
  if (SameRecord(*held, imported)) return 2;

  // Assignment keeps the held event's identity and bookkeeping, the text's
  // times and sequence are taken on top, or every refresh would differ.
  *held = imported;
  held->dtStamp = imported.dtStamp;
  held->lastModified = imported.lastModified;
  held->created = imported.created;
  held->sequence = imported.sequence;
  held->recurrence.addedDates = imported.recurrence.addedDates;
  *failed = !target.UpdateEvent(*held);
  return 1;
}

}  // namespace icalx
