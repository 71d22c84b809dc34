// RebuildDataFile: one walk over the whole file, then its free-space index
// or delete stack and its resource chain written anew.
#include <algorithm>
#include <cstring>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space_index.h"
#include "isam/index/resource_anchor.h"
#include "isam/index/varlen_record.h"
#include "isam/maint/repair/data_file_repair.h"
#include "isam/maint/repair/repair_console.h"
#include "isam/record/fixed_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam::maint {
namespace {

constexpr uint32_t kHeader = kShortVarHeader;  // plain files only: members are refused before
constexpr int kProgressEvery = 128;

struct FoundResource {
  uint32_t position = 0;
  uint32_t type = 0;
  uint32_t number = 0;
};

struct Stretch {
  uint32_t position = 0;
  uint32_t total = 0;
};

int Io(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, uint32_t length) {
  int32_t count = 0;
  const int rc = FilePositionedIo(mode, &fcb->os, position, buffer, static_cast<int32_t>(length), &count);
  if (rc != 0) return rc;
  return count == static_cast<int32_t>(length) ? 0 : (mode == 0 ? 36 : 37);
}

struct RawHeader {
  uint16_t mark = 0;
  uint32_t total = 0;
  uint32_t used = 0;
};

bool ReadRaw(FileControlBlock* fcb, uint64_t at, uint64_t end, RawHeader* h) {
  if (at + kHeader > end) return false;
  uint8_t b[kHeader];
  if (Io(0, fcb, static_cast<uint32_t>(at), b, kHeader) != 0) return false;
  h->mark = GetLe16(b);
  h->total = GetLe32(b + 2);
  h->used = GetLe32(b + 6);
  return true;
}

bool KnownMark(uint16_t m) {
  return m == kMarkActive || m == kMarkFree || m == kMarkMemberFree || m == kMarkSpaceNode || m == kMarkResource;
}

// A header the walk can step over.
bool Sound(const RawHeader& h, uint64_t at, uint64_t end) {
  if (!KnownMark(h.mark) || h.total < kHeader || at + h.total > end) return false;
  if ((h.mark == kMarkActive || h.mark == kMarkResource) && static_cast<uint64_t>(h.used) + kHeader > h.total) return false;
  return true;
}

// A record or resource whose header fits in its stretch and whose stretch
// ends inside the file.
bool Candidate(const RawHeader& h, uint64_t at, uint64_t end) {
  return (h.mark == kMarkActive || h.mark == kMarkResource) && h.total > 0 &&
         static_cast<uint64_t>(h.used) + kHeader <= h.total && at + h.total <= end;
}

bool SuccessorValid(FileControlBlock* fcb, uint64_t after, uint64_t end) {
  if (after == end) return true;
  RawHeader n;
  if (!ReadRaw(fcb, after, end, &n)) return false;
  return n.mark == kMarkActive || n.mark == kMarkSpaceNode || n.mark == kMarkResource || n.mark == kMarkFree;
}

// Headers at rising positions, read a block at a time: a scan over damage
// costs one read per block, not one per byte.
class HeaderScan {
 public:
  HeaderScan(FileControlBlock* fcb, uint64_t end) : fcb_(fcb), end_(end) {}
  // The header at `at` (false when it does not fit before the end or
  // cannot be read). Positions may only rise from call to call.
  bool At(uint64_t at, RawHeader* h) {
    if (at + kHeader > end_) return false;
    if (at < start_ || at + kHeader > start_ + block_.size()) {
      const uint64_t length = std::min<uint64_t>(kBlock, end_ - at);
      block_.resize(static_cast<std::size_t>(length));
      start_ = at;
      if (Io(0, fcb_, static_cast<uint32_t>(at), block_.data(), static_cast<uint32_t>(length)) != 0) {
        block_.clear();
        return false;
      }
    }
    const uint8_t* b = block_.data() + (at - start_);
    h->mark = GetLe16(b);
    h->total = GetLe32(b + 2);
    h->used = GetLe32(b + 6);
    return true;
  }

 private:
  static constexpr uint64_t kBlock = 1 << 16;
  FileControlBlock* fcb_;
  uint64_t end_;
  uint64_t start_ = 0;
  std::vector<uint8_t> block_;
};

// Where a sound chain of headers resumes after damage at `from`: the first
// candidate with a valid successor, or one without when no position inside
// its stretch qualifies with a valid successor; `end` when none. Both
// scans only move forward, so the search is linear in the damage.
uint64_t Resume(FileControlBlock* fcb, uint64_t from, uint64_t end) {
  HeaderScan scan(fcb, end), ahead(fcb, end);
  uint64_t next_good = from;  // the first position >= `searched` that qualifies, or end
  uint64_t searched = from;   // positions below it have been searched
  const auto good_from = [&](uint64_t at) {
    if (at < searched) return next_good >= at ? next_good : end;
    RawHeader h;
    for (uint64_t r = at; r + kHeader <= end; ++r)
      if (ahead.At(r, &h) && Candidate(h, r, end) && SuccessorValid(fcb, r + h.total, end)) {
        searched = r + 1;
        return next_good = r;
      }
    searched = end;
    return next_good = end;
  };
  RawHeader h;
  for (uint64_t q = from; q + kHeader <= end; ++q) {
    if (!scan.At(q, &h) || !Candidate(h, q, end)) continue;
    if (SuccessorValid(fcb, q + h.total, end)) return q;
    if (good_from(q + 1) >= q + h.total) return q;
  }
  return end;
}

int WriteStretchHeader(FileControlBlock* fcb, uint32_t at, uint16_t mark, uint32_t total, uint32_t used) {
  uint8_t b[kHeader];
  PutLe16(b, mark);
  PutLe32(b + 2, total);
  PutLe32(b + 6, used);
  return Io(1, fcb, at, b, kHeader);
}

int ReadResourceKey(FileControlBlock* fcb, uint32_t at, FoundResource* r) {
  uint8_t b[8];
  if (int rc = Io(0, fcb, at + kResourceHeaderSize, b, sizeof b)) return rc;
  r->position = at;
  r->type = GetLe32(b);
  r->number = GetLe32(b + 4);
  return 0;
}

// The chain in ascending (type, number), the anchor (0, 0) first, closing
// on itself.
int RelinkResources(FileControlBlock* fcb, std::vector<FoundResource>& found) {
  std::stable_sort(found.begin(), found.end(), [](const FoundResource& a, const FoundResource& b) {
    return a.type != b.type ? a.type < b.type : a.number < b.number;
  });
  const std::size_t n = found.size();
  for (std::size_t i = 0; i < n; ++i) {
    uint8_t links[8];
    PutLe32(links, found[(i + 1) % n].position);
    PutLe32(links + 4, found[(i + n - 1) % n].position);
    if (int rc = Io(1, fcb, found[i].position + 14, links, sizeof links)) return rc;
  }
  fcb->header.first_resource = n > 0 ? found[0].position : 0;
  return 0;
}

// The end of the bytes in use: the header's logical end, but never past
// the file itself.
uint64_t UsedEnd(FileControlBlock* fcb) {
  const uint64_t logical = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  const uint64_t size = GetOsFileSize(&fcb->os);
  return logical < size ? logical : size;
}

void Progress(int32_t* records) {
  if (++*records % kProgressEvery == 0) RepairPrint("d");
}

int RebuildVariable(FileControlBlock* fcb) {
  FileHeader& h = fcb->header;
  const uint64_t end = UsedEnd(fcb);
  // The free-space tree is emptied before its old nodes are taken as free
  // space, so no node is used while it is handed out.
  h.root = 0;
  std::vector<Stretch> free_space;
  std::vector<FoundResource> resources;
  int32_t active = 0;
  Stretch previous;  // the last sound stretch (total 0: none yet)
  bool previous_free = false;
  uint64_t at = FirstVarPosition(fcb);
  const uint64_t step_limit = end / kHeader + 2;
  for (uint64_t steps = 0; at < end; ++steps) {
    if (steps > step_limit) return kRepairWalkTooLong;
    RawHeader r;
    if (ReadRaw(fcb, at, end, &r) && Sound(r, at, end)) {
      if (r.mark == kMarkActive) {
        Progress(&active);
      } else if (r.mark == kMarkResource) {
        FoundResource f;
        if (int rc = ReadResourceKey(fcb, static_cast<uint32_t>(at), &f)) return rc;
        resources.push_back(f);
      } else {
        if (r.mark != kMarkFree) {
          if (int rc = WriteStretchHeader(fcb, static_cast<uint32_t>(at), kMarkFree, r.total, 0)) return rc;
        }
        free_space.push_back({static_cast<uint32_t>(at), r.total});
      }
      previous = {static_cast<uint32_t>(at), r.total};
      previous_free = r.mark != kMarkActive && r.mark != kMarkResource;
      at += r.total;
      continue;
    }
    RepairPrint("\nBad record mark/lengths at file address %ld.\nScanning for EOF or next valid mark.",
                static_cast<long>(at));
    RepairPrint("\nIf EOF is hit, then file is OK. If valid mark found, rebuild skipped\nunknown data which has been marked deleted:");
    // A gap too short for a header of its own joins the stretch before it;
    // without one the gap must hold a header.
    const uint64_t q = Resume(fcb, previous.total > 0 ? at + 1 : at + kHeader, end);
    const uint64_t gap = q - at;
    if (q < end) {
      RepairPrint("\n\t\t\tValid mark at %ld. ", static_cast<long>(q));
    } else {
      RepairPrint("\n\t\t\tHit EOF, File is OK.\n");
    }
    if (gap >= kHeader || previous.total == 0) {
      if (gap >= kHeader) {
        if (int rc = WriteStretchHeader(fcb, static_cast<uint32_t>(at), kMarkFree, static_cast<uint32_t>(gap), 0)) return rc;
        free_space.push_back({static_cast<uint32_t>(at), static_cast<uint32_t>(gap)});
        previous = {static_cast<uint32_t>(at), static_cast<uint32_t>(gap)};
        previous_free = true;
      }
    } else {
      previous.total += static_cast<uint32_t>(gap);
      uint8_t total[4];
      PutLe32(total, previous.total);
      if (int rc = Io(1, fcb, previous.position + 2, total, sizeof total)) return rc;
      if (previous_free) free_space.back().total = previous.total;
    }
    at = q;
  }
  h.active_count = static_cast<uint32_t>(active);
  if (int rc = RelinkResources(fcb, resources)) return rc;
  if (int rc = WriteFileHeader(fcb)) return rc;
  for (const Stretch& s : free_space) {
    uint8_t key[kSpaceKeyLength];
    BuildSpaceKeyBytes(0, s.total, s.position, key);
    const int rc = SpaceIndexAdd(fcb, key);
    if (rc != 0 && rc != 2) return rc;
  }
  return WriteFileHeader(fcb);
}

int RebuildFixed(FileControlBlock* fcb) {
  FileHeader& h = fcb->header;
  const uint32_t length = h.record_length;
  if (length < 5) return kRepairFixedVariable;
  std::vector<uint8_t> record(length);
  std::vector<FoundResource> resources;
  uint32_t head = 0;
  int32_t active = 0;
  uint64_t at = FirstFixedPosition(fcb);
  // Space beyond the logical end is reserved, not used: it stays as the
  // extension left it.
  const uint64_t limit = UsedEnd(fcb);
  for (; at + length <= limit;) {
    int32_t count = 0;
    const int rc = FilePositionedIo(0, &fcb->os, static_cast<uint32_t>(at), record.data(), static_cast<int32_t>(length), &count);
    if (rc == 36 || (rc == 0 && count != static_cast<int32_t>(length))) break;  // the end of the file
    if (rc != 0) return rc;
    if (record[0] == 0xFF) {
      // Deleted (its bytes 1..4 are a link, not data): into the new stack
      // in file order.
      uint8_t link[4];
      PutLe32(link, head);
      if (int wrc = Io(1, fcb, static_cast<uint32_t>(at) + 1, link, sizeof link)) return wrc;
      head = static_cast<uint32_t>(at);
      at += length;
    } else if (record[0] == 0xFE && record[1] == 0xFE) {
      FoundResource f;
      f.position = static_cast<uint32_t>(at);
      f.type = GetLe32(record.data() + kResourceHeaderSize);
      f.number = length >= kResourceHeaderSize + 8 ? GetLe32(record.data() + kResourceHeaderSize + 4) : 0;
      if (length < kResourceHeaderSize + 8) {
        if (int rrc = ReadResourceKey(fcb, f.position, &f)) return rrc;
      }
      resources.push_back(f);
      // Skipped by its length on the record grid; a length of 0 (or one
      // past any end) still moves on by one record.
      uint64_t total = GetLe32(record.data() + 2);
      total = (total + length - 1) / length * length;
      at += total == 0 || at + total > limit ? length : total;
    } else {
      Progress(&active);
      at += length;
    }
  }
  h.delete_stack = head;
  h.active_count = static_cast<uint32_t>(active);
  h.logical_end = static_cast<uint32_t>(at - 1);
  if (h.physical_end < h.logical_end) h.physical_end = h.logical_end;
  if (int rc = RelinkResources(fcb, resources)) return rc;
  return WriteFileHeader(fcb);
}

}  // namespace

int RebuildDataFile(FileControlBlock* fcb) {
  if (fcb == nullptr) return kRepairNoControlBlock;
  if (fcb->header.file_type == kFileTypeVariable) return RebuildVariable(fcb);
  if (fcb->header.file_type == kFileTypeFixed) return RebuildFixed(fcb);
  return kRepairFixedVariable;
}

}  // namespace isam::maint
