#include "tests/isam/fuzz/fuzz_inputs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "isam/fileset/isam_start.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/byte_range_locks.h"
#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "tests/isam/record/isam_record_test_set.h"

namespace isam_fuzz {
namespace {

using namespace isam;

void Fault(const char* what) {
  std::fprintf(stderr, "fuzz fault: %s\n", what);
  std::abort();
}

// The UID of a record as the calendar's UID key reads it: the text behind
// the fixed part up to its end mark, which a damaged record may lack.
std::string UidIn(const std::vector<uint8_t>& record) {
  if (record.size() <= 14) return {};
  const auto* text = reinterpret_cast<const char*>(record.data() + 14);
  std::size_t n = 0;
  while (14 + n < record.size() && text[n] != '\0') ++n;
  return std::string(text, n);
}

bool StartEngine() {
  static const bool installed = [] {
    InstallIsamLayer();
    return EngineThreadLayerStart(4, 0) == 0;
  }();
  if (!installed) return false;
  LockWaitPolicy quick;  // nobody else holds the file: no waiting
  quick.lock_tries = 2;
  quick.io_tries = 2;
  quick.pause_ms = 1;
  SetLockWaitPolicy(quick);
  return EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr) == 0;
}

void StopEngine() {
  CloseAllFiles();
  EngineStop();
}

// Walks one order from one end; it must end within `limit` steps.
std::vector<std::vector<uint8_t>> Walk(int file, bool forward, std::size_t limit) {
  std::vector<std::vector<uint8_t>> seen;
  std::vector<uint8_t> buf(70000);
  int32_t len = static_cast<int32_t>(buf.size());
  int rc = forward ? IsamRecordFirst(file, buf.data(), &len) : IsamRecordLast(file, buf.data(), &len);
  for (std::size_t steps = 0; rc == 0; ++steps) {
    if (steps > limit) Fault("a walk does not end");
    if (seen.size() < 8 && len > 0 && len <= static_cast<int32_t>(buf.size()))
      seen.emplace_back(buf.begin(), buf.begin() + len);
    len = static_cast<int32_t>(buf.size());
    rc = forward ? IsamRecordNext(file, buf.data(), &len) : IsamRecordPrevious(file, buf.data(), &len);
  }
  return seen;
}

void Exercise(CalendarFileSet& set, std::size_t size) {
  const std::size_t limit = size / 8 + 16;  // a record takes more than 8 bytes
  std::vector<std::vector<uint8_t>> records;
  for (const int index : {set.uid_key(), set.serial_key()}) {
    for (const bool forward : {true, false}) {
      auto seen = Walk(index, forward, limit);
      records.insert(records.end(), seen.begin(), seen.end());
    }
  }
  Walk(set.data_file(), true, limit);
  std::vector<uint8_t> buf(70000);
  for (const auto& r : records) {
    const auto t = UidTarget(UidIn(r));
    int32_t len = static_cast<int32_t>(buf.size());
    if (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) != 0) continue;
    const auto changed = EventRecord(UidIn(r), 77, 40, 'r');
    IsamRecordRewrite(set.data_file(), changed.data(), static_cast<int32_t>(changed.size()));
    break;
  }
  const auto added = EventRecord("fuzz-added", 5, 30);
  IsamRecordAdd(set.data_file(), added.data(), static_cast<int32_t>(added.size()));
  if (!records.empty()) {
    const auto t = UidTarget(UidIn(records.back()));
    int32_t len = static_cast<int32_t>(buf.size());
    if (IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) == 0)
      IsamRecordDelete(set.data_file());
  }
  Walk(set.uid_key(), true, limit + 1);
  Walk(set.serial_key(), false, limit + 1);
}

bool WriteFile(const std::string& path, const uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

void RunCalendarInput(const uint8_t* data, std::size_t size, const std::string& path) {
  if (!WriteFile(path, data, size)) Fault("cannot write the input file");
  if (!StartEngine()) Fault("engine start");
  {
    CalendarFileSet set(CalendarFileSet::MemberName(path));
    if (OpenFileSetFromIfil(set.block()) == 0) {
      Exercise(set, size);
      CloseFileSet(set.block());
    }
  }
  StopEngine();
  std::remove(path.c_str());
}

void RunEventRecordInput(const uint8_t* data, std::size_t size) {
  CCalEvent first;
  EventRecordHeader header;
  if (!DecodeEventRecord(data, size, &first, &header)) return;
  CFieldBuffer once;
  if (!EncodeEventRecord(first, header.kind, &once)) return;  // a value the writer refuses
  CCalEvent second;
  EventRecordHeader again;
  if (!DecodeEventRecord(once.GetData(), once.GetUsed(), &second, &again)) Fault("a written record does not read");
  CFieldBuffer twice;
  if (!EncodeEventRecord(second, again.kind, &twice)) Fault("a read record does not write again");
  if (once.GetUsed() != twice.GetUsed() || std::memcmp(once.GetData(), twice.GetData(), once.GetUsed()) != 0)
    Fault("writing a record read back changes it");
}

bool MakeSeedCalendar(const std::string& path, const std::string& unfinished_path) {
  std::remove(path.c_str());
  if (!StartEngine()) return false;
  bool ok = false;
  const int host = FindFreeFileNumbers(2);
  if (host >= 0 && CreateDataFile(host, path.c_str(), 0, 4096, static_cast<uint16_t>(kCalendarHostMode)) == 0) {
    CalendarFileSet set(CalendarFileSet::MemberName(path));
    ok = CreateFileSetFromIfil(set.block()) == 0;
    for (int i = 0; ok && i < 24; ++i) {
      const auto r = EventRecord("uid-" + std::to_string(i), static_cast<uint32_t>(i), static_cast<std::size_t>(i * 7));
      ok = IsamRecordAdd(set.data_file(), r.data(), static_cast<int32_t>(r.size())) == 0;
    }
    std::vector<uint8_t> buf(4096);
    for (int i = 0; ok && i < 24; i += 5) {
      const auto t = UidTarget("uid-" + std::to_string(i));
      int32_t len = 4096;
      ok = IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len) == 0;
      if (ok && i % 2 == 0) ok = IsamRecordDelete(set.data_file()) == 0;
      const auto r = EventRecord("uid-" + std::to_string(i), 100u + static_cast<uint32_t>(i), 300);
      if (ok && i % 2 == 1) ok = IsamRecordRewrite(set.data_file(), r.data(), static_cast<int32_t>(r.size())) == 0;
    }
    // The file as a writer that died now would leave it: counted as
    // unfinished in its header, so the open's mend runs on it.
    if (ok && !unfinished_path.empty()) {
      std::vector<uint8_t> bytes;
      if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
      }
      ok = !bytes.empty() && WriteFile(unfinished_path, bytes.data(), bytes.size());
    }
    if (set.data_file() >= 0) CloseFileSet(set.block());
  }
  StopEngine();
  return ok;
}

}  // namespace isam_fuzz
