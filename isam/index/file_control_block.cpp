#include "isam/index/file_control_block.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_state_hooks.h"
#include "isam/index/member_files.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {
namespace {

// Lock bytes lie just below 4 GB; a file may never grow into them.
constexpr uint32_t kHighestFileEnd = 0xEFFFFFFFu;

bool KnownState(char s) {
  return s == kStateFree || s == kStateOpen || s == kStateVirtual || s == kStateTransitional ||
         s == kStateReservedMember || s == kStateRebuild;
}

bool OpenState(char s) { return s == kStateOpen || s == kStateVirtual || s == kStateTransitional; }

// The lock that stands for a file's header: a node lock on the member's
// header unit for an index, a waiting record lock on the header position for
// a data file.
int TakeHeaderLock(FileControlBlock* fcb) {
  FileControlBlock* holder = HolderOf(fcb);
  const FileHeader& h = holder->header;
  uint32_t member_unit = 0;
  if (SuperfileHeaderLockUnit(fcb, &member_unit)) return NodeLock(&holder->os, member_unit, h.logical_end);
  if (h.file_type == kFileTypeIndex) {
    const uint32_t unit = NodeLockUnit(h.file_type, h.node_size, fcb->header_position + 12,
                                       fcb->header.member_number);
    return NodeLock(&holder->os, unit, h.logical_end);
  }
  const uint32_t unit = RecordLockUnit(h.file_type, h.record_length, h.node_size, fcb->header_position);
  return RecordLock(&holder->os, unit, h.logical_end, true);
}

int ReleaseHeaderLock(FileControlBlock* fcb) {
  FileControlBlock* holder = HolderOf(fcb);
  const FileHeader& h = holder->header;
  uint32_t member_unit = 0;
  if (SuperfileHeaderLockUnit(fcb, &member_unit)) return NodeUnlock(&holder->os, member_unit);
  if (h.file_type == kFileTypeIndex) {
    const uint32_t unit = NodeLockUnit(h.file_type, h.node_size, fcb->header_position + 12,
                                       fcb->header.member_number);
    return NodeUnlock(&holder->os, unit);
  }
  const uint32_t unit = RecordLockUnit(h.file_type, h.record_length, h.node_size, fcb->header_position);
  return RecordUnlock(&holder->os, unit);
}

}  // namespace

int GrowFileTable(int number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return SetEngineError(47);
  if (number < 0 || number >= inst->file_count || number >= kFileTableMax) return SetEngineError(22);
  if (number < inst->files_allocated) return 0;
  int size = (number / kFileTableStep + 1) * kFileTableStep;
  size = std::min(size, std::min<int>(kFileTableMax, inst->file_count));
  auto** table = new (std::nothrow) FileControlBlock*[static_cast<std::size_t>(size)];
  if (table == nullptr) return SetEngineError(603);
  std::fill(table, table + size, nullptr);
  if (inst->files != nullptr) {
    std::copy(inst->files, inst->files + inst->files_allocated, table);
    delete[] inst->files;
  }
  inst->files = table;
  inst->files_allocated = static_cast<int16_t>(size);
  return 0;
}

namespace {

// The instance whose file table may hold `number`: null with eng_err 47
// before the engine start, 22 for a number outside the file count.
EngineInstance* TableFor(int number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return SetEngineError(47), nullptr;
  if (number < 0 || number >= inst->file_count) return SetEngineError(22), nullptr;
  return inst;
}

}  // namespace

FileControlBlock* GetFileControlBlock(int number) {
  EngineInstance* inst = TableFor(number);
  if (inst == nullptr) return nullptr;
  if (number >= inst->files_allocated && GrowFileTable(number) != 0) return nullptr;
  FileControlBlock*& slot = inst->files[number];
  if (slot == nullptr) {
    slot = new (std::nothrow) FileControlBlock;
    if (slot == nullptr) {
      SetEngineError(603);
      return nullptr;
    }
    slot->number = static_cast<int16_t>(number);
    slot->os.owner = slot;
  }
  return slot;
}

FileControlBlock* CheckFileNumber(int number) {
  EngineInstance* inst = TableFor(number);
  if (inst == nullptr) return nullptr;
  FileControlBlock* fcb = number < inst->files_allocated ? inst->files[number] : nullptr;
  if (fcb == nullptr) {
    SetEngineError(26);
    return nullptr;
  }
  if (!KnownState(fcb->state)) {
    EngineFatalError(222);  // our own memory is broken
    SetEngineError(26);
    return nullptr;
  }
  if (!OpenState(fcb->state)) {
    SetEngineError(26);
    return nullptr;
  }
  return fcb;
}

int FileNumberState(int number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return 47;
  if (number < 0 || number >= inst->file_count) return 22;
  if (number >= inst->files_allocated || inst->files[number] == nullptr) return 0;
  return inst->files[number]->state == kStateFree ? 0 : 46;
}

int FindFreeFileNumbers(int count) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) {
    SetIsamError(47, 0);
    return -1;
  }
  if (count < 1) count = 1;
  for (int pass = 0; pass < 2; ++pass) {
    const int limit = pass == 0 ? inst->files_allocated : inst->file_count;
    for (int n = 0; n + count <= limit; ++n) {
      bool free = true;
      for (int i = n; i < n + count && free; ++i) free = FileNumberState(i) == 0;
      if (free) {
        if (n + count > inst->files_allocated && GrowFileTable(n + count - 1) != 0) break;
        return n;
      }
    }
  }
  SetIsamError(46, 0);
  return -1;
}

int FindOpenFileByName(const char* name) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr || name == nullptr) return -1;
  for (int n = 0; n < inst->files_allocated; ++n) {
    const FileControlBlock* f = inst->files[n];
    if (f != nullptr && OpenState(f->state) && f->header.member_number == 0 &&
        CompareFileNames(f->name, name) == 0)
      return n;
  }
  return -1;
}

int ReadFileHeader(FileControlBlock* fcb) {
  uint8_t raw[kFileHeaderSize];
  int32_t count = 0;
  // Under the header lock no other opener can be writing the header (every
  // header write is made under that lock): the read needs no range lock.
  const int rc = fcb->header_lock_depth > 0
                     ? FilePositionedReadHeld(&HolderOf(fcb)->os, fcb->header_position, raw,
                                              static_cast<int32_t>(kFileHeaderSize), &count)
                     : FilePositionedIo(0, &HolderOf(fcb)->os, fcb->header_position, raw,
                                        static_cast<int32_t>(kFileHeaderSize), &count);
  if (rc != 0) return SetEngineError(rc);
  if (count != static_cast<int32_t>(kFileHeaderSize)) return SetEngineError(36);
  const uint16_t mode = fcb->header.open_mode;
  DecodeFileHeader(raw, &fcb->header);
  fcb->disk_header = fcb->header;
  fcb->disk_header_known = true;
  if (fcb->state != kStateFree) fcb->header.open_mode = mode;  // ours, not the last writer's
  CoverMemberWithHost(fcb);
  return 0;
}

int WriteFileHeader(FileControlBlock* fcb) {
  FileHeader next = fcb->header;
  ++next.write_count;
  uint8_t raw[kFileHeaderSize];
  EncodeFileHeader(next, raw);
  int32_t count = 0;
  const int rc = FilePositionedIo(1, &HolderOf(fcb)->os, fcb->header_position, raw,
                                  static_cast<int32_t>(kFileHeaderSize), &count);
  if (rc == 0) {
    fcb->header = next;
    fcb->disk_header = next;
    fcb->disk_header_known = true;
    return 0;
  }
  if (fcb->disk_header_known) {
    const uint16_t mode = fcb->header.open_mode;
    fcb->header = fcb->disk_header;
    fcb->header.open_mode = mode;
    CoverMemberWithHost(fcb);
    // A write cut short leaves half a new header; the old one goes back.
    // Not for a shared file without the lock: another opener may have
    // written since.
    if (fcb->header_lock_depth > 0 || !IsShared(fcb)) {
      EncodeFileHeader(fcb->disk_header, raw);
      FilePositionedIo(1, &HolderOf(fcb)->os, fcb->header_position, raw, static_cast<int32_t>(kFileHeaderSize),
                       &count);
    }
  }
  return SetEngineError(rc);
}

int WriteHeaderStart(FileControlBlock* fcb) {
  uint8_t raw[kFileHeaderSize];
  EncodeFileHeader(fcb->header, raw);
  constexpr int32_t kStart = 12;
  int32_t count = 0;
  if (int rc = FilePositionedIo(1, &HolderOf(fcb)->os, fcb->header_position, raw, kStart, &count))
    return SetEngineError(rc);
  return 0;
}

int LockFileHeader(FileControlBlock* fcb) {
  if (fcb->header_lock_depth++ > 0) return 0;
  if (int rc = TakeHeaderLock(fcb)) {
    fcb->header_lock_depth = 0;
    return SetEngineError(rc);
  }
  if (IsShared(fcb) || (fcb->header.open_mode & kModeReadOnly)) {
    if (int rc = ReadFileHeader(fcb)) {
      ReleaseHeaderLock(fcb);
      fcb->header_lock_depth = 0;
      return rc;
    }
  }
  return 0;
}

int UnlockFileHeader(FileControlBlock* fcb) {
  if (fcb->header_lock_depth <= 0) return 0;
  if (--fcb->header_lock_depth > 0) return 0;
  if (int rc = ReleaseHeaderLock(fcb)) return SetEngineError(rc);
  return 0;
}

namespace {

// Stamps the new space of a variable-length file as one claimed stretch.
int StampNewStretch(FileControlBlock* holder, uint64_t start, uint64_t end, uint32_t member) {
  VarRecordHeader stretch;
  stretch.mark = kMarkActive;
  stretch.total = static_cast<uint32_t>(end - start + 1);
  stretch.member = member;
  return WriteVarRecordHeader(holder, static_cast<uint32_t>(start), stretch);
}

uint32_t ExtendOwnSpace(FileControlBlock* holder, uint32_t bytes, uint32_t alignment, uint32_t member,
                        bool publish = true) {
  if (LockFileHeader(holder) != 0) return 0;
  FileHeader& h = holder->header;
  uint64_t start = static_cast<uint64_t>(h.logical_end) + 1;
  if (alignment > 1) start = (start + alignment - 1) / alignment * alignment;
  const uint64_t end = start + bytes - 1;
  if (bytes == 0 || end > kHighestFileEnd || end < h.logical_end) {
    UnlockFileHeader(holder);
    SetEngineError(39);
    return 0;
  }
  if (end > h.physical_end) {
    uint64_t physical = end;
    if (h.extension_size > 0) {
      const uint64_t grow = end - h.physical_end;
      const uint64_t steps = (grow + h.extension_size - 1) / h.extension_size;
      physical = std::min<uint64_t>(h.physical_end + steps * h.extension_size, kHighestFileEnd);
    }
    EngineInstance* inst = CurrentInstance();
    uint8_t local[512];
    uint8_t* fill = inst != nullptr && inst->scratch != nullptr ? inst->scratch : local;
    const uint32_t chunk = inst != nullptr && inst->scratch != nullptr
                               ? static_cast<uint32_t>(inst->scratch_size) : sizeof local;
    if (fill == local) std::memset(local, 0xFF, sizeof local);
    for (uint64_t at = static_cast<uint64_t>(h.physical_end) + 1; at <= physical;) {
      const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(chunk, physical - at + 1));
      int32_t count = 0;
      if (int rc = FilePositionedIo(1, &holder->os, static_cast<uint32_t>(at), fill,
                                    static_cast<int32_t>(n), &count)) {
        UnlockFileHeader(holder);
        SetEngineError(rc);
        return 0;
      }
      at += n;
    }
    // The grown file reaches the disk before anything is placed in it; a
    // flush that fails fails the claim (as a failed fill write would).
    if (!(h.open_mode & kModeTransaction2)) {
      if (int rc = OsFlushFile(&holder->os)) {
        UnlockFileHeader(holder);
        SetEngineError(rc);
        return 0;
      }
    }
    h.physical_end = static_cast<uint32_t>(physical);
  }
  // The stretch header first, the end that covers it second.
  if (h.file_type == kFileTypeVariable && start == static_cast<uint64_t>(h.logical_end) + 1 &&
      bytes >= VarHeaderLength(holder)) {
    if (int rc = StampNewStretch(holder, start, end, member)) {
      UnlockFileHeader(holder);
      SetEngineError(rc);
      return 0;
    }
  }
  h.logical_end = static_cast<uint32_t>(end);
  const int rc = publish ? WriteFileHeader(holder) : 0;
  UnlockFileHeader(holder);
  if (rc != 0) return 0;
  return static_cast<uint32_t>(start);
}

}  // namespace

uint32_t ExtendFile(FileControlBlock* fcb, uint32_t bytes, uint32_t alignment) {
  FileControlBlock* holder = HolderOf(fcb);
  if (InSuperfile(holder)) return CurrentMemberHooks().extend_member_space(holder, bytes);  // space is the host's
  return ExtendOwnSpace(holder, bytes, alignment, holder->header.superfile_member);
}

uint32_t ExtendFileForHeaderWrite(FileControlBlock* fcb, uint32_t bytes, uint32_t alignment) {
  FileControlBlock* holder = HolderOf(fcb);
  // Without the caller's lock another opener could hand out the same space
  // before the caller's header write; a member's space is the host's, whose
  // header the caller does not write.
  const bool defer = holder == fcb && holder->header_lock_depth > 0 && !InSuperfile(holder);
  if (!defer) return ExtendFile(fcb, bytes, alignment);
  return ExtendOwnSpace(holder, bytes, alignment, holder->header.superfile_member, false);
}

uint32_t ExtendHostFor(FileControlBlock* host, uint32_t bytes, uint32_t member) {
  return ExtendOwnSpace(HolderOf(host), bytes, 1, member);
}

int UpdateAllowed(const FileControlBlock* fcb) {
  if (fcb->header.open_mode & kModeReadOnly) return 54;
  if (HolderOf(const_cast<FileControlBlock*>(fcb))->updates_blocked) return 121;
  // A file kept for transaction processing takes changes only inside a
  // transaction.
  // A rebuild changes such a file outside any transaction.
  const EngineInstance* inst = CurrentInstance();
  if ((fcb->header.kept_mode & kModeTransaction) && !CurrentFileStateHooks().transaction_active() &&
      !(inst != nullptr && inst->rebuild_mode))
    return 99;
  return 0;
}

uint32_t CurrentSerialNumber(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  EngineInstance* inst = CurrentInstance();
  if (!(inst->option_word & 0x80000)) {
    if (IsShared(fcb) && ReadFileHeader(fcb) != 0) return 0;
    SetEngineError(0);
    return fcb->header.serial_counter;
  }
  if (int rc = UpdateAllowed(fcb)) {
    SetEngineError(rc);
    return 0;
  }
  if (LockFileHeader(fcb) != 0) return 0;
  if (fcb->header.serial_counter == 0xFFFFFFFFu) {
    UnlockFileHeader(fcb);
    SetEngineError(44);
    return 0;
  }
  const uint32_t next = ++fcb->header.serial_counter;
  const int rc = WriteFileHeader(fcb);
  UnlockFileHeader(fcb);
  if (rc != 0) {
    SetEngineError(44);
    return 0;
  }
  SetEngineError(0);
  return next;
}

NodeLayout LayoutOfIndex(const FileHeader& h) {
  NodeLayout l;
  l.node_size = h.node_size;
  l.key_length = h.key_length;
  l.key_type = static_cast<uint8_t>(h.key_type & (kKeyLeadingCompression | kKeyTrailingCompression));
  l.duplicates = h.duplicates != 0;
  l.pad = static_cast<uint8_t>(h.padding);
  l.leaf_key_bytes = h.key_bytes;
  l.leaf_limit = h.leaf_limit;
  l.member = static_cast<uint8_t>(h.member_number);
  return l;
}

int CheckIndexGeometry(const FileHeader& h) {
  if (h.node_size < 128 || h.node_size % 128 != 0) return kErrFileDamaged;
  if (h.key_length == 0 || h.key_length >= 256) return kErrFileDamaged;
  if (h.duplicates != 0 && h.key_length <= 4) return kErrFileDamaged;
  const NodeLayout l = LayoutOfIndex(h);
  const int usable = h.node_size - static_cast<int>(kNodeHeaderSize);
  if (h.key_bytes + h.key_length > usable) return kErrFileDamaged;
  if (h.key_bytes < l.MaxEntrySize(true)) return kErrFileDamaged;
  if (h.leaf_limit < 2 || h.leaf_limit > h.node_size / 4) return kErrFileDamaged;
  if (usable / l.MaxEntrySize(false) < 3) return kErrFileDamaged;
  return 0;
}

}  // namespace isam
