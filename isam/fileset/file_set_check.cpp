#include "isam/fileset/file_set_check.h"

#include "isam/fileset/file_set_reindex.h"

#include <map>
#include <set>
#include <vector>

#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space_index.h"
#include "isam/index/key_compare.h"
#include "isam/index/key_search.h"
#include "isam/index/member_files.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/resource_chain.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

int Damaged(FileSetReport* r, const char* why) {
  if (r->problem == nullptr) r->problem = why;
  return kErrFileDamaged;
}

}  // namespace

int CheckEntriesSearchable(int16_t index, const IndexEntries& entries) {
  uint8_t found[256];
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::vector<uint8_t>& key = entries[i].first;
    if (i > 0 && KeyCompare(entries[i - 1].first.data(), key.data(), key.size()) >= 0) return kErrFileDamaged;
    SetEngineError(0);
    if (FindKeyEqual(index, key.data(), found) != entries[i].second) return SetEngineError(kErrFileDamaged);
  }
  return SetEngineError(0);
}

int CheckEntriesWalkBack(int16_t index, const IndexEntries& entries) {
  uint8_t key[256];
  std::size_t left = entries.size();
  SetEngineError(0);
  for (uint32_t p = lstkey(index, key); p != 0; p = IndexPreviousKey(index, key)) {
    if (left == 0) return SetEngineError(kErrFileDamaged);
    const auto& want = entries[--left];
    if (p != want.second || KeyCompare(key, want.first.data(), want.first.size()) != 0)
      return SetEngineError(kErrFileDamaged);
  }
  if (CurrentInstance()->eng_err != 0 || left != 0) return SetEngineError(kErrFileDamaged);
  return 0;
}

int CheckFileSet(int data_file, FileSetReport* r) {
  *r = FileSetReport{};
  FileControlBlock* fcb = CheckFileNumber(data_file);
  IsamTables* t = CurrentIsamTables();
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (t == nullptr || data_file >= static_cast<int>(t->files.size())) return 48;
  if (fcb->header.file_type != kFileTypeVariable) return 48;
  if (IsShared(fcb)) ReadFileHeader(fcb);
  const NodeCheckScope torn_nodes_are_damage;
  std::map<uint32_t, std::vector<uint8_t>> records;
  std::set<std::pair<uint32_t, uint32_t>> free_stretches;
  uint64_t position = FirstVarPosition(fcb);
  const uint64_t end = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  while (position < end) {
    VarRecordHeader h;
    if (ReadVarRecordHeader(fcb, static_cast<uint32_t>(position), &h) != 0 || CheckRecordMark(h) != 0 ||
        h.total < VarHeaderLength(fcb))  // every step moves on by a header at least
      return Damaged(r, "a stretch with a bad header");
    if (h.member != fcb->header.superfile_member) {  // another member's, inside a host
      position += h.total;
      continue;
    }
    if (h.mark == kMarkActive && h.used > 0) {
      if (h.used > h.total - VarHeaderLength(fcb)) return Damaged(r, "a record longer than its stretch");
      std::vector<uint8_t> data(h.used);
      if (ReadVarRecordAt(fcb, static_cast<uint32_t>(position), data.data(), static_cast<int32_t>(h.used), true) < 0)
        return Damaged(r, CurrentInstance()->eng_err == 160 ? "a record's bytes do not match its check value"
                                                            : "an unreadable record");
      if (RecordHoldsFill(data.data(), data.size(), position + VarHeaderLength(fcb), false)) return Damaged(r, "a record holds space never written");
      r->live_bytes += h.used;
      records.emplace(static_cast<uint32_t>(position), std::move(data));
    } else if (h.mark == kMarkActive) {
      ++r->unfilled;
    } else if (h.mark == kMarkFree || h.mark == kMarkMemberFree) {
      free_stretches.emplace(static_cast<uint32_t>(position), h.total);
      r->free_bytes += h.total;
    }
    position += h.total;
  }
  if (position != end) return Damaged(r, "the last stretch runs past the end of the file");
  r->records = static_cast<int32_t>(records.size());
  r->free_stretches = static_cast<int32_t>(free_stretches.size());

  struct Keys {
    std::set<std::pair<uint32_t, uint32_t>> seen;
    bool stray = false;
  } keys;
  const int32_t walked = SpaceIndexWalk(fcb, [](void* c, const SpaceKey& k) {
    static_cast<Keys*>(c)->seen.emplace(k.position, k.total);
    return true;
  }, &keys);
  if (walked < 0) return Damaged(r, "the free-space index cannot be walked");
  r->free_keys = walked;
  if (keys.seen != free_stretches) return Damaged(r, "free space and its index disagree");
  if (FileControlBlock* host = SuperfileHostOf(fcb)) {
    // The host's own keys may only name its own free stretches.
    std::vector<SpaceKey> host_keys;
    if (SpaceIndexWalk(host, [](void* c, const SpaceKey& k) {
          static_cast<std::vector<SpaceKey>*>(c)->push_back(k);
          return true;
        }, &host_keys) < 0)
      return Damaged(r, "the host's free-space index cannot be walked");
    for (const SpaceKey& k : host_keys) {
      VarRecordHeader h;
      if (ReadVarRecordHeader(host, k.position, &h) != 0 || h.mark != kMarkFree || h.member != k.member ||
          h.total != k.total)
        return Damaged(r, "a free-space key of the host names a stretch in use");
    }
  }

  int32_t resources = 0;
  if (fcb->header.first_resource != 0 && CheckResourceChain(data_file, &resources) != 0)
    return Damaged(r, "the resource chain is broken");
  r->resources = resources;

  for (int16_t k : t->files[static_cast<std::size_t>(data_file)].keys) {
    const int length = IsamKeyLength(k);
    std::map<uint32_t, int> hits;
    uint8_t key[256], built[256];
    SetEngineError(0);
    int32_t count = 0;
    IndexEntries entries;
    for (uint32_t p = frskey(k, key); p != 0; p = IndexNextKey(k, key)) {
      if (++count > r->records + 1) return Damaged(r, "an index holds more keys than records");
      entries.emplace_back(std::vector<uint8_t>(key, key + length), p);
      auto it = records.find(p);
      if (it == records.end()) return Damaged(r, "a key points at no record");
      const int n = BuildRecordKey(k, it->second.data(), it->second.size(), p, built);
      if (n != length || KeyCompare(built, key, static_cast<std::size_t>(length)) != 0)
        return Damaged(r, "a key does not match its record");
      ++hits[p];
    }
    if (CurrentInstance()->eng_err != 0) return Damaged(r, "an index cannot be walked");
    if (CheckEntriesSearchable(k, entries) != 0) return Damaged(r, "a search from an index's root misses keys its leaves hold");
    if (CheckEntriesWalkBack(k, entries) != 0) return Damaged(r, "a walk back along an index's leaves misses keys");
    for (const auto& rec : records) {
      const int n = BuildRecordKey(k, rec.second.data(), rec.second.size(), rec.first, built);
      if (n > 0 && hits[rec.first] != 1) return Damaged(r, "a record is missing from an index");
    }
  }
  return 0;
}

}  // namespace isam
