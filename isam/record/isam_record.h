// The ISAM record layer: a data file and its indexes kept in step. Every
// operation works on ISAM file numbers (a data file, or a key number for
// the reads that follow an index), keeps a current record per data file and
// an ISAM current key per index, and returns an ISAM error (also kept with
// its file number in the instance, see SetIsamError).
//
// Every read takes the lock the read-lock request asks for (option bits
// 0x04: a write lock of one try, 0x20: a waiting one; EngineOptionWord) on
// the record it returns. The request belongs to one read call: each retry
// of a record in motion gets it again, a try that fails gives its lock
// back, and the call consumes it whatever it finds (a re-read that answers
// 153 leaves it for the re-read with the larger buffer).
//
// Variable-length records pass their length: `length` is in the buffer size
// and out the record's full length (a buffer too small gets its size and
// the full length back, and the caller may grow it and re-read). Fixed
// records pass null for length.
//
// ISAM errors: 2 key exists, 27 / 30 / 36 ends of a walk (returned as 101),
// 33 no buffer, 48 wrong file type, 54 read-only, 57 the record is not
// write-locked on a shared file, 100 no current record, 101 no record
// found, 105 undo of a key change failed, 116 bad mode, 146 free space
// could not be joined, 149 a variable record shorter than its fixed part,
// 153 re-read into a too small buffer, 158 bad record mark, 160 the record
// changed under the reader, 633 / 634 null / negative length; lower-level
// codes pass through.
#pragma once

#include <cstdint>

namespace isam {

// Mode letters of the reads by key.
constexpr char kReadEqual = 'E';
constexpr char kReadAtLeast = 'G';
constexpr char kReadGreater = 'H';
constexpr char kReadAtMost = 'M';
constexpr char kReadLess = 'N';

// Reads by key (target: the key's value, key length bytes; the transform
// is applied here).
int IsamRecordReadByKey(int key, const void* target, char mode, void* buffer, int32_t* length);

// Reads in order. With a key number: the index order; with a data file
// number: the physical order (skipping free space, index nodes and
// resources). Last and previous need an index or a fixed-length file.
// A step that cannot move on (a key found that does not lie beyond the one
// before it, more leftover keys than the index counts, a stretch shorter
// than its header) ends in 690: every walk ends.
int IsamRecordFirst(int file, void* buffer, int32_t* length);
int IsamRecordLast(int file, void* buffer, int32_t* length);
int IsamRecordNext(int file, void* buffer, int32_t* length);
int IsamRecordPrevious(int file, void* buffer, int32_t* length);

// Reads the current record again (variable: buffer of size bytes, 153 when
// the record is longer; the record length goes to *length when not null).
int IsamRecordReread(int file, void* buffer, int32_t size, int32_t* length = nullptr);

// Updates of the current record / a new record. `length` is the record
// length of a variable-length record (ignored for fixed files). An add or
// rewrite makes its record current and moves the record that was current
// into the saved slot (SaveRestoreCurrent 2 swaps back to it). A failed
// update leaves the files as they were. A variable-length rewrite always
// moves its record (a record is never written over, so a crash leaves one
// whole form). A rewrite that moves its record flushes the file once the
// new form is written and before any key names it (the flush's OS code is
// the rewrite's answer when it fails, the new form then given back), then
// marks the old stretch empty once the keys have left it, then frees it; a
// free that fails there only leaves that stretch claimed, and the rewrite,
// which is in place with all its keys, answers 0.
int IsamRecordAdd(int file, const void* record, int32_t length);
int IsamRecordRewrite(int file, const void* record, int32_t length);
int IsamRecordDelete(int file);

// The current record of a data file (0 none).
uint32_t CurrentRecordPosition(int file);
// Copies the ISAM current key of an index: its length, or -48 when the
// number is no index, 0 when it has none.
int CurrentIsamKey(int key, uint8_t* out);
// Makes position current: every index's current key is built from record
// (key -1 all, -2 none, or only that key number).
int SetCurrentRecord(int file, uint32_t position, const void* record, int32_t length, int key);
// 0 save, 1 restore, 2 swap the current and saved record (116 otherwise).
int SaveRestoreCurrent(int file, int mode);

// The same under the names of the two record kinds. A fixed-length file
// passes no length (its record length is the file's).
int IsamAddRecord(int file, const void* record);
int IsamRewriteRecord(int file, const void* record);
int IsamDeleteFixedRecord(int file);
int IsamDeleteVarRecord(int file);
int IsamRereadRecord(int file, void* buffer);
// CurrentIsamKey with the key length in *length (0 when the index has no
// current key): 0, or 48 (eng_err) when the number is no index, 33 no out.
int CurrentIsamKey(int key, uint8_t* out, int32_t* length);

// Operation flags: 0x01 release a new record's lock after an add, 0x02 the
// lock after a rewrite.
void SetIsamOperationFlags(uint32_t flags);

// Retries of a read that meets a record in motion, and the pause between.
constexpr int kRecordMotionRetries = 10;
constexpr uint32_t kRecordMotionPauseMs = 2;

}  // namespace isam
