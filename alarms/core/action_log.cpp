#include "alarms/core/action_log.h"

#include <mutex>

#include "platform/os_file.h"

std::string FormatAlarmLogEntry(const std::string& action, const std::string& eventName, const std::string& date,
                                const std::string& time, const std::string& error) {
  return "Action: " + action + "\r\nEvent: " + eventName + "\r\nDate/Time: " + date + " " + time +
         "\r\nError Message: " + error + "\r\n\r\n";
}

namespace {
std::mutex& LogMutex() {
  static std::mutex m;
  return m;
}

platform::OsFile* OpenOrCreate(const std::string& path) {
  using namespace platform;
  // Two tries: another writer may create the file between our open and
  // create.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (OsFile* f = OpenOsFile(path.c_str(), FileShare::kShared, FileDisposition::kOpenExisting)) return f;
    if (LastFileError() != kFileNotFound) return nullptr;
    if (OsFile* f = OpenOsFile(path.c_str(), FileShare::kShared, FileDisposition::kCreateNew)) return f;
    if (LastFileError() != kFileExists) return nullptr;
  }
  return nullptr;
}
}  // namespace

bool AppendAlarmLog(const std::string& path, const std::string& text) {
  std::lock_guard<std::mutex> lock(LogMutex());
  platform::OsFile* f = OpenOrCreate(path);
  if (!f) return false;
  uint64_t size = 0;
  bool ok = platform::OsFileSize(f, &size) && size < 0xFFFFFFFFull - text.size() &&
            platform::SeekOsFile(f, static_cast<uint32_t>(size));
  uint32_t done = 0;
  ok = ok && platform::WriteOsFile(f, text.data(), static_cast<uint32_t>(text.size()), &done) && done == text.size();
  return platform::CloseOsFile(f) && ok;
}

std::string ReadAlarmLog(const std::string& path) {
  platform::OsFile* f = platform::OpenOsFile(path.c_str(), platform::FileShare::kReadOnly,
                                             platform::FileDisposition::kOpenExisting);
  if (!f) return std::string();
  std::string text;
  char buf[4096];
  for (;;) {
    uint32_t done = 0;
    if (!platform::ReadOsFile(f, buf, sizeof buf, &done) || done == 0) break;
    text.append(buf, done);
  }
  platform::CloseOsFile(f);
  return text;
}
