// What one call of the platform's file layer costs: a positioned read and a
// positioned write of a 216-byte record, a byte-range lock with its unlock,
// and a size query, each timed over many calls on a warm 4 MB file opened
// shared. The engine's figures are sums of these: under Wine a lock or an
// unlock is a request to the Wine server, which is what sets the floor of
// an operation on a shared file there.
//
// Usage: os_call_bench [calls]   (default 20000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "platform/byte_lock.h"
#include "platform/os_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kRecord = 216;
constexpr uint32_t kSlots = 1024;
constexpr uint32_t kSpacing = 4096;

template <typename Step>
double MicrosecondsPerCall(int calls, Step step) {
  const auto t = Clock::now();
  for (int i = 0; i < calls; ++i)
    if (!step(static_cast<uint32_t>(i))) return -1;
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count() / calls;
}

}  // namespace

int main(int argc, char** argv) {
  const int calls = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (calls <= 0) {
    std::fprintf(stderr, "usage: os_call_bench [calls > 0]\n");
    return 2;
  }
  const benchcal::ScratchDir scratch("almacora_os_call_bench");
  if (!scratch.ok()) return 1;
  const std::string path = scratch.Path("calls.bin");
  std::filesystem::remove(path);
  platform::OsFile* f =
      platform::OpenOsFile(path.c_str(), platform::FileShare::kShared, platform::FileDisposition::kCreateNew);
  if (f == nullptr) {
    std::fprintf(stderr, "os_call_bench: cannot create %s (%d)\n", path.c_str(), platform::LastFileError());
    return 1;
  }
  std::vector<uint8_t> page(kSpacing, 0x5A);
  uint32_t done = 0;
  bool ok = true;
  for (uint32_t i = 0; i < kSlots && ok; ++i) ok = platform::WriteOsFile(f, page.data(), kSpacing, &done);
  auto at = [](uint32_t i) { return (i * 7919u) % kSlots * kSpacing; };
  auto read = [&](uint32_t i) {
    return platform::SeekOsFile(f, at(i)) && platform::ReadOsFile(f, page.data(), kRecord, &done);
  };
  auto write = [&](uint32_t i) {
    return platform::SeekOsFile(f, at(i)) && platform::WriteOsFile(f, page.data(), kRecord, &done);
  };
  // Lock bytes lie far above the data, as the engine's do.
  auto lock = [&](uint32_t i) {
    const uint32_t byte = 0xFFFB0000u - i % kSlots;
    return platform::LockOsFileRange(f, byte, 1) && platform::UnlockOsFileRange(f, byte, 1);
  };
  auto size = [&](uint32_t) {
    uint64_t bytes = 0;
    return platform::OsFileSize(f, &bytes);
  };
  std::printf("%d calls each, microseconds per call\n", calls);
  const struct {
    const char* what;
    double us;
  } rows[] = {
      {"positioned read of 216 bytes (seek + read)", ok ? MicrosecondsPerCall(calls, read) : -1},
      {"positioned write of 216 bytes (seek + write)", ok ? MicrosecondsPerCall(calls, write) : -1},
      {"byte-range lock and its unlock", ok ? MicrosecondsPerCall(calls, lock) : -1},
      {"file size", ok ? MicrosecondsPerCall(calls, size) : -1},
  };
  int failures = 0;
  for (const auto& r : rows) {
    if (r.us < 0) {
      std::printf("  %-46s FAILED (%d)\n", r.what, platform::LastFileError());
      ++failures;
    } else {
      std::printf("  %-46s %8.2f\n", r.what, r.us);
    }
  }
  platform::CloseOsFile(f);
  platform::DeleteOsFile(path.c_str());
  return failures == 0 ? 0 : 1;
}
