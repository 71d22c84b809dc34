// Write combining for a new file this process fills alone.
//
// While a WriteCombiningScope for a path lives, an exclusive open of exactly
// that path (the same text) in this process keeps the file's bytes in
// memory: seeks, reads, writes and the size are answered there without an
// OS call. The pages written go out in file order, each run of adjacent
// pages as one write (at most 1 MB), at every FlushOsFile of the handle
// (before the device flush) and at its CloseOsFile, so the file on disk
// ends byte for byte as the same calls without combining would leave it.
//
// Only for a file nobody else can see yet: between two flushes the writes
// reach the disk in file order, not in the order they were made, so a
// crash in that time may leave a mix no writer ever made. Other handles and
// paths, and opens that are not exclusive, work as before.
//
// Failures: a write that cannot grow the memory image fails with
// kFileOtherError (nothing written); when a page fails to go out,
// FlushOsFile, or CloseOsFile (the handle still closed), fails with that
// write's code, and the pages after it are not written.
#pragma once

#include <string>

namespace platform {

class WriteCombiningScope {
 public:
  explicit WriteCombiningScope(std::string path);
  ~WriteCombiningScope();
  WriteCombiningScope(const WriteCombiningScope&) = delete;
  WriteCombiningScope& operator=(const WriteCombiningScope&) = delete;

 private:
  std::string path_;
};

}  // namespace platform
