#include "storage/convert/file_bytes.h"

#include <vector>

#include "platform/os_file.h"

namespace {

class FileCloser {
 public:
  explicit FileCloser(platform::OsFile* file) : file_(file) {}
  ~FileCloser() { platform::CloseOsFile(file_); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  platform::OsFile* file_;
};

}  // namespace

bool ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string* bytes, int* nativeError) {
  *nativeError = 0;
  bytes->clear();
  platform::OsFile* file =
      platform::OpenOsFile(path.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  if (!file) {
    *nativeError = platform::LastNativeFileError();
    return false;
  }
  FileCloser closer(file);
  uint64_t size = 0;
  if (!platform::OsFileSize(file, &size)) {
    *nativeError = platform::LastNativeFileError();
    return false;
  }
  if (size > maxBytes) return false;
  bytes->resize(static_cast<size_t>(size));
  uint32_t done = 0;
  if (size > 0 && !platform::ReadOsFile(file, &(*bytes)[0], static_cast<uint32_t>(size), &done)) {
    *nativeError = platform::LastNativeFileError();
    bytes->clear();
    return false;
  }
  bytes->resize(done);
  return true;
}

bool CopyToNewFile(const std::string& from, const std::string& to) {
  platform::OsFile* in =
      platform::OpenOsFile(from.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  if (!in) return false;
  FileCloser inCloser(in);
  platform::OsFile* out =
      platform::OpenOsFile(to.c_str(), platform::FileShare::kExclusive, platform::FileDisposition::kCreateNew);
  if (!out) return false;
  bool ok = true;
  {
    FileCloser outCloser(out);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      uint32_t got = 0;
      if (!platform::ReadOsFile(in, buffer.data(), static_cast<uint32_t>(buffer.size()), &got)) {
        ok = false;
        break;
      }
      if (got == 0) break;
      uint32_t put = 0;
      if (!platform::WriteOsFile(out, buffer.data(), got, &put) || put != got) {
        ok = false;
        break;
      }
    }
    if (ok && !platform::FlushOsFile(out)) ok = false;
  }
  if (!ok) platform::DeleteOsFile(to.c_str());
  return ok;
}
