// Which item carries which field of an event, in the order the writer puts
// them, and the reader that takes them back in any order.
#include "model/events/event_codec.h"

#include "model/events/cal_event.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_bytes.h"
#include "model/events/field_buffer_reader.h"
#include "model/events/field_buffer_tags.h"

namespace {

bool PutEventItems(const CCalEvent& e, CFieldBuffer* b) {
  namespace t = fieldtag;
  b->PutString(t::kUid, e.uid);
  b->PutString(t::kName, e.name);
  b->PutString(t::kType, e.type);
  b->PutString(t::kNotes, e.notes);
  b->PutString(t::kAlarmSoundFile, e.alarmSoundFile);
  b->PutDateTime(t::kStart, e.start);
  if (e.showEnd) b->PutDateTime(t::kEnd, e.end);
  b->PutDateTime(t::kCreated, e.created);
  b->PutDateTime(t::kLastModified, e.lastModified);
  b->PutDateTime(t::kDtStamp, e.dtStamp);
  b->PutDateTime(t::kNextOccurrence, e.nextOccurrence);
  b->PutByte(t::kCalculateAge, e.calculateAge);
  b->PutByte(t::kShowEnd, e.showEnd);
  b->PutByte(t::kHasNext, e.hasNext);
  b->PutByte(t::kAllDay, e.allDay);
  b->PutByte(t::kAlarmOn, e.alarmOn);
  b->PutShort(t::kDaysPrior, e.daysPrior);
  if (e.alarmOn) b->PutDuration(t::kLeadTime, e.leadTime);
  const CRecurrenceRule* rule = e.recurrence.FindRule();
  if (!e.oneTime && rule) b->PutRecurrenceRule(t::kRule, *rule);
  b->PutByte(t::kAcknowledged, e.acknowledged);
  b->PutByte(t::kAlarmSuppressed, e.alarmSuppressed);
  b->PutByteIfSet(t::kSoundOn, e.soundOn);
  b->PutByteIfSet(t::kEmailOn, e.emailOn);
  b->PutString(t::kEmailTo, e.emailTo);
  b->PutString(t::kEmailSubject, e.emailSubject);
  b->PutString(t::kEmailBody, e.emailBody);
  b->PutByteIfSet(t::kRunOn, e.runOn);
  b->PutByteIfSet(t::kRunAtAlarm, e.runAtAlarm);
  b->PutByteIfSet(t::kRunAtSnooze, e.runAtSnooze);
  b->PutIntIfSet(t::kRunWindowState, e.runWindowState);
  b->PutString(t::kRunFile, e.runFile);
  b->PutString(t::kRunParameters, e.runParameters);
  b->PutShortIfSet(t::kSoundLength, e.soundLength);
  b->PutByteIfSet(t::kAutoAcknowledge, e.autoAcknowledge);
  for (const CDateTime& d : e.recurrence.excludedDates) b->PutDateTime(t::kExcludedDate, d);
  for (const CDateRange& r : e.recurrence.addedDates) b->PutDateRange(t::kAddedDate, r);
  for (const auto& s : e.occurrenceStates) b->PutOccurrenceState(t::kOccurrenceState, s.second, s.first);
  for (const auto& o : e.occurrenceOverrides)
    b->PutOccurrenceOverride(t::kOccurrenceOverride, o.second, o.first);
  // Items older versions do not know; they skip them.
  b->PutString(t::kUrl, e.url);
  const CRecurrenceRule* exclusion = e.recurrence.FindExclusionRule();
  if (!e.oneTime && exclusion) b->PutRecurrenceRule(t::kExclusionRule, *exclusion);
  if (e.disabled) b->PutByte(t::kDisabled, e.disabled);
  if (e.movedIn) b->PutByte(t::kMovedIn, e.movedIn);
  if (!e.armedBy.empty()) b->PutString(t::kArmedBy, e.armedBy);
  if (!e.actedOn.IsEmpty()) b->PutDateTime(t::kActedOn, e.actedOn);
  if (!e.actedSnooze.IsEmpty()) b->PutDateTime(t::kActedSnooze, e.actedSnooze);
  return !b->WriteFailed();
}

}  // namespace

bool ReadEventItem(const FieldItem& f, CCalEvent* e) {
  namespace t = fieldtag;
  using R = CFieldReader;
  switch (f.tag) {
    case t::kUid: return R::ReadString(f, &e->uid);
    case t::kName: return R::ReadString(f, &e->name);
    case t::kType: return R::ReadString(f, &e->type);
    case t::kNotes: return R::ReadString(f, &e->notes);
    case t::kAlarmSoundFile: return R::ReadString(f, &e->alarmSoundFile);
    case t::kEmailTo: return R::ReadString(f, &e->emailTo);
    case t::kEmailSubject: return R::ReadString(f, &e->emailSubject);
    case t::kEmailBody: return R::ReadString(f, &e->emailBody);
    case t::kRunFile: return R::ReadString(f, &e->runFile);
    case t::kRunParameters: return R::ReadString(f, &e->runParameters);
    case t::kUrl: return R::ReadString(f, &e->url);
    case t::kArmedBy: return R::ReadString(f, &e->armedBy);
    case t::kStart: return R::ReadDateTime(f, &e->start);
    case t::kEnd: return R::ReadDateTime(f, &e->end);
    case t::kCreated: return R::ReadDateTime(f, &e->created);
    case t::kLastModified: return R::ReadDateTime(f, &e->lastModified);
    case t::kDtStamp: return R::ReadDateTime(f, &e->dtStamp);
    case t::kNextOccurrence: return R::ReadDateTime(f, &e->nextOccurrence);
    case t::kActedOn: return R::ReadDateTime(f, &e->actedOn);
    case t::kActedSnooze: return R::ReadDateTime(f, &e->actedSnooze);
    case t::kCalculateAge: return R::ReadByte(f, &e->calculateAge);
    case t::kShowEnd: return R::ReadByte(f, &e->showEnd);
    case t::kHasNext: return R::ReadByte(f, &e->hasNext);
    case t::kAllDay: return R::ReadByte(f, &e->allDay);
    case t::kAlarmOn: return R::ReadByte(f, &e->alarmOn);
    case t::kAcknowledged: return R::ReadByte(f, &e->acknowledged);
    case t::kAlarmSuppressed: return R::ReadByte(f, &e->alarmSuppressed);
    case t::kDisabled: return R::ReadByte(f, &e->disabled);
    case t::kMovedIn: return R::ReadByte(f, &e->movedIn);
    case t::kSoundOn: return R::ReadByte(f, &e->soundOn);
    case t::kEmailOn: return R::ReadByte(f, &e->emailOn);
    case t::kRunOn: return R::ReadByte(f, &e->runOn);
    case t::kRunAtAlarm: return R::ReadByte(f, &e->runAtAlarm);
    case t::kRunAtSnooze: return R::ReadByte(f, &e->runAtSnooze);
    case t::kAutoAcknowledge: return R::ReadByte(f, &e->autoAcknowledge);
    case t::kDaysPrior: return R::ReadShort(f, &e->daysPrior);
    case t::kSoundLength: return R::ReadShort(f, &e->soundLength);
    case t::kRunWindowState: return R::ReadInt(f, &e->runWindowState);
    case t::kLeadTime: return R::ReadDuration(f, &e->leadTime);
    case t::kRule:
      if (!R::ReadRecurrenceRule(f, e->recurrence.GetRule())) return false;
      e->oneTime = 0;
      return true;
    case t::kExclusionRule: return R::ReadRecurrenceRule(f, e->recurrence.GetExclusionRule());
    case t::kExcludedDate: {
      CDateTime d;
      if (!R::ReadDateTime(f, &d)) return false;
      e->recurrence.excludedDates.InsertSorted(d);
      return true;
    }
    case t::kAddedDate: {
      CDateRange r;
      if (!R::ReadDateRange(f, &r)) return false;
      e->recurrence.addedDates.InsertSorted(r);
      return true;
    }
    case t::kOccurrenceState: {
      COccurrenceState s;
      CDateTime d;
      if (!R::ReadOccurrenceState(f, &s, &d)) return false;
      e->occurrenceStates[d] = s;
      return true;
    }
    case t::kOccurrenceOverride: {
      COccurrenceOverride o;
      CDateTime d;
      if (!R::ReadOccurrenceOverride(f, &o, &d)) return false;
      e->occurrenceOverrides[d] = o;
      return true;
    }
    default:
      return true;  // a newer version's item
  }
}

bool EncodeEventRecord(const CCalEvent& event, uint8_t kind, CFieldBuffer* buffer) {
  buffer->Reset();
  if (event.uid.empty()) return false;
  uint8_t header[kEventRecordHeaderSize];
  header[0] = kind;
  header[1] = 1;
  fieldbytes::Put32(header + 2, static_cast<uint32_t>(event.sequence));
  fieldbytes::Put32(header + 6, static_cast<uint32_t>(event.changeSerial));
  if (!buffer->PutRaw(header, sizeof header)) return false;
  return PutEventItems(event, buffer) && buffer->GetUsed() <= kLargestEventRecord;
}

bool DecodeEventRecord(const uint8_t* record, size_t size, CCalEvent* event, EventRecordHeader* header) {
  event->type.clear();
  event->oneTime = 1;
  event->dtStamp = CDateTime();
  bool ok = true;
  if (size >= kEventRecordHeaderSize) {
    EventRecordHeader h;
    h.kind = record[0];
    h.sequence = static_cast<int32_t>(fieldbytes::Get32(record + 2));
    h.changeSerial = static_cast<int32_t>(fieldbytes::Get32(record + 6));
    event->sequence = h.sequence;
    event->changeSerial = h.changeSerial;
    if (header) *header = h;
    CFieldReader reader(record + kEventRecordHeaderSize, size - kEventRecordHeaderSize);
    FieldItem item;
    while (reader.Next(&item)) {
      if (!ReadEventItem(item, event)) {
        reader.SetError();
        break;
      }
    }
    ok = !reader.HasError();
  } else if (header) {
    *header = EventRecordHeader();
  }
  // Without a shown end an occurrence has no length (never the span to an
  // unset end).
  event->recurrence.occurrenceLength = event->GetOccurrenceLength();
  return ok;
}

bool EventNeedsVersion5(const CCalEvent& event) {
  const CRecurrenceRule* rule = event.recurrence.FindRule();
  if (!rule) return false;
  return rule->frequency == CRecurrenceRule::kEaster || !rule->bySetPos.empty() || rule->offsetDays != 0;
}
