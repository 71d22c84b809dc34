// Speed of one B-link tree index: 100,000 random 16-byte keys inserted, then
// looked up in a different random order, in an exclusive index with the
// application's node size (6 sectors, 768 bytes). Prints operations per
// second for both phases and the node cache's requests and hits.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "isam/engine_api.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_layer.h"
#include "isam/index/key_search.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/thread_layer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kKeys = 100000;
constexpr int kKeyLength = 16;
constexpr int kFile = 1;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int buffers = argc > 1 ? std::atoi(argv[1]) : 256;
  const benchcal::ScratchDir scratch("almacora_index_bench");
  if (!scratch.ok()) return 1;
  const std::filesystem::path& dir = scratch.path();
  std::filesystem::current_path(dir);

  isam::EngineThreadLayerStart(2, 0);
  isam::InstallFileLayer();
  if (int rc = isam::EngineStart(static_cast<int16_t>(buffers), 20, 6, 6, 515, "", "", "")) {
    std::printf("engine start failed: %d\n", rc);
    return 1;
  }
  if (int rc = isam::CreateIndexFile(kFile, "bench.idx", kKeyLength, 0, 0, 0, 32768, 0)) {
    std::printf("index create failed: %d\n", rc);
    return 1;
  }
  std::mt19937_64 rng(20261209);
  std::vector<std::vector<uint8_t>> keys(kKeys, std::vector<uint8_t>(kKeyLength));
  for (auto& k : keys)
    for (auto& b : k) b = static_cast<uint8_t>(rng());

  isam::EngineInstance* inst = isam::CurrentInstance();
  Clock::time_point start = Clock::now();
  int failed = 0;
  for (int i = 0; i < kKeys; ++i)
    if (isam::addkey(kFile, keys[static_cast<std::size_t>(i)].data(), static_cast<uint32_t>(i + 1), 0) != 0) ++failed;
  const double insert_s = Seconds(start);
  const uint32_t insert_requests = inst->node_requests, insert_hits = inst->node_hits;

  std::shuffle(keys.begin(), keys.end(), rng);
  start = Clock::now();
  int missing = 0;
  for (const auto& k : keys)
    if (isam::FindKeyEqual(kFile, k.data(), nullptr) == 0) ++missing;
  const double lookup_s = Seconds(start);

  std::printf("index of %d random %d-byte keys, 768-byte nodes, %d node buffers\n", kKeys, kKeyLength, buffers);
  std::printf("insert: %10.0f ops/s  (%d failed)  node requests %u, hits %u (%.1f%%)\n", kKeys / insert_s, failed,
              insert_requests, insert_hits, 100.0 * insert_hits / (insert_requests ? insert_requests : 1));
  const uint32_t lr = inst->node_requests - insert_requests, lh = inst->node_hits - insert_hits;
  std::printf("lookup: %10.0f ops/s  (%d missing)  node requests %u, hits %u (%.1f%%)\n", kKeys / lookup_s, missing,
              lr, lh, 100.0 * lh / (lr ? lr : 1));
  isam::CloseFileEntry(kFile);
  isam::EngineStop();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  return failed == 0 && missing == 0 ? 0 : 1;
}
