// Win32 side of OS files and byte-range locks: the KERNEL32 calls
// themselves. The per-handle table of held ranges is kept here too, so
// both sides answer HeldOsFileRanges and refuse a handle's own overlaps
// before the system is asked.
#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "platform/write_combiner.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <vector>

namespace platform {

struct OsFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool may_write = false;
  std::vector<std::pair<uint32_t, uint32_t>> ranges;
  WriteCombiner* combiner = nullptr;  // write_combining.h
};

namespace {

thread_local int t_error = kFileOk;
thread_local int t_native = 0;

int MapWin32(DWORD e) {
  switch (e) {
    case ERROR_SUCCESS: return kFileOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return kFileNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return kFileAccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return kFileExists;
    case ERROR_TOO_MANY_OPEN_FILES: return kFileTooManyOpen;
    case ERROR_NO_SYSTEM_RESOURCES: return kFileTooManySystem;
    case ERROR_SHARING_VIOLATION: return kFileSharingViolation;
    case ERROR_LOCK_VIOLATION: return kFileLockViolation;
    case ERROR_NOT_LOCKED: return kFileNotLocked;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK: return kFileSeekFailed;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kFileDiskFull;
    case ERROR_INVALID_HANDLE: return kFileBadHandle;
    default: return kFileOtherError;
  }
}

bool Fail(int portable, int native) {
  t_error = portable;
  t_native = native;
  return false;
}

bool FailLast() {
  DWORD e = GetLastError();
  return Fail(MapWin32(e), static_cast<int>(e));
}

bool Succeed() {
  t_error = kFileOk;
  t_native = 0;
  return true;
}

bool Overlaps(uint64_t a, uint64_t alen, uint64_t b, uint64_t blen) {
  return a < b + blen && b < a + alen;
}

}  // namespace

OsFile* OpenOsFile(const char* path, FileShare share, FileDisposition disposition) {
  if (path == nullptr || *path == '\0') {
    Fail(kFileNotFound, ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (share == FileShare::kExclusive) sharing = 0;
  if (share == FileShare::kReadOnly) access = GENERIC_READ;
  DWORD how = disposition == FileDisposition::kCreateNew ? CREATE_NEW : OPEN_EXISTING;
  HANDLE h = CreateFileA(path, access, sharing, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    FailLast();
    return nullptr;
  }
  OsFile* file = new (std::nothrow) OsFile;
  if (file == nullptr) {
    CloseHandle(h);
    Fail(kFileOtherError, ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  file->handle = h;
  file->may_write = share != FileShare::kReadOnly;
  AttachWriteCombiner(file, path, share);
  Succeed();
  return file;
}

WriteCombiner*& CombinerOf(OsFile* file) { return file->combiner; }

bool CloseOsFile(OsFile* file) {
  if (file == nullptr) return Succeed();
  const bool written = DetachWriteCombiner(file);
  const int write_error = t_error, write_native = t_native;
  BOOL ok = CloseHandle(file->handle);
  DWORD e = GetLastError();
  delete file;
  if (!written) return Fail(write_error, write_native);
  if (!ok) return Fail(MapWin32(e), static_cast<int>(e));
  return Succeed();
}

bool SeekOsFile(OsFile* file, uint32_t position) {
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (file->combiner) {
    file->combiner->Seek(position);
    return Succeed();
  }
  // The high part must be passed: without it a position at 2 GB or more is
  // taken as negative and the seek fails (ERROR_NEGATIVE_SEEK).
  LONG high = 0;
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file->handle, static_cast<LONG>(position), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    DWORD e = GetLastError();
    return Fail(e == ERROR_INVALID_HANDLE ? kFileBadHandle : kFileSeekFailed, static_cast<int>(e));
  }
  return Succeed();
}

// The file pointer, for the fault layer's page boundaries and recorder.
static uint64_t CurrentPosition(const OsFile* file) {
  LARGE_INTEGER zero{}, at{};
  return SetFilePointerEx(file->handle, zero, &at, FILE_CURRENT) ? static_cast<uint64_t>(at.QuadPart) : 0;
}

bool ReadOsFile(OsFile* file, void* buffer, uint32_t length, uint32_t* done) {
  if (done) *done = 0;
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (file->combiner) {
    const uint32_t n = file->combiner->Read(buffer, length);
    if (done) *done = n;
    return Succeed();
  }
  switch (TakeFileFault(FileFaultOp::kRead)) {
    case FileFaultAction::kNone: break;
    case FileFaultAction::kFail: return Fail(kFileOtherError, ERROR_READ_FAULT);
    case FileFaultAction::kShort: length /= 2; break;
    default: break;  // kKill and kTear come from writes only
  }
  DWORD n = 0;
  if (!ReadFile(file->handle, buffer, length, &n, nullptr)) {
    if (done) *done = n;
    return FailLast();
  }
  if (done) *done = n;
  return Succeed();
}

bool WriteOsFile(OsFile* file, const void* buffer, uint32_t length, uint32_t* done) {
  if (done) *done = 0;
  if (file == nullptr || !file->may_write) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (file->combiner) {
    if (!file->combiner->Write(buffer, length)) return Fail(kFileOtherError, ERROR_NOT_ENOUGH_MEMORY);
    if (done) *done = length;
    return Succeed();
  }
  const uint32_t asked = length;
  const FileFaultAction fault =
      TakeWriteFault(file, FileFaultsWatching() ? CurrentPosition(file) : 0, buffer, &length);
  if (fault == FileFaultAction::kFail) return Fail(kFileDiskFull, ERROR_DISK_FULL);
  if (fault == FileFaultAction::kKill) EndProcessForFault();
  DWORD n = 0;
  if (!WriteFile(file->handle, buffer, length, &n, nullptr)) {
    if (done) *done = n;
    return FailLast();
  }
  if (fault == FileFaultAction::kTear) EndProcessForFault();
  if (done) *done = n;
  if (n < asked) return Fail(kFileDiskFull, ERROR_DISK_FULL);
  return Succeed();
}

bool OsFileSize(OsFile* file, uint64_t* size) {
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (file->combiner) {
    *size = file->combiner->Size();
    return Succeed();
  }
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(file->handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FailLast();
  *size = (static_cast<uint64_t>(high) << 32) | low;
  return Succeed();
}

bool FlushOsFile(OsFile* file) {
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (file->combiner) {
    const int out = WriteOutForFlush(file);
    if (out == 0) return Succeed();  // the pages go out at Finish or the close
    if (out < 0) return false;
  }
  if (TakeFlushFault(file) != FileFaultAction::kNone) return Fail(kFileOtherError, ERROR_WRITE_FAULT);
  FlushTimer timed;
  if (!FlushFileBuffers(file->handle)) return FailLast();
  return Succeed();
}

bool DeleteOsFile(const char* path) {
  if (!DeleteFileA(path)) return FailLast();
  return Succeed();
}

bool RenameOsFile(const char* from, const char* to) {
  if (TakeFileFault(FileFaultOp::kRename) != FileFaultAction::kNone) return Fail(kFileAccessDenied, ERROR_ACCESS_DENIED);
  // MoveFileA never replaces an existing target.
  if (!MoveFileA(from, to)) return FailLast();
  return Succeed();
}

bool ReplaceOsFile(const char* from, const char* to) {
  if (TakeFileFault(FileFaultOp::kReplace) != FileFaultAction::kNone) return Fail(kFileAccessDenied, ERROR_ACCESS_DENIED);
  // Write-through: the rename is on the disk when the call returns.
  if (!MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return FailLast();
  return Succeed();
}

bool OsFileExists(const char* path) {
  return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int LastFileError() { return t_error; }
int LastNativeFileError() { return t_native; }

bool LockOsFileRange(OsFile* file, uint32_t offset, uint32_t length) {
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  if (length == 0) return Fail(kFileOtherError, ERROR_INVALID_PARAMETER);
  if (TakeFileFault(FileFaultOp::kLock) != FileFaultAction::kNone) return Fail(kFileLockViolation, ERROR_LOCK_VIOLATION);
  for (const auto& r : file->ranges) {
    if (Overlaps(offset, length, r.first, r.second)) return Fail(kFileLockViolation, ERROR_LOCK_VIOLATION);
  }
  if (!LockFile(file->handle, offset, 0, length, 0)) return FailLast();
  file->ranges.emplace_back(offset, length);
  return Succeed();
}

bool UnlockOsFileRange(OsFile* file, uint32_t offset, uint32_t length) {
  if (file == nullptr) return Fail(kFileBadHandle, ERROR_INVALID_HANDLE);
  auto it = std::find(file->ranges.begin(), file->ranges.end(), std::make_pair(offset, length));
  if (it == file->ranges.end()) return Fail(kFileNotLocked, ERROR_NOT_LOCKED);
  CountFileCall(FileFaultOp::kLock);
  if (!UnlockFile(file->handle, offset, 0, length, 0)) return FailLast();
  file->ranges.erase(it);
  return Succeed();
}

int HeldOsFileRanges(OsFile* file) {
  return file == nullptr ? 0 : static_cast<int>(file->ranges.size());
}

}  // namespace platform
