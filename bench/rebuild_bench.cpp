// Speed of the file-set rebuild on a calendar-shaped plain set: variable
// records of 200 to 2,000 bytes with a unique 200-byte UID and a serial
// number, indexed by UID (unique) and by serial. For each size (10^5 and
// 10^6 records by default, or the counts given as arguments) prints the
// records per second of adding them one by one, of the whole rebuild, and
// of its two halves (data walk with the sorts' input; sorted output with
// the bottom-up loads), and the growth of the rebuild time from one size
// to the next (on standard error; the rebuild's own output goes to a
// file). Then the time to rebuild a set whose data file carries 10 MB of
// damage. Files live in a fresh temporary folder.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "isam/engine_api.h"
#include "isam/fileset/file_set.h"
#include "isam/fileset/isam_start.h"
#include "isam/maint/maint_layer.h"
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/thread_layer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

constexpr int kFixedPart = 208;  // serial (4), UID (200), 4 spare

struct Result {
  bool ok = false;
  const char* step = "create";
  int code = 0;
  double add = 0, rebuild = 0;
  isam::maint::RebuildTimes parts;
};

void TimeRebuild(isam::IfilBlock* block, Result* r) {
  r->step = "rebuild";
  const Clock::time_point start = Clock::now();
  r->code = isam::maint::RebuildFileSet(block);
  r->rebuild = Since(start);
  r->parts = isam::maint::LastRebuildTimes();
}

Result Run(int count, std::mt19937_64& rng) {
  Result r;
  const std::string name = "cal" + std::to_string(count);
  isam::KeySegment uid{4, 200, 0}, serial{0, 4, 3};
  isam::IndexDefinition indexes[2];
  indexes[0].key_length = 200;
  indexes[0].segment_count = 1;
  indexes[0].segments = &uid;
  indexes[1].key_length = 4;
  indexes[1].segment_count = 1;
  indexes[1].segments = &serial;
  isam::IfilBlock block;
  block.name = name.c_str();
  block.record_length = kFixedPart;
  block.data_extension = 16384;
  block.data_mode = 0x4;
  block.index_count = 2;
  block.index_extension = 16384;
  block.indexes = indexes;
  if ((r.code = isam::CreateFileSetFromIfil(&block)) != 0) return r;
  r.step = "add";
  std::vector<uint8_t> record(2000);
  std::uniform_int_distribution<int> length(200 > kFixedPart ? 200 : kFixedPart, 2000);
  const Clock::time_point add_start = Clock::now();
  for (int i = 0; i < count; ++i) {
    for (auto& b : record) b = static_cast<uint8_t>('a' + rng() % 26);
    std::memset(record.data(), 0, 4);
    if ((r.code = isam::IsamRecordAdd(block.assigned, record.data(), length(rng))) != 0) return r;
  }
  r.add = Since(add_start);
  r.step = "close";
  if ((r.code = isam::CloseFileSet(&block)) != 0) return r;
  TimeRebuild(&block, &r);
  r.ok = r.code == 0;
  return r;
}

// A set of about 13 MB whose data file has 10 MB of damage from 1 MB on:
// random bytes with, every 4 KB, a false record header whose stretch
// reaches past the damage without a valid header behind it, so every one
// of them is a resumption candidate the repair must weigh against the
// sound records after the damage. Times the whole rebuild (examination,
// repair, index loads).
Result RunDamaged(std::mt19937_64& rng, double* repair) {
  Result r;
  isam::KeySegment uid{4, 200, 0};
  isam::IndexDefinition index;
  index.key_length = 200;
  index.segment_count = 1;
  index.segments = &uid;
  isam::IfilBlock block;
  block.name = "damaged";
  block.record_length = kFixedPart;
  block.data_extension = 16384;
  block.data_mode = 0x4;
  block.index_count = 1;
  block.index_extension = 16384;
  block.indexes = &index;
  if ((r.code = isam::CreateFileSetFromIfil(&block)) != 0) return r;
  r.step = "add";
  std::vector<uint8_t> record(2000);
  std::uniform_int_distribution<int> length(kFixedPart, 2000);
  for (int i = 0; i < 12000; ++i) {
    for (auto& b : record) b = static_cast<uint8_t>('a' + rng() % 26);
    if ((r.code = isam::IsamRecordAdd(block.assigned, record.data(), length(rng))) != 0) return r;
  }
  r.step = "close";
  if ((r.code = isam::CloseFileSet(&block)) != 0) return r;
  r.step = "damage";
  std::FILE* f = std::fopen("damaged.dat", "r+b");
  if (f == nullptr) return r;
  constexpr uint32_t kFrom = 1 << 20, kLength = 10 << 20;
  std::vector<uint8_t> garbage(kLength);
  for (auto& b : garbage) b = static_cast<uint8_t>(rng());
  for (uint32_t at = 0; at + 10 <= kLength; at += 4096) {
    const uint32_t total = kLength - at + 3000, used = 0;
    garbage[at] = 0xFA;
    garbage[at + 1] = 0xFA;
    std::memcpy(&garbage[at + 2], &total, 4);
    std::memcpy(&garbage[at + 6], &used, 4);
  }
  const uint8_t corrupt = 1;  // flagged, so the examination repairs it
  const bool written = std::fseek(f, kFrom, SEEK_SET) == 0 && std::fwrite(garbage.data(), 1, kLength, f) == kLength &&
                       std::fseek(f, 56, SEEK_SET) == 0 && std::fwrite(&corrupt, 1, 1, f) == 1;
  if (std::fclose(f) != 0 || !written) return r;
  TimeRebuild(&block, &r);
  *repair = r.rebuild - r.parts.walk_and_sort - r.parts.load;
  r.ok = r.code == 0 || r.code == 652;  // a record cut by the damage may leave a key twice
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {100000, 1000000};
  const benchcal::ScratchDir scratch("almacora_rebuild_bench");
  if (!scratch.ok()) return 1;
  const std::filesystem::path& dir = scratch.path();
  std::filesystem::current_path(dir);
  // The rebuild's console output (progress marks) is not the figures.
  if (std::freopen("rebuild_bench.out", "w", stdout) == nullptr) return 1;
  isam::maint::InstallMaintLayer();
  isam::InstallIsamLayer();
  isam::EngineThreadLayerStart(2, 0);
  if (int rc = isam::EngineStart(64, 40, 32, 64, 515, "", "", "")) {
    std::fprintf(stderr, "engine start failed: %d\n", rc);
    return 1;
  }
  std::mt19937_64 rng(20261209);
  double previous = 0;
  for (int count : counts) {
    const Result r = Run(count, rng);
    if (!r.ok) {
      std::fprintf(stderr, "%8d records: %s failed with %d\n", count, r.step, r.code);
      return 1;
    }
    std::fprintf(stderr,
                 "%8d records: add one by one %9.0f rec/s | rebuild %9.0f rec/s (%.2f s: walk+sort %.2f s, "
                 "load %.2f s)",
                 count, count / r.add, count / r.rebuild, r.rebuild, r.parts.walk_and_sort, r.parts.load);
    if (previous > 0) std::fprintf(stderr, "  growth x%.1f", r.rebuild / previous);
    std::fprintf(stderr, "\n");
    previous = r.rebuild;
  }
  double repair = 0;
  const Result damaged = RunDamaged(rng, &repair);
  if (!damaged.ok) {
    std::fprintf(stderr, "10 MB damaged: %s failed with %d\n", damaged.step, damaged.code);
    return 1;
  }
  std::fprintf(stderr, "10 MB damaged: rebuild %.2f s (examination and repair %.2f s)\n", damaged.rebuild, repair);
  isam::EngineStop();
  std::fclose(stdout);  // the rebuild's output file, before its folder goes
  std::filesystem::current_path(dir.parent_path());
  return 0;
}
