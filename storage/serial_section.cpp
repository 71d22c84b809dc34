#include "storage/serial_section.h"

#include "platform/byte_lock.h"
#include "platform/os_file.h"
#include "platform/sync.h"

SerialSection::SerialSection(const std::string& path) : path_(path) {}

SerialSection::~SerialSection() {
  if (depth_ > 0) platform::UnlockOsFileRange(file_, kLockByte, 1);
  platform::CloseOsFile(file_);
}

bool SerialSection::Enter(uint32_t limitMs) {
  if (depth_ > 0) {
    ++depth_;
    return true;
  }
  if (file_ == nullptr) {
    file_ = platform::OpenOsFile(path_.c_str(), platform::FileShare::kShared,
                                 platform::FileDisposition::kOpenExisting);
    if (file_ == nullptr) return false;
  }
  // Short pauses first: the holder only writes one record.
  uint32_t waited = 0;
  for (uint32_t pause = 1;; pause = pause < 16 ? pause * 2 : 16) {
    if (platform::LockOsFileRange(file_, kLockByte, 1)) {
      depth_ = 1;
      return true;
    }
    if (platform::LastFileError() != platform::kFileLockViolation || waited >= limitMs) return false;
    platform::SleepMilliseconds(pause);
    waited += pause;
  }
}

void SerialSection::Leave() {
  if (depth_ == 0 || --depth_ > 0) return;
  platform::UnlockOsFileRange(file_, kLockByte, 1);
}
