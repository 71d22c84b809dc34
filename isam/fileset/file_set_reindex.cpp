#include "isam/fileset/file_set_reindex.h"

#include <algorithm>
#include <map>
#include <vector>

#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/index/key_compare.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

// The data file's live records by position; any header that does not make
// sense is damage.
int LiveRecords(FileControlBlock* fcb, std::map<uint32_t, std::vector<uint8_t>>* out) {
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint64_t end = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  for (uint64_t position = FirstVarPosition(fcb); position < end;) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, static_cast<uint32_t>(position), &h)) return rc;
    if (CheckRecordMark(h) != 0 || h.total < hlen || position + h.total > end) return kErrFileDamaged;
    if (h.member == fcb->header.superfile_member && h.mark == kMarkActive && h.used > 0) {
      if (h.used > h.total - hlen) return kErrFileDamaged;
      std::vector<uint8_t> data(h.used);
      if (ReadVarRecordAt(fcb, static_cast<uint32_t>(position), data.data(), static_cast<int32_t>(h.used), true) < 0)
        return kErrFileDamaged;
      out->emplace(static_cast<uint32_t>(position), std::move(data));
    }
    position += h.total;
  }
  return 0;
}

int EmptyIndex(int16_t k) {
  FileControlBlock* fcb = CheckFileNumber(k);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  ReleaseFileNodes(k, true);
  return WriteFileHeader(fcb);
}

}  // namespace

int RebuildIndexesFromRecords(int data_file) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  IsamTables* t = CurrentIsamTables();
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (t == nullptr || data_file >= static_cast<int>(t->files.size())) return 48;
  if (int rc = ReadFileHeader(fcb)) return rc;
  std::map<uint32_t, std::vector<uint8_t>> records;
  if (int rc = LiveRecords(fcb, &records)) return rc;
  uint8_t built[256];
  for (int16_t k : t->files[static_cast<std::size_t>(data_file)].keys) {
    // Added in key order, the tree fills from the left as a load does.
    std::map<std::vector<uint8_t>, uint32_t> keys;
    for (const auto& r : records) {
      const int n = BuildRecordKey(k, r.second.data(), r.second.size(), r.first, built);
      if (n < 0) return -n;
      if (n > 0 && !keys.emplace(std::vector<uint8_t>(built, built + n), r.first).second) return kErrFileDamaged;
    }
    if (int rc = EmptyIndex(k)) return rc;
    for (const auto& key : keys) {
      if (int rc = addkey(k, key.first.data(), key.second, 0)) return rc == 2 ? kErrFileDamaged : rc;
    }
  }
  return 0;
}

int FindTracesOfLostWrites(int data_file) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  IsamTables* t = CurrentIsamTables();
  if (fcb == nullptr || t == nullptr || data_file >= static_cast<int>(t->files.size())) return 0;
  std::map<uint32_t, std::vector<uint8_t>> records;
  if (ReadFileHeader(fcb) != 0 || LiveRecords(fcb, &records) != 0) return 0;
  const uint32_t hlen = VarHeaderLength(fcb);
  for (const auto& r : records)
    if (RecordHoldsFill(r.second.data(), r.second.size(), static_cast<uint64_t>(r.first) + hlen, true))
      return kErrFileDamaged;
  const uint64_t bound = static_cast<uint64_t>(HolderOf(fcb)->header.logical_end) / 4 + 64;
  uint8_t key[256], built[256];
  for (int16_t k : t->files[static_cast<std::size_t>(data_file)].keys) {
    const int length = IsamKeyLength(k);
    bool stray = false;
    uint64_t steps = 0;
    SetEngineError(0);
    for (uint32_t p = frskey(k, key); p != 0 && ++steps < bound; p = IndexNextKey(k, key)) {
      // A key past the data's end names no stretch a writer of this file
      // made (no crash leaves one): the mend drops it as before.
      if (p > fcb->header.logical_end) continue;
      auto r = records.find(p);
      const int n = r == records.end() ? 0 : BuildRecordKey(k, r->second.data(), r->second.size(), p, built);
      if (n != length || KeyCompare(built, key, static_cast<std::size_t>(length)) != 0)
        stray = true;
    }
    const bool walked = CurrentInstance()->eng_err == 0 && steps < bound;
    SetEngineError(0);
    if (walked && stray) return kErrFileDamaged;
  }
  return 0;
}

int CheckFileSetWhole(int data_file) {
  FileSetReport report;
  return CheckFileSet(data_file, &report);
}

bool RecordHoldsFill(const uint8_t* data, std::size_t length, uint64_t data_position, bool pieces) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < length; ++i) {
    run = data[i] == 0xFF ? run + 1 : 0;
    if (run >= kFillRun) return true;
  }
  std::size_t from = 0;
  while (pieces && from < length) {
    const uint64_t page_end = (data_position + from) / kFillPage * kFillPage + kFillPage;
    const std::size_t to = std::min<uint64_t>(length, page_end - data_position);
    bool fill = pieces;
    for (std::size_t i = from; fill && i < to; ++i) fill = data[i] == 0xFF;
    if (fill) return true;
    from = to;
  }
  return false;
}

}  // namespace isam
