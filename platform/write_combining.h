// Write combining for a new file this process fills alone, before anyone
// else can see it (it is put in its place by a rename afterwards).
//
// While a WriteCombiningScope for a path lives, an exclusive open of exactly
// that path (the same text) in this process keeps the file's bytes in
// memory: seeks, reads, writes, the size and flushes are answered there
// without an OS call. Finish writes the pages written so far out in file
// order, each run of adjacent pages as one write of at most 1 MB, and turns
// the open handles back into plain ones (a FlushOsFile after it pushes the
// bytes to the device). A combined handle closed before Finish writes its
// pages out first.
// Either way the file on disk ends byte for byte as the same calls without
// combining would leave it.
//
// An ordered scope keeps the flushes: a flush of a combined handle writes
// its pages out (in file order) and then flushes the file, so what was
// written before a flush is on the disk before anything written after it,
// as without combining; between two flushes the disk may hold any part of
// the pages written since the first (what a power cut may leave anyway).
// Such a scope suits a file others may open later, held alone meanwhile.
//
// Until Finish the disk holds none of it, or (after a close) the pages in
// file order rather than the order they were written: a crash meanwhile may
// leave a file no writer ever made, which is why only a file nobody can see
// yet may be combined. Other paths, and opens that are not exclusive, work
// as always.
//
// Failures: a write that cannot grow the memory image fails with
// kFileOtherError (nothing written). Finish returns false when a page
// write failed, with its code in LastFileError(); the pages after it are
// not written, and the handles are left plain either way. A close whose pages fail to go out fails
// with that write's code (the handle is closed all the same).
#pragma once

#include <string>

namespace platform {

class WriteCombiningScope {
 public:
  explicit WriteCombiningScope(std::string path, bool ordered = false);
  // Handles still combined keep their pages until closed: call Finish first.
  ~WriteCombiningScope();
  WriteCombiningScope(const WriteCombiningScope&) = delete;
  WriteCombiningScope& operator=(const WriteCombiningScope&) = delete;

  bool Finish();

 private:
  std::string path_;
};

}  // namespace platform
