// Records of fixed-length data files: record space from a stack of deleted
// records (or the end of the file), and reading and writing one record.
//
// The first record starts at the first multiple of the record length at or
// after byte 128. A deleted record holds 0xFF and, in bytes 1..4, the
// position of the record deleted before it (0 at the bottom of the stack).
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// The first record position of a fixed-length file.
uint32_t FirstFixedPosition(const FileControlBlock* fcb);

// A record position for a new record (the delete stack's top, else new
// space at the end), with the serial counter and active count raised:
// 0 on failure with eng_err 48 (not a fixed-length file), 31 (the stack's
// top is not a deleted record), 44, extension and I/O codes.
uint32_t NewDataRecord(int file);

// Pushes the record on the delete stack and lowers the active count:
// 54 / 121 / 99 updates refused, 29 / 30 position, 32 the record is
// already deleted (whether on top of the stack or deeper in it), 57 a
// shared file whose record this instance has not write-locked, I/O codes.
int ReleaseDataRecord(int file, uint32_t position);

// Gives the whole records of a stretch that held a resource (position and
// total length on the record grid) back to the delete stack. Resource
// records were never active records, so the active count stays. The marks
// are chained first and the new top is published last: a crash in between
// leaves deleted records no stack reaches, which walks skip. 30 for a
// stretch off the grid, I/O codes.
int ReleaseFixedStretch(FileControlBlock* fcb, uint32_t position, uint32_t total);

// Reads one record (record length bytes; for a variable-length file the
// used length behind the header) into buffer, first taking the lock the
// read-lock request asks for (RequestedRecordLock, record_lock.h: kept
// when the read succeeds): 33 no buffer, 29 / 30 the position, 42 the
// record is locked by another process, the variable read's codes, I/O
// codes.
int ReadDataRecordAt(int file, uint32_t position, void* buffer);
// Writes one record (variable-length files: see WriteVarRecordAt with the
// record length).
int WriteDataRecordAt(int file, uint32_t position, const void* record);

// 29 for 0, 30 beyond the logical end (after re-reading a shared file's
// header) or off the record grid, else 0.
int CheckRecordPosition(FileControlBlock* fcb, uint32_t position);

// Active records (48 for a non-fixed file: -1).
int32_t DataRecordCount(int file);

}  // namespace isam
