#include "isam/index/free_space.h"

#include <cstdio>

#include "isam/index/file_control_block.h"
#include "isam/index/file_state_hooks.h"
#include "isam/index/free_space_index.h"
#include "isam/index/header_lock.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {
namespace {

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
  // A member's stretches are never split (the rest would lie among other
  // members' stretches), so one twice the size or more would waste at
  // least as much as it holds: the end of the host serves instead.
  if (fcb->header.file_class == kClassSuperMember && k.total / 2 >= needed) return SetEngineError(0), 0;
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
  const VarRecordHeader was = h;
  h.mark = kMarkActive;
  h.used = 0;
  h.member = SpaceMember(fcb);
  if (int rc = WriteVarRecordHeader(fcb, k.position, h)) {
    // Still free (or half marked): it gets its header and its key back.
    WriteVarRecordHeader(fcb, k.position, was);
    SpaceIndexAdd(fcb, found);
    return SetEngineError(rc), 0;
  }
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
  FileControlBlock* holder = HolderOf(fcb);
  holder->claimed_stretch = 0;
  uint32_t position = 0;
  if (kind != kAllocAtEnd) {
    position = ClaimFreeStretch(fcb, static_cast<uint32_t>(needed));
    if (position == 0 && CurrentInstance()->eng_err != 0) return 0;
  }
  if (position == 0) {
    // New space comes stamped as a claimed stretch of this file (member),
    // used length 0: just what a fresh record stretch needs.
    position = ExtendFile(fcb, static_cast<uint32_t>(needed), 1);
    if (position == 0) return 0;
  }
  if (counted) {
    ++fcb->header.serial_counter;
    ++fcb->header.active_count;
    if (WriteFileHeader(fcb) != 0) {
      FreeVarSpace(fcb, position, false);  // a stretch no record will fill
      SetEngineError(44);
      return 0;
    }
  }
  // The claimed stretch's header was the last one written here (by the
  // claim or the stamp of new space): a record write that follows at once
  // takes it from memory. Only a record's space (counted) is written next.
  if (!counted || holder->claimed_stretch != position) holder->claimed_stretch = 0;
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
  HolderOf(fcb)->claimed_stretch = 0;
  // Every step is undone when a later one fails, so the stretch is either
  // free with its key or left as it was, and a free neighbour keeps its key:
  // no free space ever drops out of the index.
  const uint32_t hlen = VarHeaderLength(fcb);
  uint8_t before[kLongVarHeader];
  if (int rc = FileIo(0, fcb, position, before, hlen)) return SetEngineError(rc);
  uint8_t joined_key[kSpaceKeyLength];
  bool joined = false;
  const uint64_t behind = static_cast<uint64_t>(position) + total;
  if (behind <= fcb->header.logical_end) {
    VarRecordHeader next;
    if (ReadVarRecordHeader(fcb, static_cast<uint32_t>(behind), &next) == 0 && next.mark == FreeMarkOf(fcb) &&
        next.member == SpaceMember(fcb) &&
        static_cast<uint64_t>(total) + next.total <= 0x7FFFFFFFu) {
      BuildSpaceKey(fcb, joined_key, next.total, static_cast<uint32_t>(behind));
      const int rc = SpaceIndexRemove(fcb, joined_key);
      if (rc == 0) {
        total += next.total;
        joined = true;
      } else if (rc != 4) {
        return SetEngineError(146);
      }
    }
  }
  VarRecordHeader h;
  h.mark = FreeMarkOf(fcb);
  h.total = total;
  h.member = SpaceMember(fcb);
  int rc = WriteVarRecordHeader(fcb, position, h);
  if (rc == 0) {
    uint8_t key[kSpaceKeyLength];
    BuildSpaceKey(fcb, key, total, position);
    rc = SpaceIndexAdd(fcb, key);
  }
  if (rc != 0) {
    FileIo(1, fcb, position, before, hlen);
    if (joined) SpaceIndexAdd(fcb, joined_key);
  }
  return SetEngineError(rc);
}

int FreeVarSpace(FileControlBlock* fcb, uint32_t position, bool counted) {
  if (position == 0) return SetEngineError(159);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  VarRecordHeader h;
  if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
  if (h.mark != kMarkActive && h.mark != kMarkResource) return SetEngineError(123);
  // The count goes first: a failure after it leaves the record in place
  // and the count put back, never a freed record reported as kept.
  const bool lowered = counted && fcb->header.active_count > 0;
  if (lowered) {
    --fcb->header.active_count;
    if (int rc = WriteFileHeader(fcb)) return SetEngineError(rc);
  }
  if (int rc = FreeRawStretch(fcb, position, h.total)) {
    if (lowered) {
      ++fcb->header.active_count;
      WriteFileHeader(fcb);
    }
    return SetEngineError(rc);
  }
  // This instance's lock on the record goes while the header lock is still
  // held: a claimer, which takes the header lock first, must find the
  // stretch unlocked.
  CurrentFileStateHooks().release_record_lock(fcb->number, position);
  return SetEngineError(0);
}

int ReleaseVarRecordSpace(int file, uint32_t position) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  return FreeVarSpace(fcb, position, true);
}

}  // namespace isam
