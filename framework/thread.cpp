#include "framework/thread.h"

#include <process.h>

#include <memory>

namespace framework {

namespace {
unsigned __stdcall ThreadEntry(void* param) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
  (*body)();
  return 0;
}
}  // namespace

HANDLE StartWorkerThread(std::function<void()> body, int priority) {
  auto* heap = new std::function<void()>(std::move(body));
  unsigned id = 0;
  uintptr_t h = ::_beginthreadex(nullptr, 0, &ThreadEntry, heap, CREATE_SUSPENDED, &id);
  if (h == 0) {
    delete heap;
    return nullptr;
  }
  HANDLE thread = reinterpret_cast<HANDLE>(h);
  ::SetThreadPriority(thread, priority);
  ::ResumeThread(thread);
  return thread;
}

}  // namespace framework
