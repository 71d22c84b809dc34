#include "isam/fileset/file_set_reindex.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "isam/fileset/file_set_check.h"
#include "isam/fileset/file_set_mend_report.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/header_lock.h"
#include "isam/index/key_compare.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {
namespace {

// Whether a sound stretch starts at `at`: a known mark, a length inside
// the data, and for a record a used length inside its stretch and bytes
// that match its check value.
bool SoundStretchAt(FileControlBlock* fcb, uint32_t at, uint64_t end) {
  VarRecordHeader h;
  if (ReadVarRecordHeader(fcb, at, &h) != 0 || CheckRecordMark(h) != 0 || h.total < VarHeaderLength(fcb) ||
      at + static_cast<uint64_t>(h.total) > end)
    return false;
  if (h.mark != kMarkActive || h.used == 0) return true;
  if (h.used > h.total - VarHeaderLength(fcb)) return false;
  std::vector<uint8_t> data(h.used);
  return ReadVarRecordAt(fcb, at, data.data(), static_cast<int32_t>(h.used), true) >= 0;
}

// A salvage's way past a header that makes no sense: the bytes from `at`
// to the next sound stretch (or the data's end) become one free stretch of
// this file, *total long.
int PassOverDamage(FileControlBlock* fcb, uint32_t at, uint32_t* total) {
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint64_t end = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  uint64_t next = at + static_cast<uint64_t>(hlen);
  while (next < end && !SoundStretchAt(fcb, static_cast<uint32_t>(next), end)) ++next;
  if (next > end) next = end;
  *total = static_cast<uint32_t>(next - at);
  if (*total < hlen) return kErrFileDamaged;
  NotePassedOver(at);
  VarRecordHeader h;
  h.mark = fcb->header.file_class == kClassSuperMember ? kMarkMemberFree : kMarkFree;
  h.total = *total;
  h.member = fcb->header.superfile_member;
  return WriteVarRecordHeader(fcb, at, h);
}

// The data file's live records by position (and, when asked, its free
// stretches and the records whose check value denies their bytes); any
// header that does not make sense is damage.
int LiveRecords(FileControlBlock* fcb, std::map<uint32_t, std::vector<uint8_t>>* out,
                std::vector<std::pair<uint32_t, uint32_t>>* free = nullptr,
                std::vector<std::pair<uint32_t, uint32_t>>* denied = nullptr, bool salvage = false) {
  const uint16_t free_mark = fcb->header.file_class == kClassSuperMember ? kMarkMemberFree : kMarkFree;
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint64_t end = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  for (uint64_t position = FirstVarPosition(fcb); position < end;) {
    VarRecordHeader h;
    const int read = ReadVarRecordHeader(fcb, static_cast<uint32_t>(position), &h);
    if (read != 0 && (read != kErrFileDamaged || !salvage)) return read;
    if (read != 0) h.mark = 0;  // no stretch can lie there: passed over below
    // A mark a claim or a release tore holds no record (the mend settles it).
    if (read == 0 && TornMarkWithoutRecord(h) && h.total >= hlen && position + h.total <= end) {
      position += h.total;
      continue;
    }
    if (CheckRecordMark(h) != 0 || h.total < hlen || position + h.total > end ||
        (h.mark == kMarkActive && h.used > h.total - hlen)) {
      if (!salvage) return kErrFileDamaged;
      uint32_t total = 0;
      if (int rc = PassOverDamage(fcb, static_cast<uint32_t>(position), &total)) return rc;
      if (free != nullptr) free->emplace_back(static_cast<uint32_t>(position), total);
      position += total;
      continue;
    }
    if (h.member == fcb->header.superfile_member && h.mark == kMarkActive && h.used > 0) {
      std::vector<uint8_t> data(h.used);
      // A record whose check value denies its bytes counts as not written.
      if (ReadVarRecordAt(fcb, static_cast<uint32_t>(position), data.data(), static_cast<int32_t>(h.used), true) >= 0)
        out->emplace(static_cast<uint32_t>(position), std::move(data));
      else if (CurrentInstance()->eng_err != 160)
        return kErrFileDamaged;
      else if (denied != nullptr)
        denied->emplace_back(static_cast<uint32_t>(position), h.used);
    } else if (free != nullptr && h.member == fcb->header.superfile_member && h.mark == free_mark) {
      free->emplace_back(static_cast<uint32_t>(position), h.total);
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

int RebuildIndexesFromRecords(int data_file, bool salvage) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  IsamTables* t = CurrentIsamTables();
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (t == nullptr || data_file >= static_cast<int>(t->files.size())) return 48;
  if (int rc = ReadFileHeader(fcb)) return rc;
  std::map<uint32_t, std::vector<uint8_t>> records;
  std::vector<std::pair<uint32_t, uint32_t>> free, denied;
  if (int rc = LiveRecords(fcb, &records, &free, &denied, salvage)) return rc;
  // A record the check value denies, or one with a page of space never
  // written, is a change a crash cut short: set aside, never keyed.
  const uint32_t hlen = VarHeaderLength(fcb);
  for (auto r = records.begin(); r != records.end();) {
    if (!RecordHoldsFill(r->second.data(), r->second.size(), static_cast<uint64_t>(r->first) + hlen, true)) {
      ++r;
      continue;
    }
    denied.emplace_back(r->first, static_cast<uint32_t>(r->second.size()));
    r = records.erase(r);
  }
  for (const auto& d : denied) NoteSetAside(fcb, d.first, d.second);
  if (int rc = RebuildSpaceIndex(fcb, free)) return rc;
  uint8_t built[256];
  const std::vector<int16_t>& indexes = t->files[static_cast<std::size_t>(data_file)].keys;
  std::vector<uint32_t> losers;  // second copies under a unique key
  for (int16_t k : indexes) {
    if (t->Key(k).def.duplicates) continue;
    std::set<std::vector<uint8_t>> seen;
    for (auto r = records.begin(); r != records.end();) {
      const int n = BuildRecordKey(k, r->second.data(), r->second.size(), r->first, built);
      if (n < 0) return -n;
      if (n > 0 && !seen.emplace(built, built + n).second) {
        losers.push_back(r->first);
        r = records.erase(r);
      } else {
        ++r;
      }
    }
  }
  for (int16_t k : indexes) {
    // Added in key order, the tree fills from the left as a load does.
    std::map<std::vector<uint8_t>, uint32_t> keys;
    for (const auto& r : records) {
      const int n = BuildRecordKey(k, r.second.data(), r.second.size(), r.first, built);
      if (n < 0) return -n;
      if (n > 0) keys.emplace(std::vector<uint8_t>(built, built + n), r.first);
    }
    if (int rc = EmptyIndex(k)) return rc;
    for (const auto& key : keys) {
      if (int rc = addkey(k, key.first.data(), key.second, 0)) return rc == 2 ? kErrFileDamaged : rc;
    }
  }
  for (uint32_t p : losers) {
    if (int rc = LetStretchGo(fcb, p)) return rc;
  }
  for (const auto& d : denied) {
    if (int rc = LetStretchGo(fcb, d.first)) return rc;
  }
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  fcb->header.active_count = static_cast<uint32_t>(records.size());
  return WriteFileHeader(fcb);
}

int LetStretchGo(FileControlBlock* fcb, uint32_t position) {
  VarRecordHeader h;
  if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
  if (h.used != 0) {
    h.used = 0;
    if (int rc = WriteVarRecordHeader(fcb, position, h)) return rc;
  }
  return FreeVarSpace(fcb, position, false);
}

int RebuildSpaceIndex(FileControlBlock* fcb, const std::vector<std::pair<uint32_t, uint32_t>>& free) {
  {
    HeaderLock lock(fcb);
    if (lock.rc() != 0) return lock.rc();
    fcb->header.root = 0;
    if (int rc = WriteFileHeader(fcb)) return rc;
  }
  uint8_t key[kSpaceKeyLength];
  for (const auto& s : free) {
    BuildSpaceKey(fcb, key, s.second, s.first);
    if (int rc = SpaceIndexAdd(fcb, key)) return rc == 2 ? kErrFileDamaged : rc;
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
  uint32_t os_size = 0;
  if (OsFileSizeChecked(&HolderOf(fcb)->os, &os_size) != 0) os_size = 0;
  // A filled record right behind the end of the data is one whose raising
  // of the end a power cut took: the end goes up before the record's
  // stretch is claimed (with used length 0), and its data before the
  // header that says it is filled.
  const uint64_t behind = static_cast<uint64_t>(HolderOf(fcb)->header.logical_end) + 1;
  if (behind + kLongVarHeader <= os_size) {
    uint8_t raw[kShortVarHeader];
    int32_t count = 0;
    if (FilePositionedIo(0, &HolderOf(fcb)->os, static_cast<uint32_t>(behind), raw, kShortVarHeader, &count) == 0 &&
        count == static_cast<int32_t>(kShortVarHeader)) {
      const uint32_t total = GetLe32(raw + 2), used = GetLe32(raw + 6);  // a torn claim reads as neither
      if (GetLe16(raw) == kMarkActive && used > 0 && total >= kLongVarHeader && used <= total - kLongVarHeader &&
          behind + total <= os_size)
        return kErrFileDamaged;
    }
  }
  uint8_t key[256], built[256];
  std::map<uint32_t, int> strays;  // position: indexes with a stray key naming it
  for (int16_t k : t->files[static_cast<std::size_t>(data_file)].keys) {
    const int length = IsamKeyLength(k);
    std::set<uint32_t> named;  // positions this index's stray keys name
    uint64_t steps = 0;
    IndexEntries entries;
    SetEngineError(0);
    for (uint32_t p = frskey(k, key); p != 0 && ++steps < bound; p = IndexNextKey(k, key)) {
      entries.emplace_back(std::vector<uint8_t>(key, key + length), p);
      // A key past every end the file has had (the data's, the space it
      // was given, its bytes) names no stretch a writer of this file made
      // (no crash leaves one): the mend drops it as before. One inside any
      // of them names a record whose page, or the end it raised, a power
      // cut took: a trace.
      if (p > fcb->header.logical_end && p > HolderOf(fcb)->header.physical_end && p >= os_size) continue;
      auto r = records.find(p);
      const int n = r == records.end() ? 0 : BuildRecordKey(k, r->second.data(), r->second.size(), p, built);
      if (n != length || KeyCompare(built, key, static_cast<std::size_t>(length)) != 0) named.insert(p);
    }
    const bool stray = !named.empty();
    for (uint32_t p : named) ++strays[p];
    const bool walked = CurrentInstance()->eng_err == 0 && steps < bound;
    SetEngineError(0);
    // Stray keys in a tree whose searches do not see what its leaves hold
    // are the old half of a node torn between two pages, which the rebuild
    // replaces; in a sound tree they name records a power cut took.
    if (walked && stray && CheckEntriesSearchable(k, entries) == 0) return kErrFileDamaged;
  }
  // A torn node is one node of one index: a position that stray keys of two
  // indexes name held a record both keyed, which a power cut took.
  for (const auto& s : strays)
    if (s.second >= 2) return kErrFileDamaged;
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
