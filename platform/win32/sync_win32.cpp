// Win32 side of the engine's mutex, critical section, thread id and sleep.
#include "platform/sync.h"

#include <windows.h>

#include <cstdint>
#include <new>

namespace platform {

// The mutex lives in user space (a slim lock, an owner and a depth, and a
// condition to wait on): the engine takes it on every call, and a kernel
// mutex would cost a round trip to the system (under Wine, to its server)
// each time. Like the POSIX side it does not tell an abandoned mutex.
struct ProcessMutex {
  SRWLOCK lock;
  CONDITION_VARIABLE freed;
  DWORD owner;
  uint32_t depth;
};

struct CriticalSection {
  CRITICAL_SECTION section;
};

namespace {
thread_local int t_sync_error = 0;
}

ProcessMutex* CreateProcessMutex() {
  auto* m = new (std::nothrow) ProcessMutex;
  if (m == nullptr) {
    t_sync_error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  InitializeSRWLock(&m->lock);
  InitializeConditionVariable(&m->freed);
  m->owner = 0;
  m->depth = 0;
  return m;
}

MutexWaitResult WaitProcessMutex(ProcessMutex* mutex, uint32_t milliseconds) {
  if (mutex == nullptr) {
    t_sync_error = ERROR_INVALID_HANDLE;
    return kMutexFailed;
  }
  const DWORD me = GetCurrentThreadId();
  const ULONGLONG start = GetTickCount64();
  AcquireSRWLockExclusive(&mutex->lock);
  if (mutex->owner == me) {
    ++mutex->depth;
    ReleaseSRWLockExclusive(&mutex->lock);
    return kMutexOwned;
  }
  while (mutex->owner != 0) {
    DWORD wait = INFINITE;
    if (milliseconds != kWaitForever) {
      const ULONGLONG spent = GetTickCount64() - start;
      if (spent >= milliseconds) {
        ReleaseSRWLockExclusive(&mutex->lock);
        return kMutexTimeout;
      }
      wait = static_cast<DWORD>(milliseconds - spent);
    }
    if (!SleepConditionVariableSRW(&mutex->freed, &mutex->lock, wait, 0) && GetLastError() != ERROR_TIMEOUT) {
      t_sync_error = static_cast<int>(GetLastError());
      ReleaseSRWLockExclusive(&mutex->lock);
      return kMutexFailed;
    }
  }
  mutex->owner = me;
  mutex->depth = 1;
  ReleaseSRWLockExclusive(&mutex->lock);
  return kMutexOwned;
}

bool ReleaseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr) {
    t_sync_error = ERROR_INVALID_HANDLE;
    return false;
  }
  AcquireSRWLockExclusive(&mutex->lock);
  if (mutex->owner != GetCurrentThreadId()) {
    ReleaseSRWLockExclusive(&mutex->lock);
    t_sync_error = ERROR_NOT_OWNER;
    return false;
  }
  if (--mutex->depth == 0) {
    mutex->owner = 0;
    WakeConditionVariable(&mutex->freed);
  }
  ReleaseSRWLockExclusive(&mutex->lock);
  return true;
}

bool CloseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr) {
    t_sync_error = ERROR_INVALID_HANDLE;
    return false;
  }
  delete mutex;
  return true;
}

CriticalSection* CreateCriticalSection() {
  auto* s = new (std::nothrow) CriticalSection;
  if (s == nullptr) return nullptr;
  InitializeCriticalSection(&s->section);
  return s;
}

void EnterCriticalSection(CriticalSection* section) { ::EnterCriticalSection(&section->section); }
void LeaveCriticalSection(CriticalSection* section) { ::LeaveCriticalSection(&section->section); }

void DeleteCriticalSection(CriticalSection* section) {
  if (section == nullptr) return;
  ::DeleteCriticalSection(&section->section);
  delete section;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(GetCurrentThreadId()); }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

int LastSyncError() { return t_sync_error; }

}  // namespace platform
