// The OS file layer and its handle budget.
//
// Files opened without "kept open" are listed oldest-use first. When the
// budget is reached, or the system runs out of handles, the oldest file
// that holds no byte-range lock gives its handle back (flushed first) and
// becomes virtually closed: still open for the engine, reopened by name
// and mode on its next use. A file holding locks is never closed that way,
// since closing the handle would drop its locks.
#include "isam/runtime/os_file_layer.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/status_log.h"
#include "isam/runtime/thread_layer.h"
#include "platform/byte_lock.h"
#include "platform/os_file.h"

namespace isam {

namespace {

void KeepOsError(int code) {
  EngineInstance* inst = CurrentInstance();
  if (inst) inst->os_error = static_cast<int16_t>(code);
}

platform::FileShare ShareOf(uint16_t mode) {
  if (mode & kModeShared) return platform::FileShare::kShared;
  if (mode & kModeReadOnly) return platform::FileShare::kReadOnly;
  return platform::FileShare::kExclusive;
}

void ListUnlink(EngineInstance* inst, EngineOsFile* f) {
  if (!f->counted) return;
  if (f->lru_older) f->lru_older->lru_newer = f->lru_newer;
  if (f->lru_newer) f->lru_newer->lru_older = f->lru_older;
  if (inst->lru_oldest == f) inst->lru_oldest = f->lru_newer;
  if (inst->lru_newest == f) inst->lru_newest = f->lru_older;
  f->lru_older = f->lru_newer = nullptr;
  f->counted = false;
  inst->os_files_counted -= 1;
}

void ListAppend(EngineInstance* inst, EngineOsFile* f) {
  f->lru_older = inst->lru_newest;
  f->lru_newer = nullptr;
  if (inst->lru_newest) inst->lru_newest->lru_newer = f;
  inst->lru_newest = f;
  if (inst->lru_oldest == nullptr) inst->lru_oldest = f;
  f->counted = true;
  inst->os_files_counted += 1;
}

// Gives back handles until one more file fits the budget.
void MakeRoom(EngineInstance* inst) {
  if (inst == nullptr || inst->os_file_limit <= 0) return;
  while (inst->os_files_counted >= inst->os_file_limit) {
    if (!ReleaseOneHandle()) return;
  }
}

platform::OsFile* OpenWithRetry(const char* name, uint16_t mode, platform::FileDisposition how) {
  EngineInstance* inst = CurrentInstance();
  if (!(mode & kModeKeptOpen)) MakeRoom(inst);
  platform::OsFile* h = platform::OpenOsFile(name, ShareOf(mode), how);
  if (h == nullptr) {
    int e = platform::LastFileError();
    if ((e == platform::kFileTooManyOpen || e == platform::kFileTooManySystem) && ReleaseOneHandle()) {
      h = platform::OpenOsFile(name, ShareOf(mode), how);
    }
  }
  if (h == nullptr) KeepOsError(platform::LastFileError());
  return h;
}

int OpenMember(EngineOsFile* f, uint16_t mode) {
  EngineOsFile* host = f->host;
  f->member_slot = -1;
  if (!TakesLocks(host)) {
    // The host is ours alone: no other process can reach the member.
    f->is_open = true;
    return kEngOk;
  }
  if (OsEnsureOpen(host) != kEngOk || host->handle == nullptr) return kEngOpenFailed;
  const uint32_t member = static_cast<uint16_t>(f->member_number);
  if (mode & (kModeShared | kModeReadOnly)) {
    for (uint32_t i = 0; i < 256; ++i) {
      if (LockFileRange(host->handle, MemberSlotByte(member, i), 1, kLockTry) == 0) {
        f->member_slot = static_cast<int16_t>(i);
        host->lock_count += 1;
        f->is_open = true;
        return kEngOk;
      }
    }
    return kEngOpenFailed;
  }
  if (LockFileRange(host->handle, MemberSlotByte(member, 0), 256, kLockTry) != 0) return kEngOpenFailed;
  f->member_slot = -2;
  host->lock_count += 1;
  f->is_open = true;
  return kEngOk;
}

int OpenCommon(EngineOsFile* f, const char* name, uint16_t mode, platform::FileDisposition how) {
  f->mode = mode;
  CopyBoundedString(f->name, name, sizeof f->name);
  f->virtually_closed = false;
  f->lock_count = 0;
  if (f->host != nullptr) return OpenMember(f, mode);
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr && inst->path_mode == 3) {
    int rc = AddDirectoryPrefix(f->name);
    if (rc != kEngOk) return how == platform::FileDisposition::kCreateNew ? kEngCreateFailed : kEngOpenFailed;
  }
  platform::OsFile* h = OpenWithRetry(f->name, mode, how);
  if (h == nullptr) {
    if (how == platform::FileDisposition::kOpenExisting) return kEngOpenFailed;
    return platform::LastFileError() == platform::kFileExists ? kEngFileExists : kEngCreateFailed;
  }
  f->handle = h;
  f->is_open = true;
  if (inst != nullptr && !(mode & kModeKeptOpen)) ListAppend(inst, f);
  return kEngOk;
}

// The step locks this thread holds, and the depth of its open steps.
constexpr int kMaxIoSteps = 16;
thread_local EngineOsFile* t_step_files[kMaxIoSteps];
thread_local int t_step_count = 0;
thread_local int t_step_depth = 0;

void ForgetStep(EngineOsFile* f) {
  for (int i = 0; i < t_step_count; ++i) {
    if (t_step_files[i] != f) continue;
    t_step_files[i] = t_step_files[--t_step_count];
    break;
  }
  if (f->io_step_held) f->lock_count -= 1;
  f->io_step_held = false;
}

// Unlocks a step's range; one that will not go (an OS failure) is kept and
// tried again at the next release.
void LetStepGo(EngineOsFile* f) {
  if (!f->io_step_held) return;
  if (f->handle != nullptr && LockFileRange(f->handle, 0, kIoStepEnd, kLockRelease) != 0) return;
  ForgetStep(f);
}

// One try for the step lock of a file: false when it is not to be had now.
bool TakeStep(EngineOsFile* f) {
  if (t_step_count == kMaxIoSteps || f->handle == nullptr) return false;
  if (LockFileRange(f->handle, 0, kIoStepEnd, kLockTry) != 0) {
    // Someone's transfer is under way: the caller waits for its own range,
    // and no step lock of ours may hold anyone up meanwhile.
    ReleaseIoSteps();
    return false;
  }
  f->io_step_held = true;
  f->io_step_uses = 0;
  f->lock_count += 1;
  t_step_files[t_step_count++] = f;
  return true;
}

}  // namespace

void BeginIoStep() { ++t_step_depth; }

void EndIoStep() {
  if (t_step_depth > 0 && --t_step_depth == 0) ReleaseIoSteps();
}

void ReleaseIoSteps() {
  for (int i = t_step_count - 1; i >= 0; --i) {
    if (i < t_step_count) LetStepGo(t_step_files[i]);
  }
}

int OsOpenFile(EngineOsFile* file, const char* name, uint16_t mode) {
  return OpenCommon(file, name, mode, platform::FileDisposition::kOpenExisting);
}

int OsCreateFile(EngineOsFile* file, const char* name, uint16_t mode) {
  return OpenCommon(file, name, mode, platform::FileDisposition::kCreateNew);
}

namespace {

// Tries the slot bytes [from, to) of a member: true when all were free
// (they are given back at once).
bool SlotsFree(EngineOsFile* host, uint32_t member, uint32_t from, uint32_t to) {
  if (from >= to) return true;
  if (LockFileRange(host->handle, MemberSlotByte(member, from), to - from, kLockTry) != 0) return false;
  LockFileRange(host->handle, MemberSlotByte(member, from), to - from, kLockRelease);
  return true;
}

}  // namespace

bool OsOthersHoldFile(EngineOsFile* file) {
  if (file->host == nullptr) return (file->mode & kModeShared) != 0;
  EngineOsFile* host = file->host;
  if (!TakesLocks(host) || file->member_slot == -2) return false;
  if (file->member_slot < 0 || OsEnsureOpen(host) != kEngOk || host->handle == nullptr) return true;
  const uint32_t member = static_cast<uint16_t>(file->member_number);
  const uint32_t mine = static_cast<uint32_t>(file->member_slot);
  return !SlotsFree(host, member, 0, mine) || !SlotsFree(host, member, mine + 1, 256);
}

int OsCloseFile(EngineOsFile* file) {
  if (file->host != nullptr) {
    EngineOsFile* host = file->host;
    const uint32_t member = static_cast<uint16_t>(file->member_number);
    if (file->member_slot >= 0 && host->handle != nullptr) {
      if (LockFileRange(host->handle, MemberSlotByte(member, file->member_slot), 1, kLockRelease) == 0) {
        host->lock_count -= 1;
      }
    } else if (file->member_slot == -2 && host->handle != nullptr) {
      if (LockFileRange(host->handle, MemberSlotByte(member, 0), 256, kLockRelease) == 0) {
        host->lock_count -= 1;
      }
    }
    file->member_slot = -1;
    file->is_open = false;
    return kEngOk;
  }
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr) ListUnlink(inst, file);
  ForgetStep(file);  // the handle's locks go with it
  if (file->handle != nullptr) {
    if (!platform::CloseOsFile(file->handle)) KeepOsError(platform::LastFileError());
  }
  file->handle = nullptr;
  file->lock_count = 0;
  file->is_open = false;
  file->virtually_closed = false;
  file->counted = false;
  return kEngOk;
}

int OsEnsureOpen(EngineOsFile* file) {
  if (!file->virtually_closed) return kEngOk;
  platform::OsFile* h = OpenWithRetry(file->name, file->mode, platform::FileDisposition::kOpenExisting);
  if (h == nullptr) return kEngReopenFailed;
  file->handle = h;
  file->virtually_closed = false;
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr && !(file->mode & kModeKeptOpen)) ListAppend(inst, file);
  return kEngOk;
}

void OsTouchFile(EngineOsFile* file) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || !file->counted || inst->lru_newest == file) return;
  ListUnlink(inst, file);
  ListAppend(inst, file);
}

bool ReleaseOneHandle() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return false;
  int budget = inst->os_files_counted;
  while (budget-- > 0 && inst->lru_oldest != nullptr) {
    EngineOsFile* f = inst->lru_oldest;
    if (f->lock_count > 0 || f->handle == nullptr) {
      ListUnlink(inst, f);
      if (f->handle != nullptr) ListAppend(inst, f);
      continue;
    }
    platform::FlushOsFile(f->handle);
    platform::CloseOsFile(f->handle);
    f->handle = nullptr;
    f->virtually_closed = true;
    ListUnlink(inst, f);
    return true;
  }
  return false;
}

int32_t OsFilesCounted() {
  EngineInstance* inst = CurrentInstance();
  return inst ? inst->os_files_counted : 0;
}

int OsDeleteFile(const char* name) {
  if (!platform::DeleteOsFile(name)) {
    KeepOsError(platform::LastFileError());
    return kEngDeleteFailed;
  }
  return kEngOk;
}

int OsRenameFile(const char* old_name, const char* new_name) {
  if (!platform::RenameOsFile(old_name, new_name)) {
    KeepOsError(platform::LastFileError());
    return kEngRenameFailed;
  }
  return kEngOk;
}

int OsFlushFile(EngineOsFile* file) {
  EngineOsFile* target = file->host ? file->host : file;
  if (target->virtually_closed || target->handle == nullptr) return kEngOk;
  ReleaseIoSteps();  // nobody waits for our disk
  if (!platform::FlushOsFile(target->handle)) {
    KeepOsError(platform::LastFileError());
    return kEngFlushFailed;
  }
  return kEngOk;
}

int OsFileSizeChecked(EngineOsFile* file, uint32_t* size) {
  *size = 0;
  EngineOsFile* target = file->host ? file->host : file;
  if (OsEnsureOpen(target) != kEngOk || target->handle == nullptr) return kEngReopenFailed;
  uint64_t bytes = 0;
  if (!platform::OsFileSize(target->handle, &bytes)) {
    KeepOsError(platform::LastFileError());
    return kEngReadFailed;
  }
  *size = bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
  return kEngOk;
}

uint32_t GetOsFileSize(EngineOsFile* file) {
  uint32_t size = 0;
  if (OsFileSizeChecked(file, &size) == kEngReopenFailed) EngineFatalError(kFatalReopenForSize);
  return size;
}

int OsPositionedIo(int mode, platform::OsFile* handle, uint32_t position, void* buffer,
                   uint32_t length, uint32_t* count, bool lock_range) {
  *count = 0;
  const int failed = mode == 0 ? kEngReadFailed : kEngWriteFailed;
  if (!platform::SeekOsFile(handle, position)) {
    KeepOsError(platform::LastFileError());
    return kEngSeekFailed;
  }
  // Another process's I/O on the same bytes waits for ours (the Win32 side
  // would refuse a transfer into a range someone else has locked).
  const bool lock = lock_range && length > 0;
  if (lock && LockIoRange(handle, position, length) != 0) return failed;
  bool ok = mode == 0 ? platform::ReadOsFile(handle, buffer, length, count)
                      : platform::WriteOsFile(handle, buffer, length, count);
  int error = ok ? 0 : platform::LastFileError();
  if (lock) LockFileRange(handle, position, length, kLockRelease);
  if (!ok || *count < length) {
    if (error != 0) KeepOsError(error);
    return failed;
  }
  return kEngOk;
}

namespace {

int PositionedIo(int mode, EngineOsFile* file, uint32_t position, void* buffer, int32_t length, int32_t* count,
                 bool range_lock) {
  if (count) *count = 0;
  if (length < 0) {
    // A length past 31 bits is a request beyond 2 GB: refused, and for a
    // write noted in the status log with the file's name.
    if (mode == 1) {
      char text[300];
      std::snprintf(text, sizeof text, "Warning: write size request > 2GB %s", file->name);
      WriteStatusLog(text, 0);
    }
    return kEngNegativeLength;
  }
  EngineOsFile* target = file->host ? file->host : file;
  if (OsEnsureOpen(target) != kEngOk) return kEngReopenFailed;
  if (target->handle == nullptr) return mode == 0 ? kEngReadFailed : kEngWriteFailed;
  OsTouchFile(target);
  bool lock = range_lock && TakesLocks(target);
  bool stepped = false;
  if (lock && t_step_depth > 0) {
    if (static_cast<uint64_t>(position) + static_cast<uint32_t>(length) <= kIoStepEnd) {
      stepped = target->io_step_held || TakeStep(target);
      lock = !stepped;
    } else {
      LetStepGo(target);  // the transfer's own lock would overlap it
    }
  }
  uint32_t moved = 0;
  int rc = OsPositionedIo(mode, target->handle, position, buffer, static_cast<uint32_t>(length), &moved, lock);
  if (!lock && !range_lock && rc == kEngReadFailed && TakesLocks(target)) {
    // A read under our own node or header lock takes no range lock, and on
    // the Win32 side another opener's step or transfer lock over the same
    // bytes refuses it: it waits for that lock as a locked read would.
    const LockWaitPolicy policy = GetLockWaitPolicy();
    for (int i = 1; i < policy.io_tries && rc == kEngReadFailed &&
                    platform::LastFileError() == platform::kFileLockViolation;
         ++i) {
      EngineSleep(policy.pause_ms);
      rc = OsPositionedIo(mode, target->handle, position, buffer, static_cast<uint32_t>(length), &moved, false);
    }
  }
  if (stepped && ++target->io_step_uses >= kIoStepUses) LetStepGo(target);
  if (count) *count = static_cast<int32_t>(moved);
  if (rc == kEngSeekFailed) {
    char text[300];
    std::snprintf(text, sizeof text, "SEEK_ERR... %s", target->name);
    WriteStatusLog(text, 0);
  }
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr) {
    if (mode == 0) {
      inst->io_reads += 1;
      inst->io_bytes_read += moved;
    } else {
      inst->io_writes += 1;
      inst->io_bytes_written += moved;
    }
  }
  return rc;
}

}  // namespace

int FilePositionedIo(int mode, EngineOsFile* file, uint32_t position, void* buffer, int32_t length,
                     int32_t* count) {
  return PositionedIo(mode, file, position, buffer, length, count, true);
}

int FilePositionedReadHeld(EngineOsFile* file, uint32_t position, void* buffer, int32_t length, int32_t* count) {
  return PositionedIo(0, file, position, buffer, length, count, false);
}

std::FILE* OpenStreamWithRetry(const char* name, const char* mode, int tries) {
  if (tries < 1) tries = 1;
  for (int i = 0; i < tries; ++i) {
    std::FILE* f = std::fopen(name, mode);
    if (f != nullptr) return f;
    if (i + 1 < tries && !ReleaseOneHandle()) break;
  }
  return nullptr;
}

int IsNameFree(const char* name) {
  EngineOsFile probe;
  int rc = OsCreateFile(&probe, name, kModeKeptOpen);
  if (rc == kEngOk) {
    OsCloseFile(&probe);
    platform::DeleteOsFile(probe.name);
    return 0;
  }
  return rc == kEngFileExists ? -2 : -1;
}

int MakeTempFileName(char* buffer, int size) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || !(inst->option_word & 0x80)) {
    char name[L_tmpnam + 1];
    if (std::tmpnam(name) == nullptr) return kEngTempNameFailed;
    if (static_cast<int>(std::strlen(name)) >= size) return kEngNameTooLong;
    CopyBoundedString(buffer, name, size);
    return kEngOk;
  }
  const int dir = static_cast<int>(std::strlen(buffer));
  if (dir > 255 || dir >= size - 8) return kEngNameTooLong;
  uint32_t value = static_cast<uint32_t>(std::time(nullptr));
  static const char kHex[] = "0123456789ABCDEF";
  for (int attempt = 0; attempt < 5; ++attempt) {
    inst->temp_name_step = inst->temp_name_step * 11737u + 3731u;
    value += inst->temp_name_step;
    char* p = buffer + dir;
    *p++ = 'T';
    uint32_t v = value;
    for (int i = 0; i < 7; ++i) {
      *p++ = kHex[v & 0xF];
      v >>= 4;
    }
    *p = '\0';
    int free = IsNameFree(buffer);
    if (free == 0) return kEngOk;
    if (free != -2) {
      buffer[dir] = '\0';
      return kEngFileExists;
    }
  }
  buffer[dir] = '\0';
  return kEngTempNameExists;
}

}  // namespace isam
