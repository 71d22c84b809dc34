// A switch that ends the network waits of mail connections running on
// other threads, for the program's exit: once thrown, every registered
// socket is shut down (its waits wake at once), no new socket joins, and
// no guarded report (a log entry, a posted notice) starts any more.
#pragma once

#include <mutex>
#include <vector>

#include "platform/socket.h"

class CMailCancel {
 public:
  // Shuts down every registered socket and refuses new ones. When it
  // returns, no RunUnlessCancelled body is running or will run.
  void Cancel();
  bool IsCancelled() const;

  // Registers an open socket; false, leaving it alone, once cancelled.
  bool Add(platform::SocketHandle socket);
  // Unregisters and closes the socket. Under the lock, so Cancel never
  // shuts down a handle the system has already given to someone else.
  void CloseAndRemove(platform::SocketHandle socket);

  // Runs fn unless cancelled; false when it did not run.
  template <class F>
  bool RunUnlessCancelled(F fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) return false;
    fn();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  bool cancelled_ = false;
  std::vector<platform::SocketHandle> sockets_;
};
