// Byte-range locks on OS files, with one meaning on both sides.
//
// The engine coordinates processes only through exclusive locks on single
// bytes or short ranges, most of them far beyond the data. The behaviour it
// relies on is the Win32 one, and the POSIX side reproduces it:
// - a lock fails at once when it overlaps any range already locked, by
//   another process, by another handle of this process, or by this very
//   handle (locks never merge or nest);
// - an unlock must name exactly one range that this handle locked;
// - locks belong to the handle: they go when the handle closes or the
//   process ends.
// Ranges may lie beyond the end of the file.
#pragma once

#include <cstdint>

#include "platform/os_file.h"

namespace platform {

// One try, never waits. False with kFileLockViolation when any part of the
// range is locked (through any handle), kFileBadHandle for a bad handle.
// A zero length is refused (kFileOtherError).
bool LockOsFileRange(OsFile* file, uint32_t offset, uint32_t length);

// False with kFileNotLocked unless [offset, offset + length) is exactly a
// range this handle holds.
bool UnlockOsFileRange(OsFile* file, uint32_t offset, uint32_t length);

// The number of ranges this handle holds (for tests and diagnostics).
int HeldOsFileRanges(OsFile* file);

}  // namespace platform
