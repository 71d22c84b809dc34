// CCalendarFile: loading every record, reading the records other processes
// changed (index 2, by change serial) and merging them into the array.
#include <algorithm>
#include <cstring>
#include <new>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/services/model_services.h"
#include "storage/action_guard.h"
#include "storage/calendar_file.h"
#include "storage/event_array.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

constexpr int kBufferTooSmall = 153;

uint32_t SerialOf(const uint8_t* record) {
  return static_cast<uint32_t>(record[6]) | static_cast<uint32_t>(record[7]) << 8 |
         static_cast<uint32_t>(record[8]) << 16 | static_cast<uint32_t>(record[9]) << 24;
}

// A read whose record did not fit: the buffer grows to the record's length
// and the record is read again. False when memory runs out (told).
bool GrowAndReread(int16_t file, std::vector<uint8_t>* buffer, int32_t* length, int* rc) {
  // No event record is written longer; a length beyond it is damage.
  if (*length > static_cast<int32_t>(kLargestEventRecord)) {
    StorageMessage(storage_text::kOutOfMemory);
    return false;
  }
  try {
    buffer->resize(static_cast<size_t>(*length));
  } catch (const std::bad_alloc&) {
    StorageMessage(storage_text::kOutOfMemory);
    return false;
  }
  *rc = isam::IsamRereadVarRecord(file, buffer->data(), *length);
  return true;
}

// After a read of a walk: a record that did not fit grows the buffer and is
// read again. False when the walk must stop there (the length reported is
// no larger than the buffer, memory ran out, or the reread failed).
bool CompleteRead(int16_t file, std::vector<uint8_t>* buffer, int32_t* length, int* rc) {
  // The engine answers a record longer than the buffer either with 153, or
  // with success, the part that fits and the whole length: both are read
  // again whole (decoding the cut part would drop the event).
  const bool cut = *rc == kBufferTooSmall || (*rc == 0 && *length > static_cast<int32_t>(buffer->size()));
  if (!cut) return true;
  if (*length <= static_cast<int32_t>(buffer->size()) || !GrowAndReread(file, buffer, length, rc)) return false;
  return *rc == 0;
}

}  // namespace

CCalEvent* CCalendarFile::DecodeRecord(const uint8_t* data, size_t size, EventRecordHeader* header) {
  if (size < kEventRecordHeaderSize) return nullptr;
  CCalEvent* event = new CCalEvent();
  // A record the codec rejects stays in the file untouched; the rest load.
  if (!DecodeEventRecord(data, size, event, header) || event->uid.empty()) {
    delete event;
    return nullptr;
  }
  event->calendar = this;
  return event;
}

void CCalendarFile::RaiseSerial(uint32_t serial) {
  if (serial > lastChangeSerial) lastChangeSerial = serial;
  if (serial > highestSeen_) highestSeen_ = serial;
}

int CCalendarFile::LoadAllEvents(CEventArray* events) {
  if (dataFile < 0) return 0;
  if (readBuffer_.size() < CFieldBuffer::kInitialCapacity) readBuffer_.resize(CFieldBuffer::kInitialCapacity);
  int32_t length = static_cast<int32_t>(readBuffer_.size());
  // An import from this file into another writes that one as one batch.
  BatchScope batch(importTarget);
  // The walk's reads share one hold of the file's I/O range lock (a batch
  // of this file holds it to its end) instead of a lock and an unlock each.
  const int16_t walked = dataFile;
  const bool held = isam::IsamWriteBatch(walked, 1) == 0;
  int rc = isam::IsamFirstVarRecord(dataFile, readBuffer_.data(), &length);
  const CDateTime today = CDateTime::Today();
  while (rc == 0 || rc == kBufferTooSmall) {
    if (!CompleteRead(dataFile, &readBuffer_, &length, &rc)) break;
    const size_t size = std::min(static_cast<size_t>(length), readBuffer_.size());
    if (size >= kEventRecordHeaderSize) {
      RaiseSerial(SerialOf(readBuffer_.data()));
      if (readBuffer_[0] == kEventRecordLive) {
        EventRecordHeader header;
        if (CCalEvent* event = DecodeRecord(readBuffer_.data(), size, &header)) {
          if (event->IsRecurring() && !event->hasNext) {
            CDateTime from = today;
            event->GetNextOccurrenceFrom(from, true);
          }
          if (importTarget == nullptr) {
            if (events) {
              events->Append(event);
            } else {
              delete event;
            }
          } else if (UpdateFromNewer(events, event, false) == 0) {
            // A file from elsewhere never runs a program or sends mail by
            // itself: both arrive off, their settings kept to switch on.
            event->runOn = 0;
            event->emailOn = 0;
            if (!importTarget->AddEvent(event, 0, events) || events == nullptr) delete event;
          } else {
            delete event;
          }
        }
      }
    }
    length = static_cast<int32_t>(readBuffer_.size());
    rc = isam::IsamNextVarRecord(dataFile, readBuffer_.data(), &length);
  }
  if (held) isam::IsamWriteBatch(walked, 0);
  if (rc != 0 && rc != 101) ReportFileError(rc);
  return 1;
}

void CCalendarFile::ReadChangedEvents(CEventArray* events, const CCalEvent* excluded) {
  // Nobody else writes a file held alone.
  if (openState != kOpen || fileType != kOrdinaryFile || dataFile < 0 || heldAlone_) return;
  WalkChanged(events, excluded ? lastChangeSerial : lastChangeSerial + 1, excluded);
}

uint32_t CCalendarFile::WalkChanged(CEventArray* events, uint32_t from, const CCalEvent* excluded) {
  if (readBuffer_.size() < CFieldBuffer::kInitialCapacity) readBuffer_.resize(CFieldBuffer::kInitialCapacity);
  uint8_t target[isam::kCalendarSerialKeyLength] = {};
  for (int i = 0; i < 4; ++i) target[i] = static_cast<uint8_t>(from >> (8 * i));
  const int16_t key = static_cast<int16_t>(fileSet_->serial_key());
  int32_t length = static_cast<int32_t>(readBuffer_.size());
  int rc = isam::IsamReadVarRecordAtLeast(key, target, readBuffer_.data(), &length);
  while (rc == 0 || rc == kBufferTooSmall) {
    if (!CompleteRead(dataFile, &readBuffer_, &length, &rc)) break;
    const size_t size = std::min(static_cast<size_t>(length), readBuffer_.size());
    if (size >= kEventRecordHeaderSize) {
      const uint8_t kind = readBuffer_[0];
      EventRecordHeader header;
      CCalEvent* event = DecodeRecord(readBuffer_.data(), size, &header);
      const uint32_t serial = static_cast<uint32_t>(header.changeSerial);
      if (event == nullptr) {
        RaiseSerial(SerialOf(readBuffer_.data()));
      } else if (excluded != nullptr && event->uid == excluded->uid) {
        // Left for the save that excluded it: it checks the stored record
        // itself. Serials are still taken above it.
        if (serial > highestSeen_) highestSeen_ = serial;
        delete event;
      } else {
        RaiseSerial(serial);
        if (events) {
          MergeChangedEvent(events, event, kind);
        } else {
          delete event;
        }
      }
    }
    length = static_cast<int32_t>(readBuffer_.size());
    rc = isam::IsamNextVarRecord(key, readBuffer_.data(), &length);
  }
  return highestSeen_;
}

void CCalendarFile::MergeChangedEvent(CEventArray* events, CCalEvent* event, uint8_t kind) {
  if (event->IsRecurring() && !event->hasNext) {
    CDateTime from;
    event->GetNextOccurrenceFrom(from, true);
  }
  // A writer that moved the start but kept the old next occurrence (an
  // older version's refresh) would have the list and the alarm keep it.
  if (kind != kEventRecordDeleted) event->RenewStaleNext();
  event->calendar = this;
  CCalEvent* held = events->FindInCalendar(this, event->uid);
  if (held != nullptr && (held->inEdit || held->listed || held->deleted)) {
    // Someone holds it (the editor, the reminder window): it leaves the
    // array marked, and its next save asks before overwriting.
    held->conflictMark = kind == kEventRecordDeleted ? 3 : (held->sequence == event->sequence ? 2 : 1);
    events->TakeAt(static_cast<size_t>(held->arrayIndex));
    events->Detach(held);
    held = nullptr;
  }
  if (held != nullptr) {
    if (kind == kEventRecordDeleted) {
      events->TakeAt(static_cast<size_t>(held->arrayIndex));
      held->MarkDeleted();
      // Views may still show it until they are refreshed.
      events->ParkForFree(held);
    } else {
      *held = *event;
      held->created = event->created;
      held->lastModified = event->lastModified;
      held->dtStamp = event->dtStamp;
      held->sequence = event->sequence;
      held->changeSerial = event->changeSerial;
    }
    delete event;
  } else if (kind == kEventRecordDeleted) {
    delete event;
  } else {
    events->Append(event);
  }
  events->NoteChanged();
}

namespace {

CDateTime NewnessOf(const CCalEvent& e) {
  if (!e.dtStamp.IsEmpty()) return e.dtStamp;
  if (!e.lastModified.IsEmpty()) return e.lastModified;
  return CDateTime();
}

}  // namespace

int CCalendarFile::UpdateFromNewer(CEventArray* events, CCalEvent* event, bool withinThisCalendar) {
  if (events == nullptr) return 0;
  CCalEvent* held = withinThisCalendar ? events->FindInCalendar(this, event->uid) : events->FindAny(event->uid);
  if (held == nullptr) return 0;
  if (withinThisCalendar) uidMap.erase(held->uid);
  if (!(NewnessOf(*event) > NewnessOf(*held))) return 2;
  *held = *event;
  held->created = event->created;
  held->lastModified = event->lastModified;
  held->dtStamp = event->dtStamp;
  held->EnsureDtStamp();
  held->RenewStaleNext();
  if (held->listed && held->reminderWindow) held->reminderWindow->RemoveAlarm(held, -1, nullptr);
  if (IEventDocument* doc = GetModelServices().document) doc->SaveEvent(*held, 0, 0, 0);
  return 1;
}

void CCalendarFile::BuildUidMap(const CEventArray* events) {
  uidMap.clear();
  if (events == nullptr) return;
  for (CCalEvent* e : events->items())
    if (e->calendar == this) uidMap[e->uid] = e->uid;
}

void CCalendarFile::AskAboutUnprovenActions(CEventArray* events) {
  if (events == nullptr) return;
  const bool write = openState == kOpen && fileType == kOrdinaryFile;
  const bool adopted = actionguard::TakeAdoption(path);
  std::vector<std::string> proven, asked;
  std::vector<const CCalEvent*> listed;
  for (const CCalEvent* e : events->items()) {
    if (e->calendar != this || e->deleted) continue;
    if (adopted && actionguard::ArmedByEarlierVersion(*e)) {
      proven.push_back(e->uid);
    } else if (actionguard::AwaitsQuestion(*e)) {
      asked.push_back(e->uid);
      listed.push_back(e);
    }
  }
  bool publishAsked = actionguard::PublishAwaitsQuestion(*this);
  if (adopted && publishAsked && publishProof.empty()) {
    actionguard::ProvePublish(this);
    if (write) WriteCalInfo();
    publishAsked = false;
  }
  bool yes = false;
  if (!asked.empty() || publishAsked) {
    IStoragePrompts* prompts = GetStorageServices().prompts;
    yes = prompts != nullptr &&
          prompts->AskArmActions(actionguard::ArmQuestion(*this, listed, publishAsked ? address : std::string()));
    if (yes) {
      proven.insert(proven.end(), asked.begin(), asked.end());
    } else {
      for (const std::string& uid : asked)
        if (CCalEvent* e = events->FindInCalendar(this, uid)) e->actionsDeclined = 1;
    }
    if (publishAsked && yes) {
      actionguard::ProvePublish(this);
      if (write) WriteCalInfo();
    } else if (publishAsked) {
      publishDeclined = 1;
    }
  }
  for (const std::string& uid : proven) {
    CCalEvent* event = events->FindInCalendar(this, uid);
    if (event == nullptr) continue;
    if (!write) {
      event->armRequested = 1;
      actionguard::StampArmedHere(event);
      continue;
    }
    // Memory follows the file: an event whose proof could not be stored
    // stays unproven.
    const std::string before = event->armedBy;
    event->armRequested = 1;
    const int rc = UpdateEvent(event, events, 0, 0, 0);
    if (rc == kWriteFailed || rc == kWriteDeclined) {
      event->armedBy = before;
      event->armRequested = 0;
    }
  }
}
