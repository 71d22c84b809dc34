// Record locks of one engine instance: a table of the (file, position)
// pairs this instance holds, over the byte-range record locks that other
// processes see, and the session lock mode that every ISAM read, add and
// rewrite applies to the record it makes current.
//
// The table only records what this instance holds, so locking a record
// twice costs nothing and unlocking per file or per session is exact.
#pragma once

#include <cstdint>

namespace isam {

struct EngineInstance;

// Lock kinds.
constexpr int kLockUnlock = 0;
constexpr int kLockWrite = 2;         // write lock, one try
constexpr int kLockWriteWait = 3;     // write lock, waiting
constexpr int kLockRead = 4;          // read locks take no OS lock
constexpr int kLockReadAlt = 11;
constexpr int kLockUnlockFile = 18;   // every lock this instance holds in the file

// Entry flags.
constexpr uint8_t kLockForSession = 0x01;
constexpr uint8_t kLockAlreadyHeld = 0x02;  // the OS lock is held already (a new record)
constexpr uint8_t kLockInTransaction = 0x04;
constexpr uint8_t kLockOutsideTransaction = 0x08;

// Locks (kind 2, 3, 4, 11, 12, 13) or unlocks (0, 18) a record. Locking a
// record this instance holds with the same kind only adds the flags.
// Errors: 42 another process holds it (kind 2 tries once, 3 waits), 113 no
// memory, 653 the lock byte lies in the data, 41 unlock of a lock not held,
// 26 / 22 file not open.
int LockRecordEntry(int file, int kind, uint32_t position, uint8_t flags);
int LockRecord(int file, int kind, uint32_t position);

// 0 when this instance holds the record with that kind (any write kind
// for 2 or 3), else 57.
int CheckRecordLocked(int file, int kind, uint32_t position);

// True when records of this file must be write-locked before they change:
// the file is shared and locking is on (a lock mode other than 0 and 5).
bool RecordLocksRequired(int file);

// Locks this instance holds (all files, or one file).
int RecordLockCount(int file = -1);

// Releases the locks whose flags meet `mask` (0 = all of them); 41 from
// the OS is ignored.
void ReleaseRecordLocks(uint8_t mask);
// The same, keeping every lock whose flags meet `keep`.
void ReleaseRecordLocksWhere(uint8_t mask, uint8_t keep);
// Forgets every lock of a file being closed (its OS locks go with it).
void ForgetFileLocks(int file);

// Session lock mode (see record_lock.cpp for the switching rules):
// 0 or an ISAM error (464 locking not enabled, 112 locks held, 116 bad
// mode); mode 128 returns minus the current mode.
int IsamSetLockMode(int mode);
int CurrentLockMode();
// Record locking is enabled by the ISAM start.
void EnableRecordLocking(bool on);
bool RecordLockingEnabled();

// The ISAM lock step on the record a read, add or rewrite makes current:
// nothing in mode 0 or 5; else a lock of the session mode's kind with the
// session flag (new_record: the lock is a write lock). 0 or the lock's
// code.
int IsamLockCurrent(int file, uint32_t position, bool new_record);

// The lock the read-lock request asks for (option bits 0x04: a write lock
// of one try, 0x20: a waiting one), taken on a record before one read; the
// request is consumed when this is made. Released again when the object
// goes unless Keep() was called (the read succeeded), and never when this
// instance held the record before.
class RequestedRecordLock {
 public:
  RequestedRecordLock(int file, uint32_t position);
  ~RequestedRecordLock();
  RequestedRecordLock(const RequestedRecordLock&) = delete;
  RequestedRecordLock& operator=(const RequestedRecordLock&) = delete;
  int rc() const { return rc_; }  // 0 or the lock's code (42, ...)
  void Keep() { taken_ = false; }

 private:
  int file_;
  uint32_t position_;
  int rc_ = 0;
  bool taken_ = false;
};

// Transaction state kept beside the locks.
struct TransactionState {
  int16_t active = 0;
  int16_t savepoint = 0;
};
TransactionState* CurrentTransaction();

// Frees the instance's table (engine stop).
void FreeRecordLockTable(EngineInstance* inst);

}  // namespace isam
