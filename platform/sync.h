// Waiting and mutual exclusion for the engine: one process mutex with the
// ownership rules of a Win32 mutex, a critical section, the thread id and
// sleep.
#pragma once

#include <cstdint>

namespace platform {

// A process-local mutex that belongs to the thread that owns it: the owner
// may take it again (each take needs its release), other threads wait.
struct ProcessMutex;

// Null on failure; LastSyncError() holds the system's number.
ProcessMutex* CreateProcessMutex();

// Waits for ownership: kWaitForever, or a limit in milliseconds (0 = one
// try). Returns kMutexOwned, kMutexTimeout, or kMutexFailed (with
// LastSyncError()).
constexpr uint32_t kWaitForever = 0xFFFFFFFFu;
enum MutexWaitResult : int { kMutexOwned = 0, kMutexTimeout = 1, kMutexFailed = 2 };
MutexWaitResult WaitProcessMutex(ProcessMutex* mutex, uint32_t milliseconds);

// False when the calling thread does not own it.
bool ReleaseProcessMutex(ProcessMutex* mutex);

// Frees the mutex; false on failure. Null: false.
bool CloseProcessMutex(ProcessMutex* mutex);

// A lock for short table updates; the owning thread may enter again.
struct CriticalSection;
CriticalSection* CreateCriticalSection();  // null when memory runs out
void EnterCriticalSection(CriticalSection* section);
void LeaveCriticalSection(CriticalSection* section);
void DeleteCriticalSection(CriticalSection* section);

// The system's id of the calling thread (never 0).
uint32_t CurrentThreadId();

// Blocks the calling thread.
void SleepMilliseconds(uint32_t milliseconds);

// The system's number for the last failed mutex call of this thread.
int LastSyncError();

}  // namespace platform
