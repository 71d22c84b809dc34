// Worker threads. A worker touches no window; it reports back by posting
// messages.
#pragma once

#include <windows.h>

#include <functional>

namespace framework {

// Starts `body` on a new thread. Returns the thread handle (the caller
// closes it), or null when the thread could not be started (then `body`
// never runs).
HANDLE StartWorkerThread(std::function<void()> body, int priority = THREAD_PRIORITY_NORMAL);

}  // namespace framework
