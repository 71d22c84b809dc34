// The body of one 3.50 record into an event.
#include <memory>

#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/events/field_buffer_bytes.h"
#include "model/events/field_buffer_reader.h"
#include "model/events/field_buffer_tags.h"
#include "storage/convert/old_event_files.h"

namespace {

// The items 3.50 wrote, read as the event file reads them; the rest were
// not written by 3.50, or are not taken from it. False when the item's
// value cannot be read.
bool ReadItem35(const FieldItem& f, CCalEvent* e) {
  namespace t = fieldtag;
  switch (f.tag) {
    case t::kType:
    case t::kCreated:
    case t::kEnd:
    case t::kStart:
    case t::kNotes:
    case t::kLastModified:
    case t::kRule:
    case t::kName:
    case t::kCalculateAge:
    case t::kDaysPrior:
    case t::kNextOccurrence:
    case t::kShowEnd:
    case t::kHasNext:
    case t::kAllDay:
    case t::kAlarmOn:
    case t::kLeadTime:
    case t::kAcknowledged:
    case t::kOccurrenceState:
    case t::kAlarmSoundFile:
    case t::kAlarmSuppressed:
      return ReadEventItem(f, e);
    default:
      return true;
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
