// CCalendarFile: batches of writes (BeginBatch / EndBatch).
#include "isam/engine_api.h"
#include "storage/calendar_file.h"
#include "storage/serial_section.h"

int CCalendarFile::BeginBatch() {
  if (batchDepth_++ > 0) return 1;
  batchHeld_ = batchEntered_ = batchEngine_ = batchSynced_ = false;
  batchUids_.clear();
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
      ok = 0;
    }
  }
  if (batchEntered_ && serialSection_) serialSection_->Leave();
  if (batchHeld_ && !ShareAgain()) ok = 0;
  batchHeld_ = batchEntered_ = batchEngine_ = batchSynced_ = false;
  batchUids_.clear();
  return ok;
}

void CCalendarFile::PrepareWrite(CEventArray* events, const CCalEvent* excluded) {
  if (batchDepth_ == 0) {
    ReadChangedEvents(events, excluded);
    return;
  }
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
  if (rc != 0) ReportFileError(rc);
  batchUids_.clear();
  batchUids_.insert(uid);
}
