#include "isam/fixed_record.h"

#include <vector>

#include "isam/header_lock.h"
#include "isam/btree_bytes.h"
#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/record_lock.h"
#include "isam/varlen_record.h"

namespace isam {
namespace {

constexpr uint8_t kDeletedMark = 0xFF;

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
  uint32_t position = h.delete_stack;
  if (position != 0) {
    if (CheckRecordPosition(fcb, position) != 0) return SetEngineError(31), 0;
    uint8_t top[5];
    if (int rc = FileIo(0, fcb, position, top, sizeof top)) return SetEngineError(rc), 0;
    if (top[0] != kDeletedMark) return SetEngineError(31), 0;
    const uint32_t next = GetLe32(top + 1);
    if (next == position) return SetEngineError(31), 0;  // a stack that points at itself
    h.delete_stack = next;
  } else {
    position = ExtendFile(fcb, h.record_length, h.record_length);
    if (position == 0) return 0;
  }
  ++h.serial_counter;
  ++h.active_count;
  if (WriteFileHeader(fcb) != 0) return SetEngineError(44), 0;
  SetEngineError(0);
  return position;
}

int ReleaseDataRecord(int file, uint32_t position) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (fcb->header.file_type != kFileTypeFixed) return SetEngineError(48);
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, position) != 0)
    return SetEngineError(57);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  FileHeader& h = fcb->header;
  uint8_t first = 0;
  if (int rc = FileIo(0, fcb, position, &first, 1)) return SetEngineError(rc);
  // A record deleted before, on top of the stack or below it: pushing it
  // again would make the stack a cycle that hands the slot out twice.
  if (position == h.delete_stack || first == kDeletedMark) return SetEngineError(32);
  uint8_t mark[5];
  mark[0] = kDeletedMark;
  PutLe32(mark + 1, h.delete_stack);
  if (int rc = FileIo(1, fcb, position, mark, sizeof mark)) return SetEngineError(rc);
  h.delete_stack = position;
  if (h.active_count > 0) --h.active_count;
  // Unlocked under the header lock, before the new top is published: the
  // next NewDataRecord (in any process) may hand it out at once.
  if (CheckRecordLocked(file, kLockWrite, position) == 0) LockRecord(file, kLockUnlock, position);
  if (int rc = WriteFileHeader(fcb)) return SetEngineError(rc);
  return SetEngineError(0);
}

int ReadDataRecordAt(int file, uint32_t position, void* buffer) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (buffer == nullptr) return SetEngineError(33);
  if (fcb->header.file_type == kFileTypeVariable) {
    const int32_t n = ReadVarRecordAt(fcb, position, buffer, 0x7FFFFFFF, false);
    return n < 0 ? -n : 0;
  }
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  return SetEngineError(FileIo(0, fcb, position, buffer, fcb->header.record_length));
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
