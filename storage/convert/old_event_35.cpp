// The body of one 3.50 record into an event.
#include <memory>

#include "model/cal_event.h"
#include "model/field_buffer_bytes.h"
#include "model/field_buffer_reader.h"
#include "model/field_buffer_tags.h"
#include "storage/convert/old_event_files.h"

namespace {

// The items 3.50 wrote, with the meanings the event file gives them; false
// when the item's value cannot be read.
bool ReadItem35(const FieldItem& f, CCalEvent* e) {
  namespace t = fieldtag;
  using R = CFieldReader;
  switch (f.tag) {
    case t::kType: return R::ReadString(f, &e->type);
    case t::kCreated: return R::ReadDateTime(f, &e->created);
    case t::kEnd: return R::ReadDateTime(f, &e->end);
    case t::kStart: return R::ReadDateTime(f, &e->start);
    case t::kNotes: return R::ReadString(f, &e->notes);
    case t::kLastModified: return R::ReadDateTime(f, &e->lastModified);
    case t::kRule:
      if (!R::ReadRecurrenceRule(f, e->recurrence.GetRule())) return false;
      e->oneTime = 0;
      return true;
    case t::kName: return R::ReadString(f, &e->name);
    case t::kCalculateAge: return R::ReadByte(f, &e->calculateAge);
    case t::kDaysPrior: return R::ReadShort(f, &e->daysPrior);
    case t::kNextOccurrence: return R::ReadDateTime(f, &e->nextOccurrence);
    case t::kShowEnd: return R::ReadByte(f, &e->showEnd);
    case t::kHasNext: return R::ReadByte(f, &e->hasNext);
    case t::kAllDay: return R::ReadByte(f, &e->allDay);
    case t::kAlarmOn: return R::ReadByte(f, &e->alarmOn);
    case t::kLeadTime: return R::ReadDuration(f, &e->leadTime);
    case t::kAcknowledged: return R::ReadByte(f, &e->acknowledged);
    case t::kOccurrenceState: {
      COccurrenceState s;
      CDateTime d;
      if (!R::ReadOccurrenceState(f, &s, &d)) return false;
      e->occurrenceStates[d] = s;
      return true;
    }
    case t::kAlarmSoundFile: return R::ReadString(f, &e->alarmSoundFile);
    case t::kAlarmSuppressed: return R::ReadByte(f, &e->alarmSuppressed);
    default:
      return true;  // not written by 3.50, or not taken
  }
}

}  // namespace

std::unique_ptr<CCalEvent> DecodeRecord35(const uint8_t* body, size_t size, bool cutShort, const CDateTime& today) {
  auto e = std::make_unique<CCalEvent>();
  e->type.clear();
  e->oneTime = 1;
  e->dtStamp = CDateTime();
  e->recurrence.DeleteRule();
  CFieldReader reader(body, size);
  FieldItem item;
  while (reader.Next(&item))
    if (!ReadItem35(item, e.get())) return nullptr;
  // An item cut by the end of the file is the only damage a last record
  // may have; what came before it is whole.
  if (reader.HasError() && !cutShort) return nullptr;
  if (e->start.IsEmpty() || e->start.GetRawJulianDay() > fieldbytes::kLastJulianDay) return nullptr;
  if (!e->hasNext && !e->oneTime) {
    CDateTime from = today;
    e->GetNextOccurrenceFrom(from, true);
  }
  e->recurrence.occurrenceLength = e->GetOccurrenceLength();
  return e;
}
