#include "isam/record/fixed_record.h"

#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/index/varlen_record.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"

namespace isam {
namespace {

constexpr uint8_t kDeletedMark = 0xFF;

// True when position is on the delete stack: a record whose first byte is
// the deleted mark may still be live data, so the stack itself decides.
// The walk is bounded by the records the file can hold; a stack that runs
// longer (a cycle) or leaves the grid counts as holding the record, so a
// damaged stack is never pushed onto.
bool OnDeleteStack(FileControlBlock* fcb, uint32_t position) {
  const uint32_t len = fcb->header.record_length;
  const uint64_t bound = fcb->header.logical_end / (len ? len : 1) + 1;
  uint32_t at = fcb->header.delete_stack;
  for (uint64_t steps = 0; at != 0; ++steps) {
    if (at == position || steps > bound) return true;
    uint8_t entry[5];
    if (CheckRecordPosition(fcb, at) != 0 || FileIo(0, fcb, at, entry, sizeof entry) != 0 ||
        entry[0] != kDeletedMark)
      return true;
    at = GetLe32(entry + 1);
  }
  return false;
}

}  // namespace

uint32_t FirstFixedPosition(const FileControlBlock* fcb) {
  const uint32_t len = fcb->header.record_length;
  return len == 0 ? 0 : (kFileHeaderSize + len - 1) / len * len;
}

int CheckRecordPosition(FileControlBlock* fcb, uint32_t position) {
  if (position == 0) return SetEngineError(29);
  const uint32_t len = fcb->header.record_length;
  auto beyond = [&] { return static_cast<uint64_t>(position) + len - 1 > fcb->header.logical_end; };
  if (beyond() && IsShared(fcb) && fcb->header_lock_depth == 0) {
    if (int rc = ReadFileHeader(fcb)) return SetEngineError(rc);
  }
  if (beyond()) return SetEngineError(30);
  if (fcb->header.file_type == kFileTypeFixed &&
      (len == 0 || position < FirstFixedPosition(fcb) || position % len != 0))
    return SetEngineError(30);
  return 0;
}

uint32_t NewDataRecord(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  if (fcb->header.file_type != kFileTypeFixed) return SetEngineError(48), 0;
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc), 0;
  HeaderLock lock(fcb);
  if (lock.rc()) return 0;
  FileHeader& h = fcb->header;
  const FileHeader before = h;
  uint32_t position = h.delete_stack;
  if (position != 0) {
    if (CheckRecordPosition(fcb, position) != 0) return SetEngineError(31), 0;
    uint8_t top[5];
    if (int rc = FileIo(0, fcb, position, top, sizeof top)) return SetEngineError(rc), 0;
    if (top[0] != kDeletedMark) return SetEngineError(31), 0;
    const uint32_t next = GetLe32(top + 1);
    if (next == position) return SetEngineError(31), 0;  // a stack that points at itself
    h.delete_stack = next;
  } else if (!RecordLocksRequired(file)) {
    // The new end and the raised counts reach the disk in the one header
    // write below instead of two back-to-back writes of the same 128 bytes.
    // Nothing was written between them, so no recovery step can depend on
    // the first landing alone: one write leaves the old header or the new
    // one, states the two writes could leave as well (a crash before the
    // first, or after the second). The fill is still on disk and flushed
    // before any header names it, and the record still follows the header.
    // A failed write leaves the image at the old end (see WriteFileHeader),
    // which the failure path below keeps.
    position = ExtendFileForHeaderWrite(fcb, h.record_length, h.record_length);
    if (position == 0) return 0;
  } else {
    // Here the record lock is taken between the claim and the counts, and
    // a refused lock publishes the new end with the slot on the stack.
    position = ExtendFile(fcb, h.record_length, h.record_length);
    if (position == 0) return 0;
  }
  // On a shared file with locking the new record is write-locked before
  // the header hands it out, so no other opener can take it for its own.
  bool locked = false;
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, position) != 0) {
    if (LockRecord(file, kLockWrite, position) != 0) {
      const int rc = CurrentInstance()->eng_err;
      if (position == before.delete_stack) {
        h.delete_stack = before.delete_stack;  // the top stays on the stack
      } else {
        // New space nobody may use now: it goes on the stack as deleted.
        uint8_t mark[5];
        mark[0] = kDeletedMark;
        PutLe32(mark + 1, h.delete_stack);
        if (FileIo(1, fcb, position, mark, sizeof mark) == 0) {
          h.delete_stack = position;
          WriteFileHeader(fcb);
        }
      }
      return SetEngineError(rc), 0;
    }
    locked = true;
  }
  ++h.serial_counter;
  ++h.active_count;
  if (WriteFileHeader(fcb) != 0) {
    // The counts go back down (and a popped top back on the stack).
    const uint32_t end = h.logical_end, physical = h.physical_end;
    h = before;
    h.logical_end = end;
    h.physical_end = physical;
    if (locked) LockRecord(file, kLockUnlock, position);
    return SetEngineError(44), 0;
  }
  SetEngineError(0);
  return position;
}

int ReleaseDataRecord(int file, uint32_t position) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (fcb->header.file_type != kFileTypeFixed) return SetEngineError(48);
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, position) != 0)
    return SetEngineError(57);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  FileHeader& h = fcb->header;
  uint8_t first_bytes[5];
  if (int rc = FileIo(0, fcb, position, first_bytes, sizeof first_bytes)) return SetEngineError(rc);
  const uint8_t first = first_bytes[0];
  // A record deleted before, on top of the stack or below it: pushing it
  // again would make the stack a cycle that hands the slot out twice.
  if (position == h.delete_stack || (first == kDeletedMark && OnDeleteStack(fcb, position)))
    return SetEngineError(32);
  uint8_t mark[5];
  mark[0] = kDeletedMark;
  PutLe32(mark + 1, h.delete_stack);
  if (int rc = FileIo(1, fcb, position, mark, sizeof mark)) return SetEngineError(rc);
  const FileHeader before = h;
  h.delete_stack = position;
  if (h.active_count > 0) --h.active_count;
  if (int rc = WriteFileHeader(fcb)) {
    // Not published: the record is still live, with its first bytes back.
    h = before;
    FileIo(1, fcb, position, first_bytes, sizeof first_bytes);
    return SetEngineError(rc);
  }
  // The lock goes under the header lock: the next NewDataRecord (in any
  // process) may hand the record out as soon as the header lock is let go.
  if (CheckRecordLocked(file, kLockWrite, position) == 0) LockRecord(file, kLockUnlock, position);
  return SetEngineError(0);
}

int ReleaseFixedStretch(FileControlBlock* fcb, uint32_t position, uint32_t total) {
  const uint32_t len = fcb->header.record_length;
  if (fcb->header.file_type != kFileTypeFixed) return SetEngineError(48);
  if (len == 0 || total == 0 || total % len != 0) return SetEngineError(30);
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  if (static_cast<uint64_t>(position) + total - 1 > fcb->header.logical_end) return SetEngineError(30);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  FileHeader& h = fcb->header;
  uint32_t below = h.delete_stack;
  for (uint32_t at = position; at < position + total; at += len) {
    uint8_t mark[5];
    mark[0] = kDeletedMark;
    PutLe32(mark + 1, below);
    if (int rc = FileIo(1, fcb, at, mark, sizeof mark)) return SetEngineError(rc);
    below = at;
  }
  const uint32_t old_top = h.delete_stack;
  h.delete_stack = below;
  if (int rc = WriteFileHeader(fcb)) {
    h.delete_stack = old_top;
    return SetEngineError(rc);
  }
  return SetEngineError(0);
}

int ReadDataRecordAt(int file, uint32_t position, void* buffer) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (buffer == nullptr) return SetEngineError(33);
  if (fcb->header.file_type != kFileTypeVariable) {
    if (int rc = CheckRecordPosition(fcb, position)) {
      TakeOptionBits24();  // the request goes with this read all the same
      return SetEngineError(rc);
    }
  }
  RequestedRecordLock lock(file, position);
  if (lock.rc() != 0) return SetEngineError(lock.rc());
  if (fcb->header.file_type == kFileTypeVariable) {
    const int32_t n = ReadVarRecordAt(fcb, position, buffer, 0x7FFFFFFF, false);
    if (n < 0) return -n;
  } else if (int rc = FileIo(0, fcb, position, buffer, fcb->header.record_length)) {
    return SetEngineError(rc);
  }
  lock.Keep();
  return SetEngineError(0);
}

int WriteDataRecordAt(int file, uint32_t position, const void* record) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (record == nullptr) return SetEngineError(33);
  if (fcb->header.file_type == kFileTypeVariable)
    return WriteVarRecordAt(fcb, position, record, fcb->header.record_length);
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  return SetEngineError(FileIo(1, fcb, position, const_cast<void*>(record), fcb->header.record_length));
}

int32_t DataRecordCount(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return -1;
  if (fcb->header.file_type != kFileTypeFixed) return SetEngineError(48), -1;
  if (IsShared(fcb) && fcb->header_lock_depth == 0) ReadFileHeader(fcb);
  SetEngineError(0);
  return static_cast<int32_t>(fcb->header.active_count);
}

}  // namespace isam
