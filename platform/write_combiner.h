// Internal to platform/: the memory image behind write combining
// (write_combining.h) and the calls the two OS file sides make.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/os_file.h"

namespace platform {

class WriteCombiner {
 public:
  static constexpr uint32_t kPage = 4096;
  static constexpr uint32_t kMaxPiece = 1u << 20;

  // Takes the file's present bytes (the first `size` of `bytes`, which
  // holds `capacity`) as the image; nothing is dirty. The bytes past `size`
  // are never read before they are written or zeroed.
  WriteCombiner(std::unique_ptr<uint8_t[]> bytes, size_t size, size_t capacity)
      : image_(std::move(bytes)), size_(size), capacity_(capacity) {}
  // Room for a file of `size` bytes and what a batch of writes adds to it:
  // a held file grows by index nodes and records, and an image that has to
  // move copies (and touches afresh) every page it holds. Pages of the room
  // never written cost no memory.
  static size_t CapacityFor(uint64_t size);

  void Seek(uint32_t position) { position_ = position; }
  // As a read at end of file: the bytes there are, from the position.
  uint32_t Read(void* buffer, uint32_t length);
  // False (nothing written) when the image cannot grow to hold it.
  bool Write(const void* buffer, uint32_t length);
  uint64_t Size() const { return size_; }
  bool ordered = false;  // flushes write the pages out first (write_combining.h)
  // Hands the dirty runs to `put` in file order; stops at the first that
  // fails (it and the runs after it stay dirty).
  bool WriteOut(const std::function<bool(uint32_t at, const uint8_t* data, uint32_t length)>& put);

 private:
  // Grows the image to `end` bytes, the new ones zero; false when it cannot.
  bool GrowTo(uint64_t end);

  std::unique_ptr<uint8_t[]> image_;
  size_t size_ = 0;
  size_t capacity_ = 0;
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
// Called by the side's FlushOsFile for a combined handle: 0 when the flush
// is answered in memory (the pages go out at Finish or the close); 1 when
// the handle's scope is ordered and its pages went out (the OS flush is
// then the side's to make); -1 when a page write failed (its code as the
// thread's file error).
int WriteOutForFlush(OsFile* file);
// Called by the side's CloseOsFile first: writes a combined handle's pages
// out through the plain calls and drops its combiner. False with the
// failing write's code as the thread's file error.
bool DetachWriteCombiner(OsFile* file);

}  // namespace platform
