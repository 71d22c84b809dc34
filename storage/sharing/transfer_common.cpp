#include "storage/sharing/transfer_common.h"

#include <cstdio>
#include <vector>

#include "storage/calendar_file.h"
#include "storage/services/calendar_transport.h"
#include "storage/services/storage_services.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/sharing_texts.h"
#include "storage/sharing/transfers.h"

namespace sharing_detail {

ICalendarTransport* Transport() {
  ICalendarTransport* t = GetStorageServices().transport;
  if (t == nullptr) StorageMessage(sharing_text::kNoTransport, PromptIcon::kError);
  return t;
}

void Step(ITransferProgress* progress, int step, const char* text) {
  if (progress) progress->Step(step, text);
}

void ShowNetworkError(int error) {
  if (error == kTransferCancelled) return;
  if (error == kTimedOut && PastDeadline()) {
    const int seconds = static_cast<int>(CurrentTransferLimits().totalMs / 1000);
    StorageMessage(Format(sharing_text::kTooSlow, seconds, std::string()), PromptIcon::kError);
    return;
  }
  ICalendarTransport* t = GetStorageServices().transport;
  std::string text;
  if (t) text = t->ErrorText(error);
  if (text.empty()) text = Format("Internet error %d.", error, std::string());
  StorageMessage(text, PromptIcon::kError);
}

namespace {
bool g_loginCancelled = false;  // window thread only, as every transfer
uint64_t g_deadline = 0;        // when the transfer now running must end

// The whole time limit runs from here: the connection, the server's status
// line and headers and the body all count against it, so a server that
// drips any of them ends at the limit.
void StartClock() {
  ICalendarTransport* t = GetStorageServices().transport;
  if (!t) return;
  g_deadline = t->NowMs() + CurrentTransferLimits().totalMs;
  t->SetDeadline(g_deadline);
}
}  // namespace

bool PastDeadline() {
  ICalendarTransport* t = GetStorageServices().transport;
  return t != nullptr && g_deadline != 0 && t->NowMs() >= g_deadline;
}

int Late(int error) { return error == 0 && PastDeadline() ? kTimedOut : error; }

bool TransferCancelled() {
  if (g_loginCancelled) return true;
  ICalendarTransport* t = GetStorageServices().transport;
  return t != nullptr && t->Cancelled();
}

void BeginTransfer() {
  g_loginCancelled = false;
  StartClock();
}

bool AskLoginAgain(CCalendarFile& calendar, bool loginSent) {
  // Without this the box would only come back, and the user could not
  // tell a wrong password from a lost answer.
  if (loginSent) StorageMessage(sharing_text::kLoginRefused, PromptIcon::kExclamation);
  if (calendar.PromptLogin()) {
    // The time the user took over the box is not the server's.
    StartClock();
    return true;
  }
  g_loginCancelled = true;
  return false;
}

std::string Format(const char* pattern, int number, const std::string& text) {
  std::vector<char> buffer(text.size() + 256);
  std::snprintf(buffer.data(), buffer.size(), pattern, number, text.c_str());
  return buffer.data();
}

std::string Format(const char* pattern, const std::string& text, int number, const std::string& text2) {
  std::vector<char> buffer(text.size() + text2.size() + 256);
  std::snprintf(buffer.data(), buffer.size(), pattern, text.c_str(), number, text2.c_str());
  return buffer.data();
}

std::string Format(const char* pattern, const std::string& text) {
  std::vector<char> buffer(text.size() + 256);
  std::snprintf(buffer.data(), buffer.size(), pattern, text.c_str());
  return buffer.data();
}

bool ReadBounded(const std::function<int(char*, size_t, uint32_t, size_t*)>& read, int64_t announced,
                 std::string* body) {
  const TransferLimits limits = CurrentTransferLimits();
  ICalendarTransport* t = GetStorageServices().transport;
  if (announced >= 0 && static_cast<uint64_t>(announced) > limits.maxBytes) {
    StorageMessage(sharing_text::kTooLarge, PromptIcon::kError);
    return false;
  }
  uint64_t total = 0;
  size_t line = 0;  // bytes since the last line feed
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    const uint64_t now = t->NowMs();
    if (g_deadline != 0 && now >= g_deadline) {
      ShowNetworkError(kTimedOut);
      return false;
    }
    const uint64_t left = g_deadline != 0 ? g_deadline - now : limits.idleMs;
    size_t got = 0;
    const int error = Late(read(chunk.data(), chunk.size(), static_cast<uint32_t>(left < limits.idleMs ? left : limits.idleMs), &got));
    if (error != 0) {
      ShowNetworkError(error);
      return false;
    }
    if (got == 0) break;
    total += got;
    if (total > limits.maxBytes) {
      StorageMessage(sharing_text::kTooLarge, PromptIcon::kError);
      return false;
    }
    for (size_t i = 0; i < got; ++i) line = chunk[i] == '\n' ? 0 : line + 1;
    if (line > kMaxLineBytes) {
      StorageMessage(sharing_text::kLineTooLong, PromptIcon::kError);
      return false;
    }
    body->append(chunk.data(), got);
  }
  if (announced >= 0 && total < static_cast<uint64_t>(announced)) {
    StorageMessage(sharing_text::kNotWhole, PromptIcon::kError);
    return false;
  }
  return true;
}

void AppendLines(const std::string& raw, std::string* text) {
  size_t from = 0;
  while (from < raw.size()) {
    size_t end = raw.find('\n', from);
    const size_t next = end == std::string::npos ? raw.size() : end + 1;
    if (end == std::string::npos) end = raw.size();
    size_t stop = end;
    if (stop > from && raw[stop - 1] == '\r') --stop;
    text->append(raw, from, stop - from);
    text->push_back('\n');
    from = next;
  }
}

}  // namespace sharing_detail

TransferLimits& CurrentTransferLimits() {
  static TransferLimits limits;
  return limits;
}
