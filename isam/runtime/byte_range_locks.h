// Byte-range locks that stand for node, record and superfile-member locks
// between processes sharing an engine file.
//
// Lock bytes lie far beyond any data, counted down from the top of the
// 32-bit offset range. Node, record and slot locks are taken only for files
// opened shared (0x1) or read-only (0x8); an exclusive file answers 0
// without an OS call. A member's locks go on its host's handle, and the
// host's lock_count counts them. Locks never nest: a second lock of a byte
// this handle holds fails like any other overlap.
#pragma once

#include <cstdint>

namespace platform {
struct OsFile;
}

namespace isam {

struct EngineOsFile;

// Lock byte of a unit: 0xFFFBFFFF - unit (wraps like the 32-bit original).
constexpr uint32_t LockByteOfUnit(uint32_t unit) { return 0xFFFBFFFFu - unit; }
// Slot byte i (0..255) of superfile member m (1..1023).
constexpr uint32_t MemberSlotByte(uint32_t member, uint32_t slot) {
  return 0xFFFFFFFFu - 256u * member + slot;
}

// File types of the OS file that holds a node or record.
constexpr int kFileTypeFixed = 0;
constexpr int kFileTypeIndex = 1;
constexpr int kFileTypeVariable = 2;

// Unit of an index node in a file of holder_type: variable data file (its
// free-space index and every index inside a superfile): position / 10;
// a node lock for an index member's header body (header position + 12)
// passes that member's number as header_member (0..31) and gets it as the
// unit; else position / node_size + 32. node_size 0 gives unit 32.
uint32_t NodeLockUnit(int holder_type, uint32_t node_size, uint32_t position, int header_member);

// Unit of a record: fixed data file position / record length, index file
// position / node size, variable data file position / 10 (a zero divisor
// gives unit 0).
uint32_t RecordLockUnit(int holder_type, uint32_t record_length, uint32_t node_size,
                        uint32_t position);

// Lock types of LockFileRange.
constexpr int kLockWait = 1;
constexpr int kLockTry = 2;
constexpr int kLockRelease = 4;

// The waits of a waiting lock: tries, pause between them; I/O range locks
// use io_tries. Defaults 3002 / 3001 tries, 50 ms apart (about 150 s).
struct LockWaitPolicy {
  int lock_tries = 3002;
  int io_tries = 3001;
  uint32_t pause_ms = 50;
};
LockWaitPolicy GetLockWaitPolicy();
void SetLockWaitPolicy(const LockWaitPolicy& policy);  // tests shorten it

// One OS lock call: type 1 waits (tries x pause), 2 one try, 4 unlocks;
// another type is fatal 1105. Returns 0 or the portable OS error (kept in
// the current instance's os_error).
int LockFileRange(platform::OsFile* handle, uint32_t offset, uint32_t length, int type);

// The waiting lock of a positioned read or write (io_tries x pause): 0 or
// the portable OS error.
int LockIoRange(platform::OsFile* handle, uint32_t offset, uint32_t length);

// Index node lock, always waiting: 0; 50 when it cannot be had; 653 when
// the lock byte is not above logical_end (no OS call). Unlock: 0 or 51.
int NodeLock(EngineOsFile* file, uint32_t unit, uint32_t logical_end);
int NodeUnlock(EngineOsFile* file, uint32_t unit);

// Record lock: wait as asked (callers wait for the header position): 0;
// 42 when it cannot be had; 653 as above. Unlock: 0 or 41.
int RecordLock(EngineOsFile* file, uint32_t unit, uint32_t logical_end, bool wait);
int RecordUnlock(EngineOsFile* file, uint32_t unit);

// True when file takes node, record and slot locks (opened 0x1 or 0x8).
bool TakesLocks(const EngineOsFile* file);

}  // namespace isam
