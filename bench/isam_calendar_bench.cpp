// Speed of a calendar-shaped file set: a unique 200-byte UID key and a
// change-serial key with duplicates over variable-length records of 200 to
// 2,000 bytes. Adds N records (100,000 by default), reads each back by UID
// in another order, scans the serial index, and rewrites 10% with a new
// length. Prints operations per second for each phase, also with the OS
// flushes' time taken out, and the OS calls (reads, writes, locks, flushes)
// per operation. The set is opened with the calendar's own (shared) modes
// unless "exclusive" is given.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "isam/fileset/isam_start.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/runtime_utils.h"
#include "platform/os_file_faults.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::vector<uint8_t> Record(const std::string& uid, uint32_t serial, std::size_t total) {
  std::vector<uint8_t> r(std::max(total, 14 + uid.size() + 1), 'x');
  r[0] = 0;
  r[1] = 1;
  isam::PutLe32(r.data() + 2, 1);
  isam::PutLe32(r.data() + 6, serial);
  isam::PutLe32(r.data() + 10, static_cast<uint32_t>(26 | ((uid.size() + 1) << 16)));
  std::memcpy(r.data() + 14, uid.c_str(), uid.size() + 1);
  return r;
}

platform::FileCallCounts g_phase_calls;

// Starts a phase: its OS calls count from here.
Clock::time_point Begin() {
  g_phase_calls = platform::FileCallsMade();
  return Clock::now();
}

void Report(const char* phase, int count, double seconds) {
  const platform::FileCallCounts now = platform::FileCallsMade();
  const double flush = now.flush_seconds - g_phase_calls.flush_seconds;
  const double n = count > 0 ? count : 1;
  auto per = [n](uint64_t a, uint64_t b) { return static_cast<double>(a - b) / n; };
  std::printf("%-22s %8d ops %8.2f s %10.0f ops/s  without flushes %10.0f ops/s"
              "  per op: reads %.2f writes %.2f locks %.2f flushes %.3f\n",
              phase, count, seconds, count / (seconds > 0 ? seconds : 1e-9),
              count / (seconds - flush > 0 ? seconds - flush : 1e-9), per(now.reads, g_phase_calls.reads),
              per(now.writes, g_phase_calls.writes), per(now.locks, g_phase_calls.locks),
              per(now.flushes, g_phase_calls.flushes));
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const bool exclusive = argc > 2 && std::strcmp(argv[2], "exclusive") == 0;
  const benchcal::ScratchDir scratch("almacora_calendar_bench");
  if (!scratch.ok()) return 1;
  const std::filesystem::path& dir = scratch.path();
  isam::InstallIsamLayer();
  isam::EngineThreadLayerStart(2, 0);
  if (isam::EngineStart(64, 2, 6, 64, 33, nullptr, nullptr, nullptr) != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  isam::CalendarFileSet set((dir / "bench").string());
  if (exclusive) {
    set.block()->data_mode = 0x46;
    set.block()->index_mode = 0x42;
  }
  if (isam::CreateFileSetFromIfil(set.block()) != 0) {
    std::printf("create failed\n");
    return 1;
  }
  std::mt19937 rng(7);
  std::vector<std::string> uids(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) uids[static_cast<std::size_t>(i)] = "event-" + std::to_string(rng()) + "-" + std::to_string(i) + "@bench";
  uint32_t serial = 0;
  auto t = Begin();
  for (const std::string& uid : uids) {
    const auto r = Record(uid, ++serial, 200 + rng() % 1801);
    if (isam::IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())) != 0) {
      std::printf("add failed\n");
      return 1;
    }
  }
  Report("add", count, Seconds(t));
  std::vector<std::string> order = uids;
  std::shuffle(order.begin(), order.end(), rng);
  std::vector<uint8_t> buf(4096);
  t = Begin();
  for (const std::string& uid : order) {
    std::vector<uint8_t> target(200, ' ');
    std::memcpy(target.data(), uid.data(), uid.size());
    int32_t len = 4096;
    if (isam::IsamRecordReadByKey(set.uid_key(), target.data(), isam::kReadEqual, buf.data(), &len) != 0) {
      std::printf("read failed\n");
      return 1;
    }
  }
  Report("read by UID", count, Seconds(t));
  t = Begin();
  int scanned = 0;
  int32_t len = 4096;
  for (int rc = isam::IsamRecordFirst(set.serial_key(), buf.data(), &len); rc == 0;
       rc = isam::IsamRecordNext(set.serial_key(), buf.data(), &len), len = 4096)
    ++scanned;
  Report("scan by serial", scanned, Seconds(t));
  const int rewrites = count / 10;
  t = Begin();
  const bool batched = argc > 3 && std::strcmp(argv[3], "batch") == 0 && isam::IsamWriteBatch(set.data_file(), 1) == 0;
  for (int i = 0; i < rewrites; ++i) {
    const std::string& uid = order[static_cast<std::size_t>(i)];
    std::vector<uint8_t> target(200, ' ');
    std::memcpy(target.data(), uid.data(), uid.size());
    len = 4096;
    if (isam::IsamRecordReadByKey(set.uid_key(), target.data(), isam::kReadEqual, buf.data(), &len) != 0) return 1;
    const auto r = Record(uid, ++serial, 200 + rng() % 1801);
    if (isam::IsamRecordRewrite(set.data_file(), r.data(), static_cast<int32_t>(r.size())) != 0) {
      std::printf("rewrite failed\n");
      return 1;
    }
  }
  if (batched && isam::IsamWriteBatch(set.data_file(), 0) != 0) return 1;  // as the calendar's bulk changes run
  Report(batched ? "read + rewrite, batch" : "read + rewrite", rewrites, Seconds(t));
  isam::IsamShutdown();
  return 0;
}
