// CCalendarFile: adding, rewriting and tombstoning event records. Each
// write runs inside the file's serial section: the records others wrote
// are read first, the new serial is one above every serial in the file,
// and the record reaches index 2 before anyone else can take a serial.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "storage/action_guard.h"
#include "storage/calendar_file.h"
#include "storage/event_array.h"
#include "storage/serial_section.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

constexpr int kKeyExists = 2;
constexpr int kBufferTooSmall = 153;
constexpr int kOtherUid = -1;

// What a save changes before the write, put back when the write fails so
// memory and file agree.
struct SavedStamps {
  explicit SavedStamps(const CCalEvent& e)
      : lastModified(e.lastModified), dtStamp(e.dtStamp), sequence(e.sequence), changeSerial(e.changeSerial) {}
  void Restore(CCalEvent* e) const {
    e->lastModified = lastModified;
    e->dtStamp = dtStamp;
    e->sequence = sequence;
    e->changeSerial = changeSerial;
  }
  CDateTime lastModified;
  CDateTime dtStamp;
  int32_t sequence;
  int32_t changeSerial;
};

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

CCalendarFile::LockModeSetter g_lockModeSetter = nullptr;

int SetLockMode(int16_t mode) {
  return g_lockModeSetter ? g_lockModeSetter(mode) : isam::EngineSetLockMode(mode);
}

void ReportWriteError(int rc) {
  CCalendarFile::ReportFileError(rc == kOtherUid ? kKeyExists : rc);
}

}  // namespace

void CCalendarFile::SetLockModeSetter(LockModeSetter setter) { g_lockModeSetter = setter; }

bool CCalendarFile::BuildRecord(const CCalEvent& event, uint8_t kind) {
  if (version < 5.0f && EventNeedsVersion5(event) && !WriteVersion(5.0f)) return false;
  if (EncodeEventRecord(event, kind, this)) return true;
  // Callers say nothing of a record that could not be built: the user must
  // hear which event was not saved.
  std::vector<char> text(sizeof storage_text::kEventNotStorable + event.name.size());
  std::snprintf(text.data(), text.size(), storage_text::kEventNotStorable, event.name.c_str());
  StorageMessage(text.data(), PromptIcon::kError);
  return false;
}

int CCalendarFile::ReadStoredRecord(const std::string& uid, std::vector<uint8_t>* record) {
  uint8_t target[isam::kCalendarUidKeyLength];
  std::memset(target, ' ', sizeof target);
  std::memcpy(target, uid.data(), std::min(uid.size(), sizeof target));
  record->resize(CFieldBuffer::kInitialCapacity);
  int32_t length = static_cast<int32_t>(record->size());
  int rc = isam::IsamReadVarRecordEqual(static_cast<int16_t>(fileSet_->uid_key()), target, record->data(), &length);
  // A longer record comes back as 153, or as success with only the part
  // that fits: either way it is read again whole.
  const bool cut = rc == kBufferTooSmall || (rc == 0 && length > static_cast<int32_t>(record->size()));
  // Damage, not an event: nothing longer is written.
  if (cut && length > static_cast<int32_t>(kLargestEventRecord)) return rc == 0 ? kBufferTooSmall : rc;
  if (cut && length > static_cast<int32_t>(record->size())) {
    record->resize(static_cast<size_t>(length));
    rc = isam::IsamRereadVarRecord(dataFile, record->data(), length);
  }
  if (rc != 0) return rc;
  record->resize(std::min(record->size(), static_cast<size_t>(length)));
  // The key holds 200 bytes of the UID: the stored record must carry this
  // very UID, not merely share its beginning.
  const size_t at = kEventRecordHeaderSize + 4;
  if (record->size() <= at) return kOtherUid;
  const uint8_t* begin = record->data() + at;
  const uint8_t* end = std::find(begin, static_cast<const uint8_t*>(record->data() + record->size()), uint8_t{0});
  if (std::string(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin)) != uid) return kOtherUid;
  return 0;
}

bool CCalendarFile::HoldsTombstone(const std::string& uid) {
  if (fileType != kOrdinaryFile || dataFile < 0) return false;
  std::vector<uint8_t> stored;
  return ReadStoredRecord(uid, &stored) == 0 && stored[0] == kEventRecordDeleted;
}

int CCalendarFile::AddEvent(CCalEvent* event, int publishArg, CEventArray* events, bool appendToArray) {
  if (fileType == kMemoryOnly) {
    if (events && appendToArray) {
      event->calendar = this;
      events->Append(event);
    }
    return 1;
  }
  if (openState != kOpen) {
    StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
    return 0;
  }
  if (importTarget != nullptr) return importTarget->AddEvent(event, 0, events, appendToArray);
  if (dataFile < 0) {
    StorageMessage(storage_text::kNoEventFile, PromptIcon::kInformation);
    return 0;
  }
  // A file held alone has no one to share serials with.
  SerialSectionScope section(heldAlone_ ? nullptr : serialSection_.get());
  if (!heldAlone_ && !section.entered()) {
    ReportFileError(42);
    return 0;
  }
  CCalendarFile* const oldCalendar = event->calendar;
  const SavedStamps saved(*event);
  event->calendar = this;
  PrepareWrite(events, nullptr);
  if (event->uid.empty()) event->uid = CCalEvent::MakeEventUid();
  NoteBatchedUid(event->uid);
  const uint32_t serial = std::max(lastChangeSerial, highestSeen_) + 1;
  event->changeSerial = static_cast<int32_t>(serial);
  actionguard::StampArmedHere(event);
  int rc = BuildRecord(*event, kEventRecordLive) ? 0 : -2;
  if (rc == 0) rc = SetLockMode(2);
  if (rc == 0) {
    rc = isam::IsamAddVarRecord(dataFile, GetData(), static_cast<int32_t>(GetUsed()));
    if (rc == kKeyExists) {
      std::vector<uint8_t> stored;
      rc = ReadStoredRecord(event->uid, &stored);
      if (rc == 0) rc = isam::IsamRewriteVarRecord(dataFile, GetData(), static_cast<int32_t>(GetUsed()));
    }
    const int unlock = SetLockMode(0);
    if (rc == 0 && unlock != 0) {
      // The record is in the file: memory follows it (the event is kept
      // and listed), the caller and the user hear of the lock.
      lastChangeSerial = highestSeen_ = serial;
      ReportFileError(unlock);
      if (events && appendToArray) events->Append(event);
      return kWriteUnlockFailed;
    }
  }
  if (rc != 0) {
    if (rc != -2) ReportWriteError(rc);
    saved.Restore(event);
    event->calendar = oldCalendar;
    return 0;
  }
  lastChangeSerial = highestSeen_ = serial;
  if (events && appendToArray) events->Append(event);
  section.Release();
  event->beingSaved = 1;
  AutoPublish(publishArg);
  event->beingSaved = 0;
  return kWriteSaved;
}

int CCalendarFile::UpdateEvent(CCalEvent* event, CEventArray* events, int incrementSequence, int publishArg,
                               int stampDtStamp) {
  return SaveEventChecked(event, events, incrementSequence, kEventRecordLive, publishArg, stampDtStamp);
}

int CCalendarFile::DeleteEvent(CCalEvent* event, CEventArray* events, int publishArg) {
  return SaveEventChecked(event, events, 1, kEventRecordDeleted, publishArg, 1);
}

int CCalendarFile::SaveEventChecked(CCalEvent* event, CEventArray* events, int incrementSequence, uint8_t kind,
                                    int publishArg, int stampDtStamp) {
  if (fileType == kMemoryOnly) return 1;
  if (openState != kOpen || dataFile < 0) {
    StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
    return 0;
  }
  // A file held alone has no one to share serials with.
  SerialSectionScope section(heldAlone_ ? nullptr : serialSection_.get());
  if (!heldAlone_ && !section.entered()) {
    ReportFileError(42);
    return 0;
  }
  // The event's own record is left alone here: the checks below compare
  // it with what the caller holds.
  PrepareWrite(events, event);
  NoteBatchedUid(event->uid);

  if (event->conflictMark != 0) {
    CCalEvent* current = events ? events->FindInCalendar(this, event->uid) : nullptr;
    if (current == event) current = nullptr;
    if (event->conflictMark == 2 && current != nullptr && current->SameOccurrenceStates(*event)) return 1;
    const char* question = event->conflictMark == 1   ? storage_text::kChangedByOther
                           : event->conflictMark == 2 ? storage_text::kAlarmChangedByOther
                                                      : storage_text::kDeletedByOther;
    // No: nothing is written and nothing deleted; the event stays the
    // caller's to use (the array drops it once nobody holds it).
    if (!StorageAskYesNo(question)) return kWriteDeclined;
    if (current != nullptr && events) delete events->TakeAt(static_cast<size_t>(current->arrayIndex));
    if (events && !events->Holds(event)) events->Append(event);
  }

  const SavedStamps saved(*event);
  int rc = SetLockMode(2);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  std::vector<uint8_t> stored;
  rc = ReadStoredRecord(event->uid, &stored);
  if (rc != 0) {
    SetLockMode(0);
    ReportWriteError(rc);
    return 0;
  }
  if (event->conflictMark == 0) {
    const bool storedDeleted = stored[0] == kEventRecordDeleted;
    const char* question = nullptr;
    if (storedDeleted && kind == kEventRecordLive) {
      question = storage_text::kPreviouslyDeleted;
    } else if (!storedDeleted && kind == kEventRecordLive && Le32(stored.data() + 2) > event->sequence) {
      question = storage_text::kChangedByOther;
    }
    if (question != nullptr && !StorageAskYesNo(question)) {
      SetLockMode(0);
      return kWriteDeclined;
    }
  }
  event->conflictMark = 0;
  event->lastModified = CDateTime::NowUtc();
  if (stampDtStamp) event->dtStamp = CDateTime::NowUtc();
  if (incrementSequence) ++event->sequence;
  const uint32_t serial = std::max(lastChangeSerial, highestSeen_) + 1;
  event->changeSerial = static_cast<int32_t>(serial);
  actionguard::StampArmedHere(event);
  rc = BuildRecord(*event, kind) ? 0 : -2;
  if (rc == 0) rc = isam::IsamRewriteVarRecord(dataFile, GetData(), static_cast<int32_t>(GetUsed()));
  const int unlock = SetLockMode(0);
  if (rc != 0) {
    if (rc != -2) ReportWriteError(rc);
    saved.Restore(event);
    return 0;
  }
  lastChangeSerial = highestSeen_ = serial;
  if (unlock != 0) {
    // Written: memory keeps what the file holds.
    ReportFileError(unlock);
    return kWriteUnlockFailed;
  }
  if (kind == kEventRecordDeleted) deletingUid = event->uid;
  section.Release();
  event->beingSaved = 1;
  AutoPublish(publishArg);
  event->beingSaved = 0;
  deletingUid.clear();
  return kWriteSaved;
}
