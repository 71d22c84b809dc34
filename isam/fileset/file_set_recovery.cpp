#include "isam/fileset/file_set_recovery.h"

#include "isam/fileset/file_set_mend_report.h"
#include "isam/fileset/file_set_reindex.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "isam/index/btree_descent.h"
#include "isam/index/btree_node.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/header_lock.h"
#include "isam/index/key_compare.h"
#include "isam/index/key_search.h"
#include "isam/index/member_files.h"
#include "isam/index/node_cache.h"
#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/resource_chain.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {
namespace {

using Key = std::vector<uint8_t>;
using Stretch = std::pair<uint32_t, uint32_t>;  // position, total

// What the physical walk of the data file finds of this file's stretches.
struct DataStretches {
  std::map<uint32_t, std::vector<uint8_t>> records;  // live records
  std::vector<uint32_t> unfilled;                    // claimed, never filled
  std::set<Stretch> free;
};

// A header torn inside its mark by a claim or a release holds no record
// that lives: it becomes a claimed stretch never filled (which the mend
// lets go when it is this file's), so no walk takes it for damage.
int SettleTornMark(FileControlBlock* fcb, uint32_t position, VarRecordHeader* h) {
  if (!TornMarkWithoutRecord(*h) || h->total < VarHeaderLength(fcb) ||
      static_cast<uint64_t>(position) + h->total > static_cast<uint64_t>(fcb->header.logical_end) + 1)
    return 0;
  h->mark = kMarkActive;
  h->used = 0;
  return WriteVarRecordHeader(fcb, position, *h);
}

int WalkStretches(FileControlBlock* fcb, DataStretches* out) {
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint16_t free_mark = fcb->header.file_class == kClassSuperMember ? kMarkMemberFree : kMarkFree;
  const uint64_t end = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  uint64_t position = FirstVarPosition(fcb);
  while (position < end) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, static_cast<uint32_t>(position), &h)) return rc;
    if (int rc = SettleTornMark(fcb, static_cast<uint32_t>(position), &h)) return rc;
    // Each step moves on by at least a header, so the walk ends.
    if (CheckRecordMark(h) != 0 || h.total < hlen || position + h.total > end) return kErrFileDamaged;
    const uint32_t at = static_cast<uint32_t>(position);
    if (h.member == fcb->header.superfile_member) {
      if (h.mark == kMarkActive && h.used > 0) {
        if (h.used > h.total - hlen) return kErrFileDamaged;
        std::vector<uint8_t> data(h.used);
        if (ReadVarRecordAt(fcb, at, data.data(), static_cast<int32_t>(h.used), true) >= 0) {
          out->records.emplace(at, std::move(data));
        } else if (CurrentInstance()->eng_err == 160) {  // bytes its check value denies: never written
          NoteSetAside(fcb, at, h.used);
          out->unfilled.push_back(at);
        } else {
          return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : kErrFileDamaged;
        }
      } else if (h.mark == kMarkActive) {
        out->unfilled.push_back(at);
      } else if (h.mark == free_mark) {
        out->free.emplace(at, h.total);
      }
    }
    position += h.total;
  }
  return 0;
}

// Free-space keys of stretches that are not free go; free stretches without
// their key get it.
int MendSpaceIndex(FileControlBlock* fcb, const std::set<Stretch>& free) {
  std::vector<SpaceKey> keys;
  if (SpaceIndexWalk(fcb, [](void* c, const SpaceKey& k) {
        static_cast<std::vector<SpaceKey>*>(c)->push_back(k);
        return true;
      }, &keys) < 0)
    return kErrFileDamaged;
  std::set<Stretch> keyed;
  uint8_t key[kSpaceKeyLength];
  for (const SpaceKey& k : keys) {
    const Stretch s(k.position, k.total);
    if (k.member == fcb->header.superfile_member && free.count(s) != 0 && keyed.insert(s).second) continue;
    BuildSpaceKeyBytes(k.member, k.total, k.position, key);
    if (int rc = SpaceIndexRemove(fcb, key)) return rc;
  }
  for (const Stretch& s : free) {
    if (keyed.count(s) != 0) continue;
    BuildSpaceKey(fcb, key, s.second, s.first);
    if (int rc = SpaceIndexAdd(fcb, key)) return rc;
  }
  return 0;
}

// The host's own free-space keys, against what its stretches say: a key
// naming a stretch a member now claims (a lost page left the key of the
// space before the member took it) would hand that stretch out twice.
// The host's records are its member entries, few and small.
int MendHostSpace(FileControlBlock* fcb) {
  FileControlBlock* host = SuperfileHostOf(fcb);
  if (host == nullptr) return 0;
  DataStretches stretches;
  if (int rc = WalkStretches(host, &stretches)) return rc;
  if (MendSpaceIndex(host, stretches.free) == 0) return 0;
  const std::vector<Stretch> free(stretches.free.begin(), stretches.free.end());
  return RebuildSpaceIndex(host, free);
}

// Every key of an index in order, bounded: keys must rise strictly (a
// sound tree gives them so), and no more than the index's bytes can hold.
int IndexKeys(int index, int length, std::vector<std::pair<Key, uint32_t>>* out) {
  FileControlBlock* fcb = CheckFileNumber(index);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  const uint64_t bound = static_cast<uint64_t>(HolderOf(fcb)->header.logical_end) / 4 + 64;
  uint8_t key[256];
  SetEngineError(0);
  for (uint32_t p = frskey(index, key); p != 0; p = IndexNextKey(index, key)) {
    if (out->size() > bound) return kErrFileDamaged;
    if (!out->empty() && KeyCompare(key, out->back().first.data(), static_cast<std::size_t>(length)) <= 0)
      return kErrFileDamaged;
    out->emplace_back(Key(key, key + length), p);
  }
  return CurrentInstance()->eng_err;
}

// Two live records with one key of a unique index are a rewrite that moved
// its record and died before the old copy was let go: the copy the index
// names stays (else the first), the other goes.
void SettleRecordsInMotion(const std::vector<int16_t>& keys, DataStretches* data, std::vector<uint32_t>* losers) {
  IsamTables* t = CurrentIsamTables();
  uint8_t built[256];
  for (int16_t k : keys) {
    if (t->Key(k).def.duplicates) continue;
    const int length = IsamKeyLength(k);
    std::vector<std::pair<Key, uint32_t>> present;
    IndexKeys(k, length, &present);  // a damaged index is met again below
    const std::set<std::pair<Key, uint32_t>> named(present.begin(), present.end());
    std::map<Key, std::vector<uint32_t>> by_key;
    for (const auto& r : data->records) {
      const int n = BuildRecordKey(k, r.second.data(), r.second.size(), r.first, built);
      if (n > 0) by_key[Key(built, built + n)].push_back(r.first);
    }
    for (const auto& group : by_key) {
      if (group.second.size() < 2) continue;
      uint32_t keep = group.second.front();
      for (uint32_t p : group.second)
        if (named.count({group.first, p}) != 0) keep = p;
      for (uint32_t p : group.second) {
        if (p == keep) continue;
        losers->push_back(p);
        data->records.erase(p);
      }
    }
  }
}

// Every write that returned leaves each live record named by its keys: an
// add puts its keys in before it returns, a rewrite moves them to the new
// copy before it lets the old go. A record no index names, where an index
// without a condition wants a key for it, is an add that died before its
// first key, or the copy a moved record left behind, whose record another
// opener may since have deleted: keying it again would bring back what was
// deleted, so it goes. (A conditional index may be half re-keyed, so only
// indexes without a condition decide that a record wants a key.)
int DropUnnamedRecords(const std::vector<int16_t>& keys, DataStretches* data, std::vector<uint32_t>* losers) {
  IsamTables* t = CurrentIsamTables();
  std::set<uint32_t> named;
  for (int16_t k : keys) {
    std::vector<std::pair<Key, uint32_t>> present;
    if (int rc = IndexKeys(k, IsamKeyLength(k), &present)) return rc;
    for (const auto& key : present) named.insert(key.second);
  }
  uint8_t built[256];
  for (auto r = data->records.begin(); r != data->records.end();) {
    bool wanted = false;
    for (int16_t k : keys) {
      if (named.count(r->first) != 0 || wanted || t->Key(k).condition >= 0) continue;
      const int n = BuildRecordKey(k, r->second.data(), r->second.size(), r->first, built);
      if (n < 0) return -n;
      wanted = n > 0;
    }
    if (!wanted) {
      ++r;
      continue;
    }
    losers->push_back(r->first);
    r = data->records.erase(r);
  }
  return 0;
}

// A root split cut short (both halves written, the new root or the header
// naming it not) leaves the root with a right neighbour that no parent
// names; a later split of such a neighbour finds no parent to publish in.
// The level the root heads gets a new root over all its nodes, each entry
// bounded by its node's highest key (a leaf's high key) and the last one
// open. Nothing to do for a root without a right link, nor for a tree as
// deep as a descent may go: there the root's right neighbours are how the
// tree grows (a split at that depth adds no level), and a new root would
// put every leaf out of reach.
int FinishRootSplit(int16_t k) {
  FileControlBlock* fcb = CheckFileNumber(k);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  const NodeLayout& l = fcb->layout;
  if (int rc = LockFileHeader(fcb)) return rc;
  struct Entry {
    Key high;
    uint32_t position;
  };
  std::vector<Entry> level;
  int rc = 0;
  Node node;
  uint32_t at = fcb->header.root;
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0; at != 0 && rc == 0; ++steps) {
    if (!WalkAllowed(fcb, steps, &bound)) rc = kErrFileDamaged;
    if (rc == 0) rc = FetchNode(fcb, at, &node);
    if (rc != 0) break;
    if (node.IsLeaf()) {
      level.push_back({node.high_key, at});
    } else if (node.Count() > 0) {
      const uint8_t* last = node.Key(node.Count() - 1, l);
      level.push_back({Key(last, last + l.key_length), at});
    } else {
      rc = kErrFileDamaged;
    }
    at = node.header.rightlink;
  }
  if (rc == 0 && level.size() > 1 && !node.IsLeaf()) {
    // Inner levels from the root down (the root's level is one).
    int inner = 0;
    Node down = node;
    while (rc == 0 && !down.IsLeaf() && inner <= kMaxTreeDepth) {
      ++inner;
      rc = down.Count() > 0 ? FetchNode(fcb, down.pointers[0], &down) : kErrFileDamaged;
    }
    if (rc == 0 && inner >= kMaxTreeDepth) level.clear();
  }
  if (rc == 0 && level.size() > 1) {
    Node root;
    const uint32_t root_pos = NewIndexNode(fcb, false, &root);
    rc = root_pos == 0 ? (CurrentInstance()->eng_err ? CurrentInstance()->eng_err : kErrFileDamaged) : 0;
    if (rc == 0) {
      const Key top(l.key_length, 0xFF);
      for (std::size_t i = 0; i < level.size(); ++i) {
        const Key& high = i + 1 == level.size() || level[i].high.size() != l.key_length ? top : level[i].high;
        InsertKeyInNode(l, &root, static_cast<int>(i), high.data(), level[i].position);
      }
      rc = NodeFits(l, root) ? PutIndexNode(fcb, &root, true) : kErrFileDamaged;
      if (rc != 0) UnlockIndexNode(fcb, root_pos);
    }
    if (rc == 0) {
      fcb->header.root = root_pos;
      rc = WriteFileHeader(fcb);
    }
  }
  UnlockFileHeader(fcb);
  return rc;
}

// An index made to hold exactly one key per live record: keys that name no
// live record, or not as it now reads, go; missing keys are added.
int MendIndex(int16_t k, const DataStretches& data) {
  const int length = IsamKeyLength(k);
  std::vector<std::pair<Key, uint32_t>> present;
  if (int rc = IndexKeys(k, length, &present)) return rc;
  std::set<std::pair<Key, uint32_t>> wanted;
  uint8_t built[256];
  for (const auto& r : data.records) {
    const int n = BuildRecordKey(k, r.second.data(), r.second.size(), r.first, built);
    if (n < 0) return -n;
    if (n > 0) wanted.emplace(Key(built, built + n), r.first);
  }
  std::set<std::pair<Key, uint32_t>> kept;
  for (const auto& key : present) {
    if (wanted.count(key) != 0 && kept.insert(key).second) continue;
    if (int rc = delkey(k, key.first.data(), key.second, 0)) return rc;
  }
  for (const auto& key : wanted) {
    if (kept.count(key) != 0) continue;
    if (int rc = addkey(k, key.first.data(), key.second, 0)) return rc;
  }
  return 0;
}

int SetCount(FileControlBlock* fcb, uint32_t count) {
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  if (fcb->header.active_count == count) return 0;
  fcb->header.active_count = count;
  return WriteFileHeader(fcb);
}

}  // namespace

int MendFileSet(int data_file) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  IsamTables* t = CurrentIsamTables();
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (t == nullptr || data_file >= static_cast<int>(t->files.size())) return 48;
  if (fcb->header.file_type != kFileTypeVariable) return 48;
  if (int rc = ReadFileHeader(fcb)) return rc;
  const std::vector<int16_t> keys = t->files[static_cast<std::size_t>(data_file)].keys;
  if (int rc = RepairResourceBackLinks(data_file)) return rc;
  DataStretches data;
  if (int rc = WalkStretches(fcb, &data)) return rc;
  if (MendSpaceIndex(fcb, data.free) != 0) {
    // A tree the key-by-key mend cannot walk or change (a node torn
    // between two pages) is built again from the free stretches.
    const std::vector<Stretch> free(data.free.begin(), data.free.end());
    if (int rc = RebuildSpaceIndex(fcb, free)) return rc;
  }
  if (int rc = MendHostSpace(fcb)) return rc;
  std::vector<uint32_t> losers;
  SettleRecordsInMotion(keys, &data, &losers);
  for (int16_t k : keys) {
    if (int rc = FinishRootSplit(k)) return rc;
  }
  if (int rc = DropUnnamedRecords(keys, &data, &losers)) return rc;
  for (int16_t k : keys) {
    if (int rc = MendIndex(k, data)) return rc;
  }
  for (uint32_t p : losers) {
    if (int rc = LetStretchGo(fcb, p)) return rc;
  }
  for (uint32_t p : data.unfilled) {
    if (int rc = LetStretchGo(fcb, p)) return rc;
  }
  if (int rc = SetCount(fcb, static_cast<uint32_t>(data.records.size()))) return rc;
  for (int16_t k : keys) {
    std::vector<std::pair<Key, uint32_t>> present;
    if (int rc = IndexKeys(k, IsamKeyLength(k), &present)) return rc;
    if (int rc = SetCount(CheckFileNumber(k), static_cast<uint32_t>(present.size()))) return rc;
  }
  return SetEngineError(0);
}

// The set's indexes built again from its records, with what the mend does
// first to the rest of the file (resource links, the host's free space).
// With `salvage` the walk of the records passes over stretch headers that
// make no sense (RebuildIndexesFromRecords), so it goes first and the
// resource chain and the host are walked after it.
static int RebuildSetFromRecords(int data_file, bool salvage) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (int rc = ReadFileHeader(fcb)) return rc;
  if (salvage) {
    if (int rc = RebuildIndexesFromRecords(data_file, true)) return rc;
  }
  if (int rc = RepairResourceBackLinks(data_file)) return rc;
  if (int rc = MendHostSpace(fcb)) return rc;
  return salvage ? 0 : RebuildIndexesFromRecords(data_file);
}

// The mend, and then the full check: a torn or lost write can leave an
// index the mend could not trust (or a walk it could not finish), so every
// index is then built again from the records and the check asked once
// more. What is still not whole is damage the records themselves carry.
// A tree it could not trust may end the mend with any code its calls give
// (a read past the end, a node that cannot be real), so any failure tries
// the rebuild. Traces of writes a power cut lost out of order send the set
// straight to the rebuild: the key-by-key mend would take a key whose
// record never reached the disk for a delete cut short, where the records
// are what holds every change done before the last flush.
static int MendUntilWhole(int data_file) {
  const NodeCheckScope torn_nodes_are_damage;
  BeginMendReport(CheckFileNumber(data_file));
  const bool traces = FindTracesOfLostWrites(data_file) != 0;
  if (traces) WriteStatusLog("Traces of writes a power cut lost: every index is built again from the records", 0);
  if (!traces && MendFileSet(data_file) == 0 && CheckFileSetWhole(data_file) == 0) {
    EndMendReport(static_cast<int32_t>(CheckFileNumber(data_file)->header.active_count), false);
    return 0;
  }
  // A stretch header no writer finished (a page of new space lost, stale
  // bytes where a split began) stops a walk of the records, though every
  // record before it and behind it is sound: the rebuild then passes over
  // it to the next sound header.
  int rc = RebuildSetFromRecords(data_file, false);
  if (rc == 0) rc = CheckFileSetWhole(data_file);
  if (rc == kErrFileDamaged) rc = RebuildSetFromRecords(data_file, true);
  if (rc == 0) rc = CheckFileSetWhole(data_file);
  EndMendReport(static_cast<int32_t>(CheckFileNumber(data_file)->header.active_count), true);
  return rc;
}

int RecoverFileSetIfNeeded(int data_file) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr) return 0;
  // The mend runs under the data file's header lock from the look at the
  // mark to its clearing, and every opener takes that lock here: one that
  // arrives during a mend waits for it (or fails with the lock's code)
  // rather than read a half-mended set or have its first adds taken for
  // stray keys.
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  if (fcb->header.open_mode & kModeReadOnly) return 0;
  const int64_t unclean = UncleanWriters(fcb);
  if (unclean <= 0 || OsOthersHoldFile(&fcb->os)) return 0;
  const int rc = MendUntilWhole(data_file);
  if (rc != 0) {
    WriteStatusLog("Could not bring back a file set a writer left unfinished:", rc);
    WriteStatusLog(fcb->name, 0);
    return rc;
  }
  // The mend on the disk before the mark that asked for it goes.
  if (int flushed = OsFlushFile(&fcb->os)) return flushed;
  return ClearWriterMarks(fcb);
}

}  // namespace isam
