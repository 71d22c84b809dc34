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
  // the file could not be opened). Entries nest: an Enter while held
  // answers true at once, and the lock goes only with the Leave that
  // matches the first Enter, so an inner scope cannot drop an outer hold.
  bool Enter(uint32_t limitMs = 20000);
  void Leave();
  bool held() const { return depth_ > 0; }

 private:
  std::string path_;
  platform::OsFile* file_ = nullptr;
  int depth_ = 0;
};

// Enters for the life of a scope.
class SerialSectionScope {
 public:
  explicit SerialSectionScope(SerialSection* section) : section_(section) {
    entered_ = section_ != nullptr && section_->Enter();
  }
  ~SerialSectionScope() { Release(); }
  bool entered() const { return entered_; }
  // Leaves before the scope ends: what follows (a publish that may talk to
  // a server and ask the user) must not keep other processes waiting.
  void Release() {
    if (entered_) section_->Leave();
    entered_ = false;
  }
  SerialSectionScope(const SerialSectionScope&) = delete;
  SerialSectionScope& operator=(const SerialSectionScope&) = delete;

 private:
  SerialSection* section_;
  bool entered_ = false;
};
