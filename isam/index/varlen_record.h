// Variable-length records: the header in front of every stretch of a
// variable-length data file, its marks, and reading and writing a record in
// the stretch it owns. Space itself (allocation, release, the free-space
// index) lives in free_space.h.
//
// A stretch is [position, position + total): a 10-byte header (18 bytes in
// a superfile host, whose stretches also name their member) and the record
// data behind it. Position 0 is never a record.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

constexpr uint16_t kMarkActive = 0xFAFA;      // a record (and superfile index nodes)
constexpr uint16_t kMarkFree = 0xFDFD;        // free space
constexpr uint16_t kMarkMemberFree = 0xFCFC;  // free space of a superfile member
constexpr uint16_t kMarkSpaceNode = 0xFBBF;   // node of the file's free-space index
constexpr uint16_t kMarkResource = 0xFEFE;    // a resource

constexpr uint32_t kShortVarHeader = 10;
constexpr uint32_t kLongVarHeader = 18;

struct VarRecordHeader {
  uint16_t mark = 0;
  uint32_t total = 0;   // whole stretch, header included
  uint32_t used = 0;    // record bytes (0 for free space)
  uint32_t member = 0;  // long header only
  uint32_t link = 0;    // long header only: a record's check value (0: none)
};

// The check value a superfile member's record carries in its long header's
// link field (which no walk uses): a CRC-32 of its used bytes,
// never 0 (a record written before check values, or a stretch that never
// held one) nor 0xFFFFFFFF (an index node's mark).
uint32_t RecordCheckValue(const void* data, uint32_t length);

// Whether `length` bytes read from the record at `position`, all its used
// bytes, are the ones its header's check value was made of: true without a
// check value. A mismatch is bytes no writer made whole (a page of the
// record lost to a power cut, stale bytes behind new ones); the status log
// says so, and the record is to be taken as not written.
bool RecordBytesMatch(uint32_t position, const VarRecordHeader& header, const void* data, uint32_t length);

// 10, or 18 for a stretch that lies in a superfile host.
uint32_t VarHeaderLength(const FileControlBlock* fcb);

// The first stretch of a plain variable-length file: its node size.
uint32_t FirstVarPosition(const FileControlBlock* fcb);

// 0 for a known mark, else 123.
int CheckRecordMark(const VarRecordHeader& header);

// Whether the header is one torn after its first byte, whose stretch holds
// no record that lives: a release (free space's mark begun over a record's,
// the used length still the record's: its keys had left it) or a claim (a
// record's mark begun over free space's, used length 0) cut at a page
// boundary.
bool TornMarkWithoutRecord(const VarRecordHeader& header);

// Reads the header at position: 159 position 0, 48 not a variable-length
// file, kErrFileDamaged when the stretch cannot lie in the file (total
// below the header length, or reaching past the logical end), the I/O
// code. A bad mark is NOT an error here; callers check it.
int ReadVarRecordHeader(FileControlBlock* fcb, uint32_t position, VarRecordHeader* header);
// Writes it (0 or the I/O code).
int WriteVarRecordHeader(FileControlBlock* fcb, uint32_t position, const VarRecordHeader& header);

// Used length of an active record; 0 on error with eng_err 48 (not a
// variable-length file), 29 (position 0), 158 (mark not 0xFAFA), or the
// header read's code.
uint32_t VarRecordLength(int file, uint32_t position);

// The number of bytes a read of the record at position should move: the
// used length, or size when that is smaller (strict: 153 instead). Returns
// it, or -code: 29 no position, 33 no buffer (size 0 with a null buffer is
// not checked here), 634 negative size, 158 mark not 0xFAFA, 160 used
// length 0, damaged-header codes.
int32_t ReadVarRecordLength(FileControlBlock* fcb, uint32_t position, int32_t size, bool strict);

// Reads min(used, size) record bytes (strict: the whole record or 153) into
// buffer. Returns the bytes read, or -code as ReadVarRecordLength; -160
// also for a record whose check value does not match its bytes (nothing is
// handed back as a record then: the buffer is zeroed). Takes no
// lock itself: the read-lock request is taken by the callers that read for
// the application (ReadDataRecordAt, the ISAM reads) with
// RequestedRecordLock (record_lock.h), so internal walks never use it up.
int32_t ReadVarRecordAt(FileControlBlock* fcb, uint32_t position, void* buffer, int32_t size,
                        bool strict);

// Writes length bytes of record into the stretch at position (with its
// check value in a long header): 159 position 0, 33 no record, 123 bad
// mark, 148 record longer than its stretch. The
// rest of the stretch is split off as free space when it is worth it (more
// than 64 bytes and more than the fixed part plus a header), unless
// `keep_whole`. 0 or the code.
int WriteVarRecordAt(FileControlBlock* fcb, uint32_t position, const void* record, uint32_t length,
                     bool keep_whole = false);

// Splits the unused rest of the record's stretch off as free space when it
// is worth it (as WriteVarRecordAt does): 0 or the code.
int TrimVarRecordStretch(FileControlBlock* fcb, uint32_t position);

}  // namespace isam
