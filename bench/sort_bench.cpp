// Speed of the external merge sort: 10^5 and 10^6 random keys of 16 and
// 204 bytes through the engine's default sort memory (work files in a
// fresh temporary folder). Prints keys per second (adding and delivering
// together), the growth from 10^5 to 10^6 beside n log n's 12, the runs
// spilled, the merges and the bytes written to work files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "isam/engine_api.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_layer.h"
#include "isam/maint/sort/merge_sort.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/thread_layer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Result {
  double seconds = 0;
  isam::maint::SortStats stats;
  bool ok = false;
};

Result Run(int key_length, int count, std::mt19937_64& rng) {
  std::vector<uint8_t> keys(static_cast<std::size_t>(key_length) * static_cast<std::size_t>(count));
  for (auto& b : keys) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> out(static_cast<std::size_t>(key_length)), last(out.size(), 0);
  Result r;
  const Clock::time_point start = Clock::now();
  isam::SortContext* c = isam::maint::SortCreate(key_length, 5);
  if (c == nullptr) return r;
  for (int i = 0; i < count; ++i) {
    if (isam::maint::SortAddKey(c, keys.data() + static_cast<std::size_t>(i) * key_length) != 0) return r;
  }
  int delivered = 0;
  int rc = isam::maint::SortNextKey(c, out.data());
  if (rc == 0) r.stats = isam::maint::SortStatsOf(c);
  for (; rc == 0; rc = isam::maint::SortNextKey(c, out.data())) {
    if (std::memcmp(last.data(), out.data(), out.size()) > 0) return r;  // out of order
    last = out;
    ++delivered;
  }
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.ok = rc == 1 && delivered == count;
  return r;
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "almacora_sort_bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  isam::EngineThreadLayerStart(2, 0);
  isam::InstallFileLayer();
  if (int rc = isam::EngineStart(32, 40, 6, 6, 515, "", "", "")) {
    std::printf("engine start failed: %d\n", rc);
    return 1;
  }
  std::printf("sort memory limit %d bytes per block\n", isam::CurrentInstance()->sort_buffer_limit);
  std::mt19937_64 rng(20261209);
  for (int key_length : {16, 204}) {
    double small_seconds = 0;
    for (int count : {100000, 1000000}) {
      const Result r = Run(key_length, count, rng);
      if (!r.ok) {
        std::printf("%3d-byte keys x %7d: sort failed\n", key_length, count);
        return 1;
      }
      std::printf("%3d-byte keys x %7d: %10.0f keys/s  %6.2f s  block %5d  runs %5d  merges %4d  work bytes %11llu",
                  key_length, count, count / r.seconds, r.seconds, r.stats.block_size, r.stats.runs_written,
                  r.stats.merges, static_cast<unsigned long long>(r.stats.work_bytes));
      if (count == 100000) {
        small_seconds = r.seconds;
        std::printf("\n");
      } else {
        std::printf("  growth x%.1f (n log n: x12.0)\n", r.seconds / small_seconds);
      }
    }
  }
  isam::EngineStop();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(dir);
  return 0;
}
