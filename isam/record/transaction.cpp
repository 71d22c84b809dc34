#include "isam/record/transaction.h"

#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

int End(int release) {
  TransactionState* t = CurrentTransaction();
  if (t == nullptr || !t->active) return SetEngineError(71);
  t->active = 0;
  t->savepoint = 0;
  if (release == kReleaseAll) {
    ReleaseRecordLocks(0);
    if (EngineInstance* inst = CurrentInstance()) inst->lock_mode = 0;
  } else if (release == kReleaseInTransaction) {
    ReleaseRecordLocks(kLockInTransaction);
  } else if (release == kReleaseNotOutside) {
    // Locks taken (or taken again) outside a transaction stay.
    ReleaseRecordLocksWhere(0, kLockOutsideTransaction);
  }
  return SetEngineError(0);
}

}  // namespace

bool TransactionActive() {
  TransactionState* t = CurrentTransaction();
  return t != nullptr && t->active != 0;
}

int BeginTransaction(int mode) {
  TransactionState* t = CurrentTransaction();
  if (t == nullptr) return SetEngineError(113), 0;
  if (t->active) return SetEngineError(70), 0;
  int lock = mode & 0x0F;
  if (lock == 5) lock = 11;
  if (lock != 0) {
    if (EngineInstance* inst = CurrentInstance()) inst->lock_mode = static_cast<int16_t>(lock);
  }
  t->active = 1;
  t->savepoint = 0;
  SetEngineError(0);
  return 1;
}

int CommitTransaction(int release) { return End(release); }
int AbortTransaction(int release) { return End(release); }

int SetSavepoint() {
  TransactionState* t = CurrentTransaction();
  if (t == nullptr || !t->active) return SetEngineError(71), 0;
  SetEngineError(0);
  return ++t->savepoint;
}

int RestoreSavepoint(int n) {
  TransactionState* t = CurrentTransaction();
  if (t == nullptr || !t->active) return SetEngineError(71);
  if (n < 0) n = t->savepoint + n + 1;
  // Savepoint 0 is the start of the transaction: there is one to go back
  // to once any savepoint was set.
  if (n < 0 || t->savepoint == 0 || t->savepoint < n) return SetEngineError(71);
  return SetEngineError(0);
}

int ClearSavepoint() {
  TransactionState* t = CurrentTransaction();
  if (t == nullptr || !t->active || t->savepoint <= 0) return SetEngineError(71);
  --t->savepoint;
  return SetEngineError(0);
}

}  // namespace isam
