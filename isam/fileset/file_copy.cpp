#include "isam/fileset/file_copy.h"

#include <algorithm>

#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"
#include "isam/runtime/os_file_layer.h"
#include "platform/os_file.h"

namespace isam {
namespace {

constexpr uint32_t kClearedHeaderField = 32;  // u32 the copy does not keep
constexpr uint32_t kClearedHeaderWidth = 4;

// Zeroes the bytes of the cleared header field that fall in this chunk.
void ClearHeaderField(uint8_t* chunk, uint32_t position, uint32_t count) {
  const uint32_t from = std::max(position, kClearedHeaderField);
  const uint32_t to = std::min(position + count, kClearedHeaderField + kClearedHeaderWidth);
  for (uint32_t at = from; at < to; ++at) chunk[at - position] = 0;
}

// The new file and its chunk buffer; a copy that does not finish leaves
// neither behind.
class CopyTarget {
 public:
  CopyTarget(const char* path, uint32_t chunk) : path_(path) {
    buffer_ = static_cast<uint8_t*>(EngineAlloc(static_cast<int32_t>(chunk)));
  }
  ~CopyTarget() {
    EngineFree(buffer_);
    if (file_ != nullptr) platform::CloseOsFile(file_);
    if (created_ && !finished_) platform::DeleteOsFile(path_);
  }
  CopyTarget(const CopyTarget&) = delete;
  CopyTarget& operator=(const CopyTarget&) = delete;

  uint8_t* buffer() const { return buffer_; }
  bool Create() {
    if (path_ == nullptr || path_[0] == '\0') return false;
    if (FindOpenFileByName(path_) >= 0) return false;  // never over a file the engine holds
    if (platform::OsFileExists(path_)) platform::DeleteOsFile(path_);
    file_ = platform::OpenOsFile(path_, platform::FileShare::kExclusive, platform::FileDisposition::kCreateNew);
    created_ = file_ != nullptr;
    return created_;
  }
  bool Write(uint32_t count) {
    uint32_t done = 0;
    return platform::WriteOsFile(file_, buffer_, count, &done) && done == count;
  }
  bool Finish() {
    const bool flushed = platform::FlushOsFile(file_);
    const bool closed = platform::CloseOsFile(file_);
    file_ = nullptr;
    finished_ = flushed && closed;
    return finished_;
  }

 private:
  const char* path_;
  uint8_t* buffer_ = nullptr;
  platform::OsFile* file_ = nullptr;
  bool created_ = false;
  bool finished_ = false;
};

}  // namespace

void AllowSharedFileCopy(bool allowed) {
  if (EngineInstance* inst = CurrentInstance()) inst->shared_copy_allowed = allowed;
}

int CopyFileToPath(int file, const char* path, uint32_t chunk_size, bool keep_header) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance() ? CurrentInstance()->eng_err : 26;
  if (IsShared(fcb) && !CurrentInstance()->shared_copy_allowed) return SetEngineError(62);
  if (chunk_size == 0) chunk_size = kDefaultCopyChunk;
  if (chunk_size > static_cast<uint32_t>(kEngineAllocMax)) return SetEngineError(82);
  uint32_t size = 0;
  EngineOsFile* source = &HolderOf(fcb)->os;
  if (int rc = OsFileSizeChecked(source, &size)) return SetEngineError(rc);
  CopyTarget target(path, chunk_size);
  if (target.buffer() == nullptr) return SetEngineError(82);
  if (!target.Create()) return SetEngineError(657);
  uint32_t copied = 0;
  while (copied < size) {
    const uint32_t want = std::min(chunk_size, size - copied);
    int32_t count = 0;
    const int rc = FilePositionedIo(0, source, copied, target.buffer(), static_cast<int32_t>(want), &count);
    if (rc != 0 && rc != 36) return SetEngineError(rc);
    const uint32_t got = count > 0 ? static_cast<uint32_t>(count) : 0;
    if (!keep_header) ClearHeaderField(target.buffer(), copied, got);
    if (got > 0 && !target.Write(got)) return SetEngineError(658);
    copied += got;
    if (rc == 36 || got < want) break;  // the end of the file came early
  }
  if (copied < size) return SetEngineError(659);
  if (!target.Finish()) return SetEngineError(658);
  return SetEngineError(0);
}

}  // namespace isam
