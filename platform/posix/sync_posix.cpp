// POSIX side of the engine's mutex, critical section, thread id and sleep.
// The mutex is recursive and owner-checked, which is how a Win32 mutex
// behaves: the owner passes again, others wait, only the owner releases.
#include "platform/sync.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <new>

namespace platform {

struct ProcessMutex {
  pthread_mutex_t mutex;
};

struct CriticalSection {
  pthread_mutex_t mutex;
};

namespace {

thread_local int t_sync_error = 0;

bool InitRecursive(pthread_mutex_t* m) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  int rc = pthread_mutex_init(m, &attr);
  pthread_mutexattr_destroy(&attr);
  if (rc != 0) t_sync_error = rc;
  return rc == 0;
}

}  // namespace

ProcessMutex* CreateProcessMutex() {
  auto* m = new (std::nothrow) ProcessMutex;
  if (m == nullptr) {
    t_sync_error = ENOMEM;
    return nullptr;
  }
  if (!InitRecursive(&m->mutex)) {
    delete m;
    return nullptr;
  }
  return m;
}

MutexWaitResult WaitProcessMutex(ProcessMutex* mutex, uint32_t milliseconds) {
  if (mutex == nullptr) {
    t_sync_error = EINVAL;
    return kMutexFailed;
  }
  int rc;
  if (milliseconds == kWaitForever) {
    rc = pthread_mutex_lock(&mutex->mutex);
  } else if (milliseconds == 0) {
    rc = pthread_mutex_trylock(&mutex->mutex);
  } else {
    timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += milliseconds / 1000;
    until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
      until.tv_sec += 1;
      until.tv_nsec -= 1000000000L;
    }
    rc = pthread_mutex_timedlock(&mutex->mutex, &until);
  }
  if (rc == 0) return kMutexOwned;
  if (rc == EBUSY || rc == ETIMEDOUT) return kMutexTimeout;
  t_sync_error = rc;
  return kMutexFailed;
}

bool ReleaseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr) {
    t_sync_error = EINVAL;
    return false;
  }
  int rc = pthread_mutex_unlock(&mutex->mutex);
  if (rc != 0) t_sync_error = rc;
  return rc == 0;
}

bool CloseProcessMutex(ProcessMutex* mutex) {
  if (mutex == nullptr) {
    t_sync_error = EINVAL;
    return false;
  }
  int rc = pthread_mutex_destroy(&mutex->mutex);
  if (rc != 0) {
    t_sync_error = rc;
    return false;
  }
  delete mutex;
  return true;
}

CriticalSection* CreateCriticalSection() {
  auto* s = new (std::nothrow) CriticalSection;
  if (s == nullptr) return nullptr;
  if (!InitRecursive(&s->mutex)) {
    delete s;
    return nullptr;
  }
  return s;
}

void EnterCriticalSection(CriticalSection* section) { pthread_mutex_lock(&section->mutex); }
void LeaveCriticalSection(CriticalSection* section) { pthread_mutex_unlock(&section->mutex); }

void DeleteCriticalSection(CriticalSection* section) {
  if (section == nullptr) return;
  pthread_mutex_destroy(&section->mutex);
  delete section;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void SleepMilliseconds(uint32_t milliseconds) {
  timespec ts;
  ts.tv_sec = milliseconds / 1000;
  ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

int LastSyncError() { return t_sync_error; }

}  // namespace platform
