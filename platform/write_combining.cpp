// Write combining (write_combining.h): the scopes, the handles combined
// under each, and the memory image. Both OS file sides call in here from
// their open and close.
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

struct Combined {
  std::string path;
  bool ordered = false;
  std::vector<OsFile*> files;  // open handles combined under the scope
};

std::mutex g_mutex;
std::vector<Combined> g_scopes;  // guarded by g_mutex
// Opens of any other file pay one relaxed load while no scope lives.
std::atomic<int> g_live{0};

// g_mutex held.
Combined* ScopeOf(const char* path) {
  for (Combined& c : g_scopes)
    if (c.path == path) return &c;
  return nullptr;
}

// g_mutex held.
void Forget(OsFile* file) {
  for (Combined& c : g_scopes) c.files.erase(std::remove(c.files.begin(), c.files.end(), file), c.files.end());
}

// Writes the handle's dirty pages through the plain calls.
bool WriteOut(OsFile* file) {
  WriteCombiner* combiner = CombinerOf(file);
  CombinerOf(file) = nullptr;
  const bool ok = combiner->WriteOut([file](uint32_t at, const uint8_t* data, uint32_t length) {
    uint32_t done = 0;
    return SeekOsFile(file, at) && WriteOsFile(file, data, length, &done);
  });
  CombinerOf(file) = combiner;
  return ok;
}

}  // namespace

WriteCombiningScope::WriteCombiningScope(std::string path, bool ordered) : path_(std::move(path)) {
  std::lock_guard<std::mutex> hold(g_mutex);
  g_scopes.push_back(Combined{path_, ordered, {}});
  g_live.fetch_add(1, std::memory_order_relaxed);
}

WriteCombiningScope::~WriteCombiningScope() {
  std::lock_guard<std::mutex> hold(g_mutex);
  auto it = std::find_if(g_scopes.begin(), g_scopes.end(), [&](const Combined& c) { return c.path == path_; });
  if (it != g_scopes.end()) g_scopes.erase(it);
  g_live.fetch_sub(1, std::memory_order_relaxed);
}

bool WriteCombiningScope::Finish() {
  std::vector<OsFile*> files;
  {
    std::lock_guard<std::mutex> hold(g_mutex);
    if (Combined* c = ScopeOf(path_.c_str())) files.swap(c->files);
  }
  // After a failure the other handles only turn plain, so the thread's
  // file error stays that of the failed write.
  bool ok = true;
  for (OsFile* file : files) {
    ok = ok && WriteOut(file);
    delete CombinerOf(file);
    CombinerOf(file) = nullptr;
  }
  return ok;
}

size_t WriteCombiner::CapacityFor(uint64_t size) {
  const uint64_t room = size + size / 2 + (1u << 20);
  return static_cast<size_t>(std::min<uint64_t>(room, 0x100000000ull));
}

uint32_t WriteCombiner::Read(void* buffer, uint32_t length) {
  if (position_ >= size_) return 0;
  const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(length, size_ - position_));
  std::memcpy(buffer, image_.get() + position_, n);
  position_ += n;
  return n;
}

bool WriteCombiner::GrowTo(uint64_t end) {
  if (end > capacity_) {
    const size_t capacity = static_cast<size_t>(std::min<uint64_t>(std::max<uint64_t>(end, 2ull * capacity_),
                                                                   0x100000000ull));
    std::unique_ptr<uint8_t[]> moved(new (std::nothrow) uint8_t[capacity]);
    if (!moved) return false;
    if (size_ > 0) std::memcpy(moved.get(), image_.get(), size_);
    image_ = std::move(moved);
    capacity_ = capacity;
  }
  // Bytes skipped past the end read as zero, as the OS fills a gap.
  std::memset(image_.get() + size_, 0, static_cast<size_t>(end) - size_);
  size_ = static_cast<size_t>(end);
  return true;
}

bool WriteCombiner::Write(const void* buffer, uint32_t length) {
  if (length == 0) return true;
  const uint64_t end = static_cast<uint64_t>(position_) + length;
  if (end > 0x100000000ull) return false;
  if (end > size_ && !GrowTo(end)) return false;
  const size_t pages = static_cast<size_t>((end + kPage - 1) / kPage);
  try {
    if (dirty_.size() < pages) dirty_.resize(pages, false);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::memcpy(image_.get() + position_, buffer, length);
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
    const uint64_t to = std::min<uint64_t>(static_cast<uint64_t>(q) * kPage, size_);
    if (to > from && !put(static_cast<uint32_t>(from), image_.get() + from, static_cast<uint32_t>(to - from)))
      return false;
    std::fill(dirty_.begin() + static_cast<std::ptrdiff_t>(p), dirty_.begin() + static_cast<std::ptrdiff_t>(q), false);
    p = q;
  }
  return true;
}

void AttachWriteCombiner(OsFile* file, const char* path, FileShare share) {
  if (share != FileShare::kExclusive || path == nullptr || g_live.load(std::memory_order_relaxed) == 0) return;
  std::lock_guard<std::mutex> hold(g_mutex);
  Combined* scope = ScopeOf(path);
  if (scope == nullptr) return;
  uint64_t size = 0;
  if (!OsFileSize(file, &size) || size >= 0x100000000ull) return;
  // Read straight into storage nobody zeroed: every byte of the file is
  // about to be overwritten by the read, and filling it first would touch
  // each page of a large file twice.
  const size_t capacity = WriteCombiner::CapacityFor(size);
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[capacity]);
  if (!bytes) return;
  try {
    scope->files.reserve(scope->files.size() + 1);
  } catch (const std::bad_alloc&) {
    return;
  }
  uint32_t done = 0;
  if (size > 0 && (!SeekOsFile(file, 0) || !ReadOsFile(file, bytes.get(), static_cast<uint32_t>(size), &done) ||
                   done != size))
    return;
  CombinerOf(file) = new (std::nothrow) WriteCombiner(std::move(bytes), static_cast<size_t>(size), capacity);
  if (CombinerOf(file) == nullptr) return;
  CombinerOf(file)->ordered = scope->ordered;
  scope->files.push_back(file);
}

int WriteOutForFlush(OsFile* file) {
  WriteCombiner* combiner = CombinerOf(file);
  if (combiner == nullptr || !combiner->ordered) return 0;
  return WriteOut(file) ? 1 : -1;
}

bool DetachWriteCombiner(OsFile* file) {
  if (CombinerOf(file) == nullptr) return true;
  {
    std::lock_guard<std::mutex> hold(g_mutex);
    Forget(file);
  }
  const bool ok = WriteOut(file);
  delete CombinerOf(file);
  CombinerOf(file) = nullptr;
  return ok;
}

}  // namespace platform
