// Transaction brackets without a log: they switch the lock mode, count
// savepoints and release the locks taken inside them. No data is undone.
#pragma once

namespace isam {

// Release modes of commit and abort.
constexpr int kReleaseAll = 0;             // every lock, and lock mode 0
constexpr int kReleaseInTransaction = 41;  // ')': locks taken inside the transaction
constexpr int kReleaseNotOutside = 42;     // '*': every lock not taken outside one

// 1 when begun, 0 on error (eng_err 70: one is active). A non-zero low
// nibble of mode sets the lock mode (5 means 11).
int BeginTransaction(int mode);
// 71 without a transaction; else ends it and releases by `release`.
int CommitTransaction(int release);
int AbortTransaction(int release);
// The new savepoint number, or 0 with eng_err 71 without a transaction.
int SetSavepoint();
// 0, or 71 without a savepoint or when n is above the current one (0 is
// the start of the transaction; negative n counts back from the current
// one, -1 being the current one itself). The counter stays.
int RestoreSavepoint(int n);
// 0, or 71 when there is none.
int ClearSavepoint();
bool TransactionActive();

}  // namespace isam
