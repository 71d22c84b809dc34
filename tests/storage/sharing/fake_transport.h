// A scripted network for the transfers: each HTTP request takes the next
// reply of the script (then `otherwise`), FTP serves a map of files behind
// one login. Time is the fake's own: dripping and stalled bodies move it.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "storage/services/calendar_transport.h"

namespace sharingtest {

struct Reply {
  enum Body { kWhole, kEndless, kEndlessLines, kDrip, kStall };
  int openError = 0;
  std::deque<int> sendErrors;  // of the sends of this request, then 0
  int status = 200;
  std::string location;
  std::string body;
  int64_t contentLength = -2;  // -2: the body's size; -1: not announced
  Body kind = kWhole;
  uint64_t sendMs = 0;     // what the status line and headers take to come
  size_t headerBytes = 0;
};

struct Seen {
  HttpRequestParams params;
  std::string headers;
  std::string body;
  int sends = 0;
};

class FakeTransport : public ICalendarTransport {
 public:
  std::deque<Reply> replies;
  Reply otherwise;  // 404 by default
  std::vector<Seen> seen;
  uint64_t now = 0;
  // FTP: files by path; the login it takes (empty: any).
  std::map<std::string, std::string> ftpFiles;
  std::string ftpUser, ftpPassword;
  std::vector<std::string> ftpOpened;  // "r path" / "w path" / "find path"
  std::vector<int> ftpPorts;
  bool cancelled = false;  // the user's cancel, as the window side reports it
  uint64_t deadline = 0;
  uint64_t ftpOpenMs = 0;  // what the server's greeting takes

  FakeTransport() { otherwise.status = 404; }

  std::unique_ptr<IHttpRequest> OpenHttp(const HttpRequestParams& params, int* error) override {
    Reply r = otherwise;
    if (!replies.empty()) {
      r = replies.front();
      replies.pop_front();
    }
    seen.push_back({params, "", "", 0});
    if (r.openError) {
      *error = r.openError;
      return nullptr;
    }
    return std::make_unique<Request>(this, seen.size() - 1, r);
  }
  std::unique_ptr<IFtpConnection> OpenFtp(const std::string&, int port, const std::string& user,
                                          const std::string& password, int* error) override {
    ftpPorts.push_back(port);
    if ((*error = Wait(ftpOpenMs)) != 0) return nullptr;
    if (!ftpUser.empty() && (user != ftpUser || password != ftpPassword)) {
      *error = 12014;
      return nullptr;
    }
    return std::make_unique<Ftp>(this);
  }
  std::string ErrorText(int error) override { return "Internet error " + std::to_string(error) + "."; }
  uint64_t NowMs() override { return now; }
  bool Cancelled() override { return cancelled; }
  void SetDeadline(uint64_t atMs) override { deadline = atMs; }
  // A call that takes `ms`, given up at the deadline as the real one is.
  int Wait(uint64_t ms) {
    now = deadline == 0 ? now + ms : std::min(now + ms, deadline);
    return deadline != 0 && now >= deadline ? 12002 : 0;
  }

 private:
  class Request : public IHttpRequest {
   public:
    Request(FakeTransport* t, size_t index, Reply r) : t_(t), index_(index), r_(std::move(r)) {}
    int Send() override { return t_->Wait(r_.sendMs) ? 12002 : NextSend(); }
    int BeginSend(const std::string& headers, size_t) override {
      t_->seen[index_].headers = headers;
      t_->seen[index_].body.clear();
      return 0;
    }
    int Write(const std::string& piece) override {
      t_->seen[index_].body += piece;
      return 0;
    }
    int EndSend() override { return NextSend(); }
    int Status() override { return r_.status; }
    std::string Location() override { return r_.location; }
    size_t HeaderBytes() override { return r_.headerBytes; }
    int64_t ContentLength() override {
      return r_.contentLength == -2 ? static_cast<int64_t>(r_.body.size()) : r_.contentLength;
    }
    int Read(char* buffer, size_t size, uint32_t idleMs, size_t* got) override {
      *got = 0;
      switch (r_.kind) {
        case Reply::kEndless:
        case Reply::kEndlessLines:
          std::memset(buffer, 'x', size);
          for (size_t i = 79; r_.kind == Reply::kEndlessLines && i < size; i += 80) buffer[i] = '\n';
          *got = size;
          return 0;
        case Reply::kDrip:
          t_->now += 1000;
          buffer[0] = 'x';
          *got = 1;
          return 0;
        case Reply::kStall:
          t_->now += idleMs;
          return 12002;
        case Reply::kWhole:
          break;
      }
      *got = std::min(size, r_.body.size() - at_);
      std::memcpy(buffer, r_.body.data() + at_, *got);
      at_ += *got;
      return 0;
    }

   private:
    int NextSend() {
      ++t_->seen[index_].sends;
      if (r_.sendErrors.empty()) return 0;
      const int e = r_.sendErrors.front();
      r_.sendErrors.pop_front();
      return e;
    }
    FakeTransport* t_;
    size_t index_;
    Reply r_;
    size_t at_ = 0;
  };

  class FtpFile : public IFtpFile {
   public:
    FtpFile(FakeTransport* t, std::string path, bool write) : t_(t), path_(std::move(path)), write_(write) {}
    int Read(char* buffer, size_t size, uint32_t, size_t* got) override {
      const std::string& data = t_->ftpFiles[path_];
      *got = std::min(size, data.size() - at_);
      std::memcpy(buffer, data.data() + at_, *got);
      at_ += *got;
      return 0;
    }
    int Write(const std::string& bytes) override {
      written_ += bytes;
      return 0;
    }
    int Close() override {
      if (write_) t_->ftpFiles[path_] = written_;
      return 0;
    }

   private:
    FakeTransport* t_;
    std::string path_;
    bool write_;
    size_t at_ = 0;
    std::string written_;
  };

  class Ftp : public IFtpConnection {
   public:
    explicit Ftp(FakeTransport* t) : t_(t) {}
    std::unique_ptr<IFtpFile> OpenFile(const std::string& path, bool forWriting, int* error) override {
      t_->ftpOpened.push_back((forWriting ? "w " : "r ") + path);
      if (!forWriting && !t_->ftpFiles.count(path)) {
        *error = 12003;
        return nullptr;
      }
      return std::make_unique<FtpFile>(t_, path, forWriting);
    }
    bool FindFile(const std::string& path, int* error) override {
      t_->ftpOpened.push_back("find " + path);
      *error = 0;
      return t_->ftpFiles.count(path) != 0;
    }

   private:
    FakeTransport* t_;
  };
};

// A reply of status 200 with that body.
inline Reply Ok(const std::string& body) {
  Reply r;
  r.body = body;
  return r;
}
inline Reply Status(int status, const std::string& location = std::string()) {
  Reply r;
  r.status = status;
  r.location = location;
  return r;
}

}  // namespace sharingtest
