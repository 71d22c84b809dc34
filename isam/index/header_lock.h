// Scoped header lock and whole-buffer positioned I/O for the record-level
// files (fixed records, free space, resources), which all take the header
// lock around a header update and read or write through the host's handle.
#pragma once

#include <cstdint>

#include "isam/index/file_control_block.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {

// Holds the file's header lock for its lifetime (nesting as the lock does);
// rc() is the lock's result, and a failed lock is not released.
class HeaderLock {
 public:
  explicit HeaderLock(FileControlBlock* fcb) : fcb_(fcb), rc_(LockFileHeader(fcb)) {}
  ~HeaderLock() {
    if (rc_ == 0) UnlockFileHeader(fcb_);
  }
  HeaderLock(const HeaderLock&) = delete;
  HeaderLock& operator=(const HeaderLock&) = delete;
  int rc() const { return rc_; }

 private:
  FileControlBlock* fcb_;
  int rc_;
};

// Reads (mode 0) or writes (mode 1) `length` bytes at `position` of the file,
// through its host when it is a superfile member: 0 or the I/O code.
inline int FileIo(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, uint32_t length) {
  int32_t count = 0;
  return FilePositionedIo(mode, &HolderOf(fcb)->os, position, buffer, static_cast<int32_t>(length), &count);
}

}  // namespace isam
