// Write combining (write_combining.h): the scopes' paths and the memory
// image. Both OS file sides call in here from their open, flush and close.
#include "platform/write_combining.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "platform/write_combiner.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::vector<std::string> g_paths;  // guarded by g_mutex
// Opens of any other file pay one relaxed load while no scope lives.
std::atomic<int> g_scopes{0};

bool Combines(const char* path) {
  if (g_scopes.load(std::memory_order_relaxed) == 0 || path == nullptr) return false;
  std::lock_guard<std::mutex> hold(g_mutex);
  return std::find(g_paths.begin(), g_paths.end(), path) != g_paths.end();
}

}  // namespace

WriteCombiningScope::WriteCombiningScope(std::string path) : path_(std::move(path)) {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_paths.push_back(path_);
  g_scopes.fetch_add(1, std::memory_order_relaxed);
}

WriteCombiningScope::~WriteCombiningScope() {
  std::lock_guard<std::mutex> hold(g_mutex);
  auto it = std::find(g_paths.begin(), g_paths.end(), path_);
  if (it != g_paths.end()) g_paths.erase(it);
  g_scopes.fetch_sub(1, std::memory_order_relaxed);
}

uint32_t WriteCombiner::Read(void* buffer, uint32_t length) {
  if (position_ >= image_.size()) return 0;
  const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(length, image_.size() - position_));
  std::memcpy(buffer, image_.data() + position_, n);
  position_ += n;
  return n;
}

bool WriteCombiner::Write(const void* buffer, uint32_t length) {
  if (length == 0) return true;
  const uint64_t end = static_cast<uint64_t>(position_) + length;
  if (end > 0x100000000ull) return false;
  try {
    // Bytes skipped past the end read as zero, as the OS fills a gap.
    if (end > image_.size()) image_.resize(static_cast<size_t>(end), 0);
    const size_t pages = static_cast<size_t>((end + kPage - 1) / kPage);
    if (dirty_.size() < pages) dirty_.resize(pages, false);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::memcpy(image_.data() + position_, buffer, length);
  for (uint64_t p = position_ / kPage; p * kPage < end; ++p) dirty_[static_cast<size_t>(p)] = true;
  position_ = static_cast<uint32_t>(end);
  return true;
}

bool WriteCombiner::WriteOut(const std::function<bool(uint32_t, const uint8_t*, uint32_t)>& put) {
  const size_t pages = dirty_.size();
  for (size_t p = 0; p < pages;) {
    if (!dirty_[p]) {
      ++p;
      continue;
    }
    size_t q = p;
    while (q < pages && dirty_[q] && (q - p + 1) * kPage <= kMaxPiece) ++q;
    const uint64_t from = static_cast<uint64_t>(p) * kPage;
    const uint64_t to = std::min<uint64_t>(static_cast<uint64_t>(q) * kPage, image_.size());
    if (to > from && !put(static_cast<uint32_t>(from), image_.data() + from, static_cast<uint32_t>(to - from)))
      return false;
    std::fill(dirty_.begin() + static_cast<std::ptrdiff_t>(p), dirty_.begin() + static_cast<std::ptrdiff_t>(q), false);
    p = q;
  }
  return true;
}

void AttachWriteCombiner(OsFile* file, const char* path, FileShare share) {
  if (share != FileShare::kExclusive || !Combines(path)) return;
  uint64_t size = 0;
  if (!OsFileSize(file, &size) || size >= 0x100000000ull) return;
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return;
  }
  uint32_t done = 0;
  if (size > 0 && (!SeekOsFile(file, 0) || !ReadOsFile(file, bytes.data(), static_cast<uint32_t>(size), &done) ||
                   done != size))
    return;
  CombinerOf(file) = new (std::nothrow) WriteCombiner(std::move(bytes));
}

bool WriteOutCombined(OsFile* file) {
  WriteCombiner* combiner = CombinerOf(file);
  if (combiner == nullptr) return true;
  // The pieces go through the plain calls.
  CombinerOf(file) = nullptr;
  const bool ok = combiner->WriteOut([file](uint32_t at, const uint8_t* data, uint32_t length) {
    uint32_t done = 0;
    return SeekOsFile(file, at) && WriteOsFile(file, data, length, &done);
  });
  CombinerOf(file) = combiner;
  return ok;
}

}  // namespace platform
