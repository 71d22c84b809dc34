// Internal to platform/: the memory image behind write combining
// (write_combining.h) and the calls the two OS file sides make.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/os_file.h"

namespace platform {

class WriteCombiner {
 public:
  static constexpr uint32_t kPage = 4096;
  static constexpr uint32_t kMaxPiece = 1u << 20;

  // Takes the file's present bytes as the image; nothing is dirty.
  explicit WriteCombiner(std::vector<uint8_t> bytes) : image_(std::move(bytes)) {}

  void Seek(uint32_t position) { position_ = position; }
  // As a read at end of file: the bytes there are, from the position.
  uint32_t Read(void* buffer, uint32_t length);
  // False (nothing written) when the image cannot grow to hold it.
  bool Write(const void* buffer, uint32_t length);
  uint64_t Size() const { return image_.size(); }
  // Hands the dirty runs to `put` in file order; stops at the first that
  // fails (it and the runs after it stay dirty).
  bool WriteOut(const std::function<bool(uint32_t at, const uint8_t* data, uint32_t length)>& put);

 private:
  std::vector<uint8_t> image_;
  std::vector<bool> dirty_;  // per page
  uint32_t position_ = 0;
};

// The side's slot for a handle's combiner (null when it has none).
WriteCombiner*& CombinerOf(OsFile* file);

// Called by the side's OpenOsFile once the handle is made: an exclusive
// open of a path with a live scope gets a combiner holding the file's
// bytes (read through the plain calls). When those cannot be read the
// handle simply works uncombined.
void AttachWriteCombiner(OsFile* file, const char* path, FileShare share);
// Called by the side's CloseOsFile first: writes a combined handle's pages
// out through the plain calls and drops its combiner. False with the
// failing write's code as the thread's file error.
bool DetachWriteCombiner(OsFile* file);

}  // namespace platform
