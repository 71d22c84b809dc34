// Operating-system files for the engine: open, create, close, positioned
// read and write, size, flush, delete and rename.
//
// Positions are 32-bit byte offsets (the engine's lock bytes sit just below
// 4 GB), so every seek passes the full unsigned value; a seek at 2 GB and
// beyond works on both sides.
//
// Failures return false (or null) and leave a portable code in
// LastFileError() and the system's own number in LastNativeFileError(),
// both per thread. The portable codes keep the numbers the engine's status
// log has always shown for them.
#pragma once

#include <cstdint>

namespace platform {

// Portable file error codes (LastFileError).
enum FileError : int {
  kFileOk = 0,
  kFileNotFound = 2,           // no such file or path
  kFileBadHandle = 9,          // closed or foreign handle, or access mode forbids it
  kFileAccessDenied = 13,      // permissions, or a directory
  kFileExists = 17,            // create-new of a name that exists; rename onto one
  kFileTooManySystem = 23,     // the system's table of open files is full
  kFileTooManyOpen = 24,       // this process has no more handles
  kFileDiskFull = 28,
  kFileSharingViolation = 32,  // the share mode of another open refuses this one
  kFileLockViolation = 33,     // range locked by another handle or process, or overlap
  kFileNotLocked = 158,        // unlock of a range that is not locked exactly so
  kFileSeekFailed = 131,       // a seek the system refused
  kFileOtherError = 1000,
};

// How a file is opened. Shared: read and write access, others may open it
// shared too. Exclusive: read and write access, every other open fails
// (also from this process) and this one fails while any other is open.
// ReadOnly: read access, others may open it shared or read-only.
enum class FileShare { kShared, kExclusive, kReadOnly };

// Whether the file must exist (open) or must not (create new).
enum class FileDisposition { kOpenExisting, kCreateNew };

struct OsFile;  // opaque; one per successful open

// Opens or creates path. Null on failure: kFileNotFound (open of a missing
// file), kFileExists (create of an existing one), kFileSharingViolation,
// kFileTooManyOpen / kFileTooManySystem, kFileAccessDenied, kFileOtherError.
OsFile* OpenOsFile(const char* path, FileShare share, FileDisposition disposition);

// Closes the handle and drops every byte-range lock it holds. The handle is
// invalid afterwards even when false is returned. Null is a no-op (true).
bool CloseOsFile(OsFile* file);

// Moves the file position to the unsigned 32-bit offset. False with
// kFileSeekFailed (or kFileBadHandle).
bool SeekOsFile(OsFile* file, uint32_t position);

// Reads or writes at the current position and advances it; *done gets the
// byte count actually moved (a short read at end of file is not a failure:
// true with *done < length). Writes through a read-only handle fail with
// kFileBadHandle. A range locked by another handle fails with
// kFileLockViolation on the Win32 side (mandatory locks); the POSIX side has
// only advisory locks and lets it through.
bool ReadOsFile(OsFile* file, void* buffer, uint32_t length, uint32_t* done);
bool WriteOsFile(OsFile* file, const void* buffer, uint32_t length, uint32_t* done);

// Size in bytes; false on failure.
bool OsFileSize(OsFile* file, uint64_t* size);

// Pushes written data to the device. False on failure.
bool FlushOsFile(OsFile* file);

// Every FlushOsFile of the process so far and the time they took, so a
// benchmark can show the device's share apart from the program's.
struct FileFlushTotals {
  uint64_t count = 0;
  double seconds = 0;
};
FileFlushTotals GetFileFlushTotals();

// Deletes a file by name: kFileNotFound, kFileAccessDenied,
// kFileSharingViolation while any handle (of any process) has it open.
bool DeleteOsFile(const char* path);

// Renames without replacing: kFileExists when to exists, kFileNotFound when
// from is missing, kFileSharingViolation while from is open anywhere.
bool RenameOsFile(const char* from, const char* to);

// Puts `from` in the place of `to` by renaming, replacing a `to` that
// exists in one step: afterwards `to` holds either its old bytes or all of
// `from`'s, never a mix. Both should be in one folder (one volume).
// kFileNotFound when from is missing, kFileSharingViolation while either is
// open anywhere (Win32; the POSIX side checks the same share byte),
// kFileAccessDenied, kFileOtherError. A fault planned for kReplace fails it
// with kFileAccessDenied and changes nothing.
bool ReplaceOsFile(const char* from, const char* to);

// True when a file or directory of that name exists.
bool OsFileExists(const char* path);

// The last failure of this thread's file or lock calls.
int LastFileError();
// The system's own number for that failure (errno or GetLastError()).
int LastNativeFileError();

}  // namespace platform
