#include "isam/free_space.h"

#include <cstdio>

#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/free_space_index.h"
#include "isam/record_lock.h"
#include "isam/status_log.h"
#include "isam/varlen_record.h"

namespace isam {
namespace {

class HeaderLock {
 public:
  explicit HeaderLock(FileControlBlock* fcb) : fcb_(fcb), rc_(LockFileHeader(fcb)) {}
  ~HeaderLock() {
    if (rc_ == 0) UnlockFileHeader(fcb_);
  }
  int rc() const { return rc_; }

 private:
  FileControlBlock* fcb_;
  int rc_;
};

uint32_t SpaceMember(const FileControlBlock* fcb) { return fcb->header.superfile_member; }

uint16_t FreeMarkOf(const FileControlBlock* fcb) {
  return fcb->header.file_class == kClassSuperMember ? kMarkMemberFree : kMarkFree;
}

// Takes a free stretch of at least `needed` bytes out of the index: its
// position, 0 when none fits (eng_err 0), or 0 with the error.
uint32_t ClaimFreeStretch(FileControlBlock* fcb, uint32_t needed) {
  uint8_t target[kSpaceKeyLength], found[kSpaceKeyLength];
  BuildSpaceKey(fcb, target, needed, 0);
  const int r = SpaceIndexFind(fcb, target, false, found);
  if (r <= 0) {
    if (r == 0) SetEngineError(0);
    return 0;
  }
  const SpaceKey k = DecodeSpaceKey(found);
  if (k.member != SpaceMember(fcb)) return SetEngineError(0), 0;
  VarRecordHeader h;
  if (ReadVarRecordHeader(fcb, k.position, &h) != 0 || (h.mark != kMarkFree && h.mark != kMarkMemberFree) ||
      h.total != k.total) {
    char text[64];
    std::snprintf(text, sizeof text, "mark=%xx pos=%lxx", static_cast<unsigned>(h.mark),
                  static_cast<unsigned long>(k.position));
    WriteStatusLog(text, 0);
    WriteStatusLog(fcb->name, 0);
    return SetEngineError(147), 0;
  }
  if (SpaceIndexRemove(fcb, found) != 0) return SetEngineError(146), 0;
  h.mark = kMarkActive;
  h.used = 0;
  h.member = SpaceMember(fcb);
  if (WriteVarRecordHeader(fcb, k.position, h) != 0) return 0;
  return k.position;
}

}  // namespace

int BuildSpaceKey(const FileControlBlock* fcb, uint8_t* key, uint32_t total, uint32_t position) {
  BuildSpaceKeyBytes(SpaceMember(fcb), total, position, key);
  return kSpaceKeyLength;
}

uint32_t AllocVarSpace(FileControlBlock* fcb, uint32_t length, int kind, bool counted) {
  if (fcb->header.file_type != kFileTypeVariable) return SetEngineError(48), 0;
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint64_t needed = static_cast<uint64_t>(length) + hlen;
  if (needed > 0x7FFFFFFFu) return SetEngineError(140), 0;
  HeaderLock lock(fcb);
  if (lock.rc()) return 0;
  uint32_t position = 0;
  if (kind != kAllocAtEnd) {
    position = ClaimFreeStretch(fcb, static_cast<uint32_t>(needed));
    if (position == 0 && CurrentInstance()->eng_err != 0) return 0;
  }
  if (position == 0) {
    position = ExtendFile(fcb, static_cast<uint32_t>(needed), 1);
    if (position == 0) return 0;
    VarRecordHeader h;
    h.mark = kMarkActive;
    h.total = static_cast<uint32_t>(needed);
    h.member = SpaceMember(fcb);
    if (WriteVarRecordHeader(fcb, position, h) != 0) return 0;
  }
  if (counted) {
    ++fcb->header.serial_counter;
    ++fcb->header.active_count;
    if (WriteFileHeader(fcb) != 0) {
      SetEngineError(44);
      return 0;
    }
  }
  SetEngineError(0);
  return position;
}

uint32_t NewVarRecordSpace(int file, uint32_t length) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc), 0;
  return AllocVarSpace(fcb, length, kAllocBestFit, true);
}

int FreeRawStretch(FileControlBlock* fcb, uint32_t position, uint32_t total) {
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  const uint64_t behind = static_cast<uint64_t>(position) + total;
  if (behind <= fcb->header.logical_end) {
    VarRecordHeader next;
    if (ReadVarRecordHeader(fcb, static_cast<uint32_t>(behind), &next) == 0 && next.mark == FreeMarkOf(fcb) &&
        next.member == SpaceMember(fcb) &&
        static_cast<uint64_t>(total) + next.total <= 0x7FFFFFFFu) {
      uint8_t key[kSpaceKeyLength];
      BuildSpaceKey(fcb, key, next.total, static_cast<uint32_t>(behind));
      const int rc = SpaceIndexRemove(fcb, key);
      if (rc == 0) total += next.total;
      else if (rc != 4) return SetEngineError(146);
    }
  }
  VarRecordHeader h;
  h.mark = FreeMarkOf(fcb);
  h.total = total;
  h.member = SpaceMember(fcb);
  if (int rc = WriteVarRecordHeader(fcb, position, h)) return rc;
  uint8_t key[kSpaceKeyLength];
  BuildSpaceKey(fcb, key, total, position);
  return SetEngineError(SpaceIndexAdd(fcb, key));
}

int FreeVarSpace(FileControlBlock* fcb, uint32_t position, bool counted) {
  if (position == 0) return SetEngineError(159);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  VarRecordHeader h;
  if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
  if (h.mark != kMarkActive && h.mark != kMarkResource) return SetEngineError(123);
  if (int rc = FreeRawStretch(fcb, position, h.total)) return rc;
  // This instance's lock on the record goes while the header lock is still
  // held: a claimer, which takes the header lock first, must find the
  // stretch unlocked.
  if (CheckRecordLocked(fcb->number, kLockWrite, position) == 0 ||
      CheckRecordLocked(fcb->number, kLockRead, position) == 0)
    LockRecord(fcb->number, kLockUnlock, position);
  if (counted && fcb->header.active_count > 0) {
    --fcb->header.active_count;
    if (int rc = WriteFileHeader(fcb)) return SetEngineError(rc);
  }
  return SetEngineError(0);
}

int ReleaseVarRecordSpace(int file, uint32_t position) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  return FreeVarSpace(fcb, position, true);
}

}  // namespace isam
