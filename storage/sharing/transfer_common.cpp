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
  ICalendarTransport* t = GetStorageServices().transport;
  std::string text;
  if (t) text = t->ErrorText(error);
  if (text.empty()) text = Format("Internet error %d.", error, std::string());
  StorageMessage(text, PromptIcon::kError);
}

namespace {
bool g_loginCancelled = false;  // window thread only, as every transfer
}  // namespace

bool TransferCancelled() {
  if (g_loginCancelled) return true;
  ICalendarTransport* t = GetStorageServices().transport;
  return t != nullptr && t->Cancelled();
}

void BeginTransfer() { g_loginCancelled = false; }

bool AskLoginAgain(CCalendarFile& calendar, bool loginSent) {
  // Without this the box would only come back, and the user could not
  // tell a wrong password from a lost answer.
  if (loginSent) StorageMessage(sharing_text::kLoginRefused, PromptIcon::kExclamation);
  if (calendar.PromptLogin()) return true;
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
  const uint64_t start = t->NowMs();
  if (announced >= 0 && static_cast<uint64_t>(announced) > limits.maxBytes) {
    StorageMessage(sharing_text::kTooLarge, PromptIcon::kError);
    return false;
  }
  uint64_t total = 0;
  char chunk[4096];
  for (;;) {
    const uint64_t elapsed = t->NowMs() - start;
    if (elapsed >= limits.totalMs) {
      ShowNetworkError(12002);
      return false;
    }
    const uint64_t left = limits.totalMs - elapsed;
    size_t got = 0;
    const int error = read(chunk, sizeof chunk, static_cast<uint32_t>(left < limits.idleMs ? left : limits.idleMs), &got);
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
    body->append(chunk, got);
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
