// SerialSection: the critical section, shared by every process that has one
// event file open, inside which change serials are taken and written. It is
// one lock byte of the file, taken through a handle of its own, on a byte
// the engine never locks (between its record lock bytes and its member
// slots). Win32 byte locks are exclusive per handle, so two calendars of
// one process exclude each other as two processes do.
#pragma once

#include <cstdint>
#include <string>

namespace platform {
struct OsFile;
}

class SerialSection {
 public:
  static constexpr uint32_t kLockByte = 0xFFFC0010u;

  explicit SerialSection(const std::string& path);
  ~SerialSection();
  SerialSection(const SerialSection&) = delete;
  SerialSection& operator=(const SerialSection&) = delete;

  // Waits up to limitMs for the lock; false when it could not be had (or
  // the file could not be opened). Enter does not nest.
  bool Enter(uint32_t limitMs = 20000);
  void Leave();
  bool held() const { return held_; }

 private:
  std::string path_;
  platform::OsFile* file_ = nullptr;
  bool held_ = false;
};

// Enters for the life of a scope.
class SerialSectionScope {
 public:
  explicit SerialSectionScope(SerialSection* section) : section_(section) {
    entered_ = section_ != nullptr && section_->Enter();
  }
  ~SerialSectionScope() {
    if (entered_) section_->Leave();
  }
  bool entered() const { return entered_; }
  SerialSectionScope(const SerialSectionScope&) = delete;
  SerialSectionScope& operator=(const SerialSectionScope&) = delete;

 private:
  SerialSection* section_;
  bool entered_ = false;
};
