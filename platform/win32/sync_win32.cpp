// Win32 side of the engine's mutex, critical section, thread id and sleep.
#include "platform/sync.h"

#include <windows.h>

#include <new>

namespace platform {

struct ProcessMutex {
  HANDLE handle;
};

struct CriticalSection {
  CRITICAL_SECTION section;
};

namespace {
thread_local int t_sync_error = 0;
}

ProcessMutex* CreateProcessMutex() {
  HANDLE h = CreateMutexA(nullptr, FALSE, nullptr);
  if (h == nullptr) {
    t_sync_error = static_cast<int>(GetLastError());
    return nullptr;
  }
  auto* m = new (std::nothrow) ProcessMutex;
  if (m == nullptr) {
    CloseHandle(h);
    t_sync_error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  m->handle = h;
  return m;
}

MutexWaitResult WaitProcessMutex(ProcessMutex* mutex, uint32_t milliseconds) {
  if (mutex == nullptr) {
    t_sync_error = ERROR_INVALID_HANDLE;
    return kMutexFailed;
  }
  DWORD rc = WaitForSingleObject(mutex->handle, milliseconds == kWaitForever ? INFINITE : milliseconds);
  if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED) return kMutexOwned;
  if (rc == WAIT_TIMEOUT) return kMutexTimeout;
  t_sync_error = static_cast<int>(GetLastError());
  return kMutexFailed;
}

bool ReleaseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr || !ReleaseMutex(mutex->handle)) {
    t_sync_error = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

bool CloseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr || !CloseHandle(mutex->handle)) {
    t_sync_error = static_cast<int>(GetLastError());
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
