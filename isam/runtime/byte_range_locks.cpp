// Node, record and raw range locks over the platform's byte locks.
#include "isam/runtime/byte_range_locks.h"

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/thread_layer.h"
#include "platform/byte_lock.h"
#include "platform/os_file.h"

namespace isam {

namespace {

LockWaitPolicy g_policy;

int KeepOsError(int code);

// Up to tries attempts, pausing between them while the range is busy.
int TryLock(platform::OsFile* handle, uint32_t offset, uint32_t length, int tries) {
  for (int i = 0; i < tries; ++i) {
    if (platform::LockOsFileRange(handle, offset, length)) return 0;
    int e = platform::LastFileError();
    if (e != platform::kFileLockViolation) return KeepOsError(e);
    if (i + 1 < tries) EngineSleep(g_policy.pause_ms);
  }
  return KeepOsError(platform::kFileLockViolation);
}

int KeepOsError(int code) {
  EngineInstance* inst = CurrentInstance();
  if (inst) inst->os_error = static_cast<int16_t>(code);
  return code;
}

// The OS file whose handle carries the locks; null when it cannot be opened.
EngineOsFile* LockHolder(EngineOsFile* file) {
  EngineOsFile* target = file->host ? file->host : file;
  if (OsEnsureOpen(target) != kEngOk || target->handle == nullptr) return nullptr;
  return target;
}

int Lock(EngineOsFile* file, uint32_t unit, uint32_t logical_end, bool wait, int busy) {
  if (!TakesLocks(file)) return kEngOk;
  const uint32_t byte = LockByteOfUnit(unit);
  if (byte <= logical_end) return kEngLockByteInData;
  EngineOsFile* holder = LockHolder(file);
  if (holder == nullptr) return busy;
  if (LockFileRange(holder->handle, byte, 1, wait ? kLockWait : kLockTry) != 0) return busy;
  holder->lock_count += 1;
  return kEngOk;
}

int Unlock(EngineOsFile* file, uint32_t unit, int failed) {
  if (!TakesLocks(file)) return kEngOk;
  EngineOsFile* holder = file->host ? file->host : file;
  if (holder->handle == nullptr) return failed;
  if (LockFileRange(holder->handle, LockByteOfUnit(unit), 1, kLockRelease) != 0) return failed;
  holder->lock_count -= 1;
  return kEngOk;
}

}  // namespace

uint32_t NodeLockUnit(int holder_type, uint32_t node_size, uint32_t position, int header_member) {
  if (holder_type == kFileTypeVariable) return position / 10;
  if (header_member >= 0) return static_cast<uint32_t>(header_member);
  if (node_size == 0) return 32;
  return position / node_size + 32;
}

uint32_t RecordLockUnit(int holder_type, uint32_t record_length, uint32_t node_size,
                        uint32_t position) {
  uint32_t divisor = holder_type == kFileTypeFixed   ? record_length
                     : holder_type == kFileTypeIndex ? node_size
                                                     : 10u;
  return divisor == 0 ? 0 : position / divisor;
}

LockWaitPolicy GetLockWaitPolicy() { return g_policy; }
void SetLockWaitPolicy(const LockWaitPolicy& policy) { g_policy = policy; }

int LockFileRange(platform::OsFile* handle, uint32_t offset, uint32_t length, int type) {
  switch (type) {
    case kLockWait:
    case kLockTry: {
      return TryLock(handle, offset, length, type == kLockTry ? 1 : g_policy.lock_tries);
    }
    case kLockRelease:
      if (platform::UnlockOsFileRange(handle, offset, length)) return 0;
      return KeepOsError(platform::LastFileError());
    default:
      EngineFatalError(kFatalBadLockType);
      return platform::kFileOtherError;
  }
}

int LockIoRange(platform::OsFile* handle, uint32_t offset, uint32_t length) {
  return TryLock(handle, offset, length, g_policy.io_tries);
}

bool TakesLocks(const EngineOsFile* file) { return (file->mode & (kModeShared | kModeReadOnly)) != 0; }

int NodeLock(EngineOsFile* file, uint32_t unit, uint32_t logical_end) {
  return Lock(file, unit, logical_end, true, kEngNodeLocked);
}

int NodeUnlock(EngineOsFile* file, uint32_t unit) { return Unlock(file, unit, kEngNodeUnlockFailed); }

int RecordLock(EngineOsFile* file, uint32_t unit, uint32_t logical_end, bool wait) {
  return Lock(file, unit, logical_end, wait, kEngRecordLocked);
}

int RecordUnlock(EngineOsFile* file, uint32_t unit) {
  return Unlock(file, unit, kEngRecordUnlockFailed);
}

}  // namespace isam
