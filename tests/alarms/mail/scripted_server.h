// A one-connection TCP server on 127.0.0.1 that plays a script on its own
// thread, for tests of clients facing broken or hostile servers. It runs in
// the test executable, so it runs under Wine too.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "platform/tick.h"

namespace testsupport {

class ScriptedServer {
 public:
  class Peer {
   public:
    Peer(platform::SocketHandle s, const std::atomic<bool>* stop) : s_(s), stop_(stop) {}
    bool Stopped() const { return stop_->load(); }
    // False once the client is gone or the test ended.
    bool Send(const std::string& text) {
      return !Stopped() && platform::SendAll(s_, text.data(), text.size(), 5000) == platform::kSocketOk;
    }
    // One line without its CR LF; false on close, stop, or 10 s of silence.
    bool ReadLine(std::string* line) {
      line->clear();
      const uint64_t start = platform::TickMs();
      for (;;) {
        size_t lf = buffer_.find('\n');
        if (lf != std::string::npos) {
          *line = buffer_.substr(0, lf);
          if (!line->empty() && line->back() == '\r') line->pop_back();
          buffer_.erase(0, lf + 1);
          received += *line + "\n";
          return true;
        }
        if (Stopped() || platform::TickMs() - start > 10000) return false;
        if (platform::WaitReadable(s_, 50) != platform::kSocketOk) continue;
        char b[4096];
        size_t got = 0;
        int rc = platform::ReceiveSome(s_, b, sizeof b, &got);
        if (rc == platform::kSocketWouldBlock) continue;
        if (rc != platform::kSocketOk || got == 0) return false;
        buffer_.append(b, got);
      }
    }
    // Waits until the client closes or the test ends.
    void Idle() {
      while (!Stopped()) {
        if (platform::WaitReadable(s_, 50) != platform::kSocketOk) continue;
        char b[4096];
        size_t got = 0;
        int rc = platform::ReceiveSome(s_, b, sizeof b, &got);
        if (rc == platform::kSocketWouldBlock) continue;
        if (rc != platform::kSocketOk || got == 0) return;
      }
    }
    void Pause(int ms) {
      const uint64_t end = platform::TickMs() + static_cast<uint64_t>(ms);
      while (!Stopped() && platform::TickMs() < end) Sleep(5);
    }
    std::string received;  // every line read, LF-separated

   private:
    static void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    platform::SocketHandle s_;
    const std::atomic<bool>* stop_;
    std::string buffer_;
  };

  explicit ScriptedServer(std::function<void(Peer&)> script) : script_(std::move(script)) {
    uint32_t loopback = 0x7F000001;
    if (platform::OpenTcpSocket(&listener_) == 0 && platform::BindSocket(listener_, loopback, 0) == 0 &&
        platform::ListenSocket(listener_, 4) == 0)
      platform::LocalPort(listener_, &port_);
    thread_ = std::thread([this] { Run(); });
  }
  ~ScriptedServer() {
    Finish();
    platform::CloseSocket(listener_);
  }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int Port() const { return port_; }
  // What the script read. Call after the client has closed: waits for the
  // script to end by itself.
  std::string Received() {
    if (thread_.joinable()) thread_.join();
    return received_;
  }

 private:
  void Finish() {
    if (thread_.joinable()) {
      stop_ = true;
      thread_.join();
    }
  }
  void Run() {
    platform::SocketHandle client = platform::kNoSocket;
    while (!stop_ && port_ != 0) {
      if (platform::AcceptSocket(listener_, 50, &client) == platform::kSocketOk) break;
    }
    if (client == platform::kNoSocket) return;
    Peer peer(client, &stop_);
    script_(peer);
    received_ = peer.received;
    platform::CloseSocket(client);
  }

  std::function<void(Peer&)> script_;
  platform::SocketHandle listener_ = platform::kNoSocket;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::string received_;
  std::thread thread_;
};

}  // namespace testsupport
