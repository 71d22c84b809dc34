#include "isam/record/record_lock.h"

#include <map>
#include <new>
#include <utility>

#include "isam/index/file_control_block.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"

namespace isam {
namespace {

// One lock this instance holds: its kind and how it was taken (the file
// and position are the table's key, kept in position order per file).
struct RecordLockEntry {
  uint8_t kind = 0;
  uint8_t flags = 0;
};

struct RecordLockTable {
  std::map<std::pair<int16_t, uint32_t>, RecordLockEntry> entries;
  bool enabled = false;
  TransactionState transaction;
};

RecordLockTable* TableOf(EngineInstance* inst, bool create) {
  if (inst == nullptr) return nullptr;
  if (inst->record_locks == nullptr && create) inst->record_locks = new (std::nothrow) RecordLockTable;
  return static_cast<RecordLockTable*>(inst->record_locks);
}

RecordLockTable* Table(bool create = true) { return TableOf(CurrentInstance(), create); }

bool IsWriteKind(int kind) { return kind == kLockWrite || kind == kLockWriteWait; }

uint32_t UnitOf(FileControlBlock* fcb, uint32_t position) {
  const FileControlBlock* holder = HolderOf(fcb);
  return RecordLockUnit(holder->header.file_type, fcb->header.record_length, fcb->header.node_size, position);
}

int OsLock(FileControlBlock* fcb, uint32_t position, bool wait) {
  FileControlBlock* holder = HolderOf(fcb);
  return RecordLock(&holder->os, UnitOf(fcb, position), holder->header.logical_end, wait);
}

int OsUnlock(FileControlBlock* fcb, uint32_t position) {
  return RecordUnlock(&HolderOf(fcb)->os, UnitOf(fcb, position));
}

bool LockingMode(int mode) { return (mode >= 2 && mode <= 4) || (mode >= 11 && mode <= 13); }

}  // namespace

TransactionState* CurrentTransaction() {
  RecordLockTable* t = Table();
  return t ? &t->transaction : nullptr;
}

int LockRecordEntry(int file, int kind, uint32_t position, uint8_t flags) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (kind == kLockUnlockFile) {
    RecordLockTable* t = Table(false);
    if (t == nullptr) return SetEngineError(0);
    for (auto it = t->entries.begin(); it != t->entries.end();) {
      if (it->first.first == file) {
        if (IsWriteKind(it->second.kind)) OsUnlock(fcb, it->first.second);
        it = t->entries.erase(it);
      } else {
        ++it;
      }
    }
    return SetEngineError(0);
  }
  RecordLockTable* t = Table();
  if (t == nullptr) return SetEngineError(113);
  const auto key = std::make_pair(static_cast<int16_t>(file), position);
  auto it = t->entries.find(key);
  if (kind == kLockUnlock) {
    if (it == t->entries.end()) return SetEngineError(41);
    int rc = 0;
    if (IsWriteKind(it->second.kind)) rc = OsUnlock(fcb, position);
    t->entries.erase(it);
    return SetEngineError(rc == 41 ? 0 : rc);
  }
  const TransactionState& tr = t->transaction;
  const uint8_t where = tr.active ? kLockInTransaction : kLockOutsideTransaction;
  if (it != t->entries.end()) {
    it->second.flags |= static_cast<uint8_t>((flags & kLockForSession) | where);
    if (it->second.kind == kind || (IsWriteKind(kind) && IsWriteKind(it->second.kind)) ||
        (!IsWriteKind(kind) && IsWriteKind(it->second.kind)))
      return SetEngineError(0);  // a write lock covers a read lock
    // A read lock becomes a write lock.
    if (!(flags & kLockAlreadyHeld)) {
      if (int rc = OsLock(fcb, position, kind == kLockWriteWait)) return SetEngineError(rc);
    }
    it->second.kind = static_cast<uint8_t>(kind);
    return SetEngineError(0);
  }
  if (IsWriteKind(kind) && !(flags & kLockAlreadyHeld)) {
    if (int rc = OsLock(fcb, position, kind == kLockWriteWait)) return SetEngineError(rc);
  }
  RecordLockEntry e;
  e.kind = static_cast<uint8_t>(kind);
  e.flags = static_cast<uint8_t>((flags & kLockForSession) | where);
  t->entries.emplace(key, e);
  return SetEngineError(0);
}

int LockRecord(int file, int kind, uint32_t position) { return LockRecordEntry(file, kind, position, 0); }

int CheckRecordLocked(int file, int kind, uint32_t position) {
  RecordLockTable* t = Table(false);
  if (t != nullptr) {
    auto it = t->entries.find(std::make_pair(static_cast<int16_t>(file), position));
    if (it != t->entries.end()) {
      if (it->second.kind == kind || (IsWriteKind(kind) && IsWriteKind(it->second.kind))) return 0;
    }
  }
  return 57;
}

bool RecordLocksRequired(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr || !IsShared(fcb)) return false;
  const int mode = CurrentLockMode();
  return mode != 0 && mode != 5;
}

int RecordLockCount(int file) {
  RecordLockTable* t = Table(false);
  if (t == nullptr) return 0;
  int n = 0;
  for (const auto& e : t->entries)
    if (file < 0 || e.first.first == file) ++n;
  return n;
}

void ReleaseRecordLocks(uint8_t mask) { ReleaseRecordLocksWhere(mask, 0); }

void ReleaseRecordLocksWhere(uint8_t mask, uint8_t keep) {
  RecordLockTable* t = Table(false);
  if (t == nullptr) return;
  for (auto it = t->entries.begin(); it != t->entries.end();) {
    if ((mask == 0 || (it->second.flags & mask)) && !(it->second.flags & keep)) {
      FileControlBlock* fcb = CheckFileNumber(it->first.first);
      if (fcb != nullptr && IsWriteKind(it->second.kind)) OsUnlock(fcb, it->first.second);
      it = t->entries.erase(it);
    } else {
      ++it;
    }
  }
  SetEngineError(0);
}

void ForgetFileLocks(int file) {
  RecordLockTable* t = Table(false);
  if (t == nullptr) return;
  for (auto it = t->entries.begin(); it != t->entries.end();)
    it = it->first.first == file ? t->entries.erase(it) : std::next(it);
}

int CurrentLockMode() {
  EngineInstance* inst = CurrentInstance();
  return inst ? inst->lock_mode : 0;
}

void EnableRecordLocking(bool on) {
  if (RecordLockTable* t = Table()) t->enabled = on;
}

bool RecordLockingEnabled() {
  RecordLockTable* t = Table(false);
  return t != nullptr && t->enabled;
}

int IsamSetLockMode(int mode) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return 129;
  if (!RecordLockingEnabled()) return SetIsamError(464, 0);
  const int current = inst->lock_mode;
  if (mode == 128) {
    SetIsamError(0, 0);
    return -current;
  }
  auto set = [&](int m) {
    inst->lock_mode = static_cast<int16_t>(m);
    return SetIsamError(0, 0);
  };
  if ((mode >= 2 && mode <= 4) || mode == 11) {
    if (LockingMode(current)) return set(mode);
  } else if (mode == 5) {
    if (!LockingMode(current)) return SetIsamError(116, 0);
    return set(5);
  } else if (mode == 6 || mode == 7 || mode == 8 || mode == 14) {
    if (current != 5) return SetIsamError(0, 0);  // nothing to resume
    return set(mode == 6 ? 2 : mode == 7 ? 4 : mode == 8 ? 3 : 11);
  } else if (mode != 0 && mode != 1 && mode != 12 && mode != 13) {
    return SetIsamError(116, 0);
  }
  const uint8_t held = kLockForSession | kLockInTransaction;
  if (mode == 0 || mode == 1) {
    ReleaseRecordLocks(held);
  } else if (RecordLockTable* t = Table(false)) {
    for (const auto& e : t->entries)
      if (e.second.flags & held) return SetIsamError(112, 0);
  }
  if (mode == 1) return set(current == 0 ? 2 : current);
  return set(mode);
}

int IsamLockCurrent(int file, uint32_t position, bool new_record) {
  const int mode = CurrentLockMode();
  if (mode == 0 || mode == 5) return 0;
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (!IsShared(fcb)) return 0;
  int kind = mode;
  if (new_record) kind = kLockWrite;
  else if (mode == 11 || mode == 12 || mode == 13) kind = kLockRead;
  return LockRecordEntry(file, kind, position, kLockForSession);
}

RequestedRecordLock::RequestedRecordLock(int file, uint32_t position) : file_(file), position_(position) {
  const uint32_t request = TakeOptionBits24();
  if (request == 0 || CheckRecordLocked(file, kLockWrite, position) == 0) return;
  rc_ = LockRecordEntry(file, (request & 0x20) ? kLockWriteWait : kLockWrite, position, 0);
  taken_ = rc_ == 0;
}

RequestedRecordLock::~RequestedRecordLock() {
  if (!taken_) return;
  EngineInstance* inst = CurrentInstance();
  const int16_t keep = inst != nullptr ? inst->eng_err : 0;
  LockRecord(file_, kLockUnlock, position_);
  if (inst != nullptr) inst->eng_err = keep;  // the read's code stands
}

void FreeRecordLockTable(EngineInstance* inst) {
  delete TableOf(inst, false);
  if (inst != nullptr) inst->record_locks = nullptr;
}

}  // namespace isam
