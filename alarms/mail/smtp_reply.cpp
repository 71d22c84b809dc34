// Reading replies and sending commands: the stream half of CSMTPConnection.
#include "alarms/mail/mail_cancel.h"
#include "alarms/mail/mail_errors.h"
#include "alarms/mail/smtp_connection.h"
#include "platform/tick.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int LineCode(const std::string& line) {
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return -1;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// "250-..." goes on; any other line ends the reply.
bool IsContinuation(const std::string& line) { return LineCode(line) >= 0 && line.size() > 3 && line[3] == '-'; }

}  // namespace

uint32_t CSMTPConnection::ReceiveMore() {
  char buffer[4096];
  size_t got = 0;
  int rc = platform::ReceiveSome(socket_, buffer, sizeof buffer, &got);
  if (rc == platform::kSocketWouldBlock) return 0;
  if (rc != platform::kSocketOk) return static_cast<uint32_t>(rc);
  if (got == 0) return kMailErrorConnectionClosed;
  pending_.append(buffer, got);
  return 0;
}

uint32_t CSMTPConnection::ReadReply(int expectedCode) {
  const uint64_t start = platform::TickMs();
  const uint64_t idleLimit = static_cast<uint64_t>(replyTimeoutMs < 0 ? 0 : replyTimeoutMs);
  uint64_t lastData = start;
  std::string reply;  // complete lines of this reply, CR LF between them
  std::string line;
  uint32_t error = 0;
  for (;;) {
    // Take every complete line that has come.
    bool done = false;
    size_t at = 0;
    for (;;) {
      size_t lf = pending_.find('\n', at);
      if (lf == std::string::npos) break;
      line.assign(pending_, at, lf - at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      at = lf + 1;
      if (!reply.empty()) reply += "\r\n";
      reply += line;
      if (!IsContinuation(line)) {
        done = true;
        break;
      }
    }
    pending_.erase(0, at);
    if (done) break;
    if (reply.size() + pending_.size() > kMaxReplyBytes) {
      error = kMailErrorReplyTooLong;
      break;
    }
    const uint64_t now = platform::TickMs();
    const uint64_t idle = now - lastData, total = now - start;
    if (idle >= idleLimit || total >= 5 * idleLimit) {
      error = kMailErrorTimedOut;
      break;
    }
    uint64_t wait = idleLimit - idle;
    if (5 * idleLimit - total < wait) wait = 5 * idleLimit - total;
    // A shut-down socket does not wake every system's wait, so with a
    // cancel switch the wait is cut into slices that look at it.
    if (cancel) {
      if (cancel->IsCancelled()) {
        error = kMailErrorCancelled;
        break;
      }
      if (wait > kCancelSliceMs) wait = kCancelSliceMs;
    }
    int rc = platform::WaitReadable(socket_, static_cast<int>(wait));
    if (rc == platform::kSocketTimedOut) continue;
    if (rc != platform::kSocketOk) {
      error = static_cast<uint32_t>(rc);
      break;
    }
    size_t before = pending_.size();
    error = ReceiveMore();
    if (error) break;
    if (pending_.size() != before) lastData = platform::TickMs();
  }
  if (!failed_) {
    lastReply_ = error ? reply + (reply.empty() || pending_.empty() ? "" : "\r\n") + pending_ : reply;
    if (lastReply_.size() > kMaxReplyBytes) lastReply_.resize(kMaxReplyBytes);
    lastLine_ = error ? std::string() : line;
  }
  if (error) {
    // Whatever is left is no longer in step with our commands.
    broken_ = true;
    pending_.clear();
    return error;
  }
  return LineCode(line) == expectedCode ? 0 : kMailErrorUnexpectedReply;
}

void CSMTPConnection::DiscardLeftovers() {
  // Lines a server sent beyond its last reply must not answer the next
  // command. What has come already is dropped; a flood is not waited out.
  pending_.clear();
  size_t dropped = 0;
  while (dropped < kMaxReplyBytes && platform::WaitReadable(socket_, 0) == platform::kSocketOk) {
    if (ReceiveMore() != 0) break;  // a close shows again at the next read
    if (pending_.empty()) break;
    dropped += pending_.size();
    pending_.clear();
  }
}

uint32_t CSMTPConnection::SendText(const std::string& text) {
  int rc = platform::SendAll(socket_, text.data(), text.size(), replyTimeoutMs);
  if (rc != platform::kSocketOk) broken_ = true;
  return static_cast<uint32_t>(rc);
}

uint32_t CSMTPConnection::Command(const std::string& text, int expectedCode) {
  DiscardLeftovers();
  if (uint32_t e = SendText(text)) return e;
  return ReadReply(expectedCode);
}

bool CSMTPConnection::ReadCommandResponse(int expectedCode) {
  if (socket_ == platform::kNoSocket) return Fail(platform::kSocketNotConnected);
  if (uint32_t e = ReadReply(expectedCode)) return Fail(e);
  return true;
}
