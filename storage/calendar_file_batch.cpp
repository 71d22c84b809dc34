// CCalendarFile: batches of writes (BeginBatch / EndBatch).
#include <algorithm>

#include "isam/engine_api.h"
#include "storage/event_array.h"
#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "storage/calendar_file.h"
#include "storage/serial_section.h"

int CCalendarFile::BeginBatch() {
  if (batchDepth_++ > 0) return 1;
  batchHeld_ = batchEntered_ = batchEngine_ = batchSynced_ = false;
  batchUids_.clear();
  batchEvents_ = nullptr;
  batchFromSerial_ = lastChangeSerial;
  batchFromSeen_ = highestSeen_;
  if (fileType != kOrdinaryFile || openState != kOpen || dataFile < 0) return 1;
  // Nobody else has it open: held alone, the writes take no locks at all,
  // and gather in memory between flushes. The gathering is ordered: a file
  // others may open later reaches the disk flush by flush, as its writes
  // would without it.
  if (!heldAlone_) batchHeld_ = HoldAlone(true, true) == 1;
  if (dataFile < 0) return 1;  // the reopen failed (reported)
  if (!heldAlone_ && serialSection_) batchEntered_ = serialSection_->Enter();
  batchEngine_ = isam::IsamWriteBatch(dataFile, 1) == 0;
  return 1;
}

int CCalendarFile::EndBatch() {
  if (batchDepth_ <= 0 || --batchDepth_ > 0) return 1;
  int ok = 1;
  if (batchEngine_ && dataFile >= 0) {
    if (const int rc = isam::IsamWriteBatch(dataFile, 0)) {
      ReportFileError(rc);
      FollowFileAfterLostBatch();
      ok = 0;
    }
  }
  if (batchEntered_ && serialSection_) serialSection_->Leave();
  if (batchHeld_ && !ShareAgain()) ok = 0;
  batchHeld_ = batchEntered_ = batchEngine_ = batchSynced_ = false;
  batchUids_.clear();
  batchEvents_ = nullptr;
  return ok;
}

void CCalendarFile::PrepareWrite(CEventArray* events, const CCalEvent* excluded) {
  if (batchDepth_ == 0) {
    ReadChangedEvents(events, excluded);
    return;
  }
  if (events != nullptr) batchEvents_ = events;
  if (batchSynced_) return;
  batchSynced_ = true;
  // What others wrote before the batch took the file is read once, held
  // alone or not.
  if (openState == kOpen && fileType == kOrdinaryFile && dataFile >= 0)
    WalkChanged(events, lastChangeSerial + 1, excluded);
}

void CCalendarFile::NoteBatchedUid(const std::string& uid) {
  if (!batchEngine_ || batchUids_.insert(uid).second) return;
  int rc = isam::IsamWriteBatch(dataFile, 0);
  const int again = isam::IsamWriteBatch(dataFile, 1);
  batchEngine_ = again == 0;
  if (rc == 0) rc = again;
  if (rc != 0) {
    ReportFileError(rc);
    FollowFileAfterLostBatch();
  }
  batchUids_.clear();
  batchUids_.insert(uid);
}

void CCalendarFile::FollowFileAfterLostBatch() {
  if (dataFile < 0 || fileSet_ == nullptr) return;
  // A rewrite reported done inside the batch may have kept its old form:
  // the event in memory takes back what its record holds, so nothing shows
  // as saved that is not (the user has been told of the failure).
  std::vector<uint8_t> stored;
  for (const std::string& uid : batchUids_) {
    CCalEvent* held = batchEvents_ ? batchEvents_->FindInCalendar(this, uid) : nullptr;
    if (held == nullptr || ReadStoredRecord(uid, &stored) != 0 || stored[0] != kEventRecordLive) continue;
    EventRecordHeader header;
    CCalEvent* event = DecodeRecord(stored.data(), stored.size(), &header);
    if (event == nullptr) continue;
    if (header.changeSerial != held->changeSerial) {
      event->RenewStaleNext();
      CopyStoredInto(held, *event);
      batchEvents_->NoteChanged();
    }
    delete event;
  }
  // Serials above the file's highest were given to writes that did not
  // land: the next ones follow what the file holds, or another writer's
  // record under such a serial would never be read.
  lastChangeSerial = batchFromSerial_;
  highestSeen_ = batchFromSeen_;
  WalkChanged(nullptr, std::max(batchFromSerial_, batchFromSeen_) + 1, nullptr);
}
