// POSIX side of OS files and byte-range locks.
//
// Win32 share modes and lock rules are rebuilt from open-file-description
// locks, which belong to one open (not to the process) and so conflict
// between two opens of this process exactly as between two processes:
// - share mode: every open holds a lock on one byte far beyond any engine
//   offset: read lock for shared and read-only opens, write lock for an
//   exclusive one, so an exclusive open and any other open exclude each
//   other;
// - byte ranges: a write lock per range, plus a table per handle of the
//   ranges it holds, because the kernel would silently merge a second lock
//   of the same handle where Win32 refuses it.
#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "platform/write_combiner.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <vector>

namespace platform {

struct OsFile {
  int fd = -1;
  bool may_write = false;   // opened for writing through the API
  bool fd_writable = false; // the descriptor has write access (lock type)
  uint32_t position = 0;
  std::vector<std::pair<uint32_t, uint32_t>> ranges;  // offset, length
  WriteCombiner* combiner = nullptr;                  // write_combining.h
};

namespace {

constexpr off_t kShareModeByte = static_cast<off_t>(1) << 62;

thread_local int t_error = kFileOk;
thread_local int t_native = 0;

int MapErrno(int e) {
  switch (e) {
    case 0: return kFileOk;
    case ENOENT:
    case ENOTDIR: return kFileNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kFileAccessDenied;
    case EEXIST: return kFileExists;
    case ENFILE: return kFileTooManySystem;
    case EMFILE: return kFileTooManyOpen;
    case ENOSPC: return kFileDiskFull;
    case EBADF: return kFileBadHandle;
    case EAGAIN: return kFileLockViolation;
    case EINVAL:
    case EOVERFLOW: return kFileSeekFailed;
    default: return kFileOtherError;
  }
}

bool Fail(int portable, int native) {
  t_error = portable;
  t_native = native;
  return false;
}

bool FailErrno() { return Fail(MapErrno(errno), errno); }

bool Succeed() {
  t_error = kFileOk;
  t_native = 0;
  return true;
}

bool OfdLock(int fd, short type, off_t start, off_t length) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = length;
  fl.l_pid = 0;
  for (;;) {
    if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool Overlaps(uint64_t a, uint64_t alen, uint64_t b, uint64_t blen) {
  return a < b + blen && b < a + alen;
}

// Win32 refuses to delete or rename a file that is open anywhere (no open
// passes FILE_SHARE_DELETE). Every open here holds a lock on the share
// byte, so an open in any process shows as a conflict there.
bool OpenElsewhere(const char* path) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl = {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kShareModeByte;
  fl.l_len = 1;
  fl.l_pid = 0;
  const bool busy = fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
  ::close(fd);
  return busy;
}

// Moves `length` bytes at the file position, one pread or pwrite call
// (`transfer(doneSoFar, offset)`) at a time: a call may move fewer bytes or
// be interrupted. Stops early when a call moves nothing (end of file).
// *total tells how far it got; false with errno set when a call failed.
template <typename Transfer>
bool TransferAll(const OsFile* file, uint32_t length, uint32_t* total, Transfer transfer) {
  *total = 0;
  while (*total < length) {
    ssize_t n = transfer(*total, static_cast<off_t>(file->position) + *total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    *total += static_cast<uint32_t>(n);
  }
  return true;
}

}  // namespace

OsFile* OpenOsFile(const char* path, FileShare share, FileDisposition disposition) {
  if (path == nullptr || *path == '\0') {
    Fail(kFileNotFound, ENOENT);
    return nullptr;
  }
  int flags = O_CLOEXEC;
  if (disposition == FileDisposition::kCreateNew) flags |= O_CREAT | O_EXCL;
  int fd = ::open(path, flags | O_RDWR, 0666);
  bool fd_writable = fd >= 0;
  if (fd < 0 && share == FileShare::kReadOnly && (errno == EACCES || errno == EROFS)) {
    fd = ::open(path, flags | O_RDONLY, 0666);
  }
  if (fd < 0) {
    FailErrno();
    return nullptr;
  }
  short share_type = share == FileShare::kExclusive ? F_WRLCK : F_RDLCK;
  if (!OfdLock(fd, share_type, kShareModeByte, 1)) {
    int e = errno;
    ::close(fd);
    if (e == EAGAIN || e == EACCES) {
      Fail(kFileSharingViolation, e);
    } else {
      Fail(MapErrno(e), e);
    }
    return nullptr;
  }
  OsFile* file = new (std::nothrow) OsFile;
  if (file == nullptr) {
    ::close(fd);
    Fail(kFileOtherError, ENOMEM);
    return nullptr;
  }
  file->fd = fd;
  file->fd_writable = fd_writable;
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
  int rc = ::close(file->fd);
  int e = errno;
  delete file;
  if (!written) return Fail(write_error, write_native);
  if (rc != 0) return Fail(MapErrno(e), e);
  return Succeed();
}

bool SeekOsFile(OsFile* file, uint32_t position) {
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  if (file->combiner) file->combiner->Seek(position);
  file->position = position;
  return Succeed();
}

bool ReadOsFile(OsFile* file, void* buffer, uint32_t length, uint32_t* done) {
  if (done) *done = 0;
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  if (file->combiner) {
    const uint32_t n = file->combiner->Read(buffer, length);
    if (done) *done = n;
    return Succeed();
  }
  switch (TakeFileFault(FileFaultOp::kRead)) {
    case FileFaultAction::kNone: break;
    case FileFaultAction::kFail: return Fail(kFileOtherError, EIO);
    case FileFaultAction::kShort: length /= 2; break;
    default: break;  // kKill and kTear come from writes only
  }
  uint32_t total = 0;
  auto* out = static_cast<char*>(buffer);
  if (!TransferAll(file, length, &total, [&](uint32_t at, off_t offset) {
        return ::pread(file->fd, out + at, length - at, offset);
      })) {
    if (done) *done = total;
    return FailErrno();
  }
  file->position += total;
  if (done) *done = total;
  return Succeed();
}

bool WriteOsFile(OsFile* file, const void* buffer, uint32_t length, uint32_t* done) {
  if (done) *done = 0;
  if (file == nullptr || !file->may_write) return Fail(kFileBadHandle, EBADF);
  if (file->combiner) {
    if (!file->combiner->Write(buffer, length)) return Fail(kFileOtherError, ENOMEM);
    if (done) *done = length;
    return Succeed();
  }
  const uint32_t asked = length;
  const FileFaultAction fault =
      TakeWriteFault(file, FileFaultsWatching() ? file->position : 0, buffer, &length);
  if (fault == FileFaultAction::kFail) return Fail(kFileDiskFull, ENOSPC);
  if (fault == FileFaultAction::kKill) EndProcessForFault();
  uint32_t total = 0;
  const auto* in = static_cast<const char*>(buffer);
  if (!TransferAll(file, length, &total, [&](uint32_t at, off_t offset) {
        return ::pwrite(file->fd, in + at, length - at, offset);
      })) {
    if (done) *done = total;
    return FailErrno();
  }
  if (fault == FileFaultAction::kTear) EndProcessForFault();
  file->position += total;
  if (done) *done = total;
  if (total < asked) return Fail(kFileDiskFull, ENOSPC);
  return Succeed();
}

bool OsFileSize(OsFile* file, uint64_t* size) {
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  if (file->combiner) {
    *size = file->combiner->Size();
    return Succeed();
  }
  struct stat st;
  if (::fstat(file->fd, &st) != 0) return FailErrno();
  *size = static_cast<uint64_t>(st.st_size);
  return Succeed();
}

bool FlushOsFile(OsFile* file) {
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  if (file->combiner) {
    const int out = WriteOutForFlush(file);
    if (out == 0) return Succeed();  // the pages go out at Finish or the close
    if (out < 0) return false;
  }
  if (TakeFlushFault(file) != FileFaultAction::kNone) return Fail(kFileOtherError, EIO);
  FlushTimer timed;
  if (::fsync(file->fd) != 0) return FailErrno();
  return Succeed();
}

bool DeleteOsFile(const char* path) {
  if (path != nullptr && OpenElsewhere(path)) return Fail(kFileSharingViolation, EBUSY);
  if (::unlink(path) != 0) return FailErrno();
  return Succeed();
}

bool RenameOsFile(const char* from, const char* to) {
  if (TakeFileFault(FileFaultOp::kRename) != FileFaultAction::kNone) return Fail(kFileAccessDenied, EACCES);
  if (from != nullptr && OpenElsewhere(from)) return Fail(kFileSharingViolation, EBUSY);
  // A hard link fails when the target exists, which is the no-replace rule.
  if (::link(from, to) == 0) {
    if (::unlink(from) != 0) {
      int e = errno;
      ::unlink(to);
      return Fail(MapErrno(e), e);
    }
    return Succeed();
  }
  int e = errno;
  if (e == EEXIST || e == ENOENT) return Fail(MapErrno(e), e);
  // File systems without hard links: check, then rename.
  if (OsFileExists(to)) return Fail(kFileExists, EEXIST);
  if (::rename(from, to) != 0) return FailErrno();
  return Succeed();
}

bool ReplaceOsFile(const char* from, const char* to) {
  if (TakeFileFault(FileFaultOp::kReplace) != FileFaultAction::kNone) return Fail(kFileAccessDenied, EACCES);
  if (from != nullptr && OpenElsewhere(from)) return Fail(kFileSharingViolation, EBUSY);
  if (to != nullptr && OpenElsewhere(to)) return Fail(kFileSharingViolation, EBUSY);
  // rename() replaces the target atomically.
  if (::rename(from, to) != 0) return FailErrno();
  return Succeed();
}

bool OsFileExists(const char* path) {
  struct stat st;
  return path != nullptr && ::stat(path, &st) == 0;
}

int LastFileError() { return t_error; }
int LastNativeFileError() { return t_native; }

bool LockOsFileRange(OsFile* file, uint32_t offset, uint32_t length) {
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  if (length == 0) return Fail(kFileOtherError, EINVAL);
  if (TakeFileFault(FileFaultOp::kLock) != FileFaultAction::kNone) return Fail(kFileLockViolation, EAGAIN);
  for (const auto& r : file->ranges) {
    if (Overlaps(offset, length, r.first, r.second)) return Fail(kFileLockViolation, EAGAIN);
  }
  short type = file->fd_writable ? F_WRLCK : F_RDLCK;
  if (!OfdLock(file->fd, type, static_cast<off_t>(offset), static_cast<off_t>(length))) {
    int e = errno;
    return Fail(e == EAGAIN || e == EACCES ? kFileLockViolation : MapErrno(e), e);
  }
  file->ranges.emplace_back(offset, length);
  return Succeed();
}

bool UnlockOsFileRange(OsFile* file, uint32_t offset, uint32_t length) {
  if (file == nullptr) return Fail(kFileBadHandle, EBADF);
  auto it = std::find(file->ranges.begin(), file->ranges.end(), std::make_pair(offset, length));
  if (it == file->ranges.end()) return Fail(kFileNotLocked, ENOLCK);
  CountFileCall(FileFaultOp::kLock);
  if (!OfdLock(file->fd, F_UNLCK, static_cast<off_t>(offset), static_cast<off_t>(length))) {
    return FailErrno();
  }
  file->ranges.erase(it);
  return Succeed();
}

int HeldOsFileRanges(OsFile* file) {
  return file == nullptr ? 0 : static_cast<int>(file->ranges.size());
}

}  // namespace platform
