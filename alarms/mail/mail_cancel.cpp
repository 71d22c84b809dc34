#include "alarms/mail/mail_cancel.h"

#include <algorithm>

void CMailCancel::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  for (platform::SocketHandle s : sockets_) platform::ShutdownSocket(s);
}

bool CMailCancel::IsCancelled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cancelled_;
}

bool CMailCancel::Add(platform::SocketHandle socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cancelled_) return false;
  sockets_.push_back(socket);
  return true;
}

void CMailCancel::CloseAndRemove(platform::SocketHandle socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  sockets_.erase(std::remove(sockets_.begin(), sockets_.end(), socket), sockets_.end());
  platform::CloseSocket(socket);
}
