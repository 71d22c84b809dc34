#include "isam/record/resource_chain.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space.h"
#include "isam/index/header_lock.h"
#include "isam/index/resource_anchor.h"
#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "isam/record/fixed_record.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/thread_layer.h"
#include "isam/superfile/superfile_member.h"

namespace isam {
namespace {

struct ResourceHeader {
  uint32_t position = 0;
  uint16_t mark = 0;
  uint32_t total = 0;
  uint32_t used = 0;
  uint32_t member = 0;
  uint32_t next = 0;
  uint32_t prev = 0;
  uint32_t type = 0;
  uint32_t number = 0;
};

// Reads a resource header and its (type, number); damaged stretches are
// reported, never followed.
int ReadResource(FileControlBlock* fcb, uint32_t position, ResourceHeader* r) {
  uint8_t b[kResourceHeaderSize + 8];
  const FileHeader& h = fcb->header;
  if (position == 0 || static_cast<uint64_t>(position) + kResourceHeaderSize + 8 - 1 > h.logical_end)
    return kErrFileDamaged;
  if (int rc = FileIo(0, fcb, position, b, sizeof b)) return rc;
  r->position = position;
  r->mark = GetLe16(b);
  r->total = GetLe32(b + 2);
  r->used = GetLe32(b + 6);
  r->member = GetLe32(b + 10);
  r->next = GetLe32(b + 14);
  r->prev = GetLe32(b + 18);
  r->type = GetLe32(b + 22);
  r->number = GetLe32(b + 26);
  if (r->mark != kResourceMark) return 407;
  if (r->used < 9 || r->total < kResourceHeaderSize + r->used ||
      static_cast<uint64_t>(position) + r->total - 1 > h.logical_end)
    return kErrFileDamaged;
  return 0;
}

int WriteLink(FileControlBlock* fcb, uint32_t position, int offset, uint32_t value) {
  uint8_t b[4];
  PutLe32(b, value);
  return FileIo(1, fcb, position + static_cast<uint32_t>(offset), b, 4);
}

int ReadData(FileControlBlock* fcb, const ResourceHeader& r, std::vector<uint8_t>* data) {
  data->resize(r.used);
  return FileIo(0, fcb, r.position + kResourceHeaderSize, data->data(), r.used);
}

bool Below(uint32_t t1, uint32_t n1, uint32_t t2, uint32_t n2) { return t1 < t2 || (t1 == t2 && n1 < n2); }

// Walk result: another process holds a resource the walk had to lock.
constexpr int kContended = -1;

// The write locks one walk takes on the resources it visits (only on a
// shared file: nobody else can reach an exclusive one). Locks this
// instance held before stay as they were; the ones taken here are released
// on every path, leaving eng_err as it was.
class VisitLocks {
 public:
  VisitLocks(FileControlBlock* fcb, bool wanted) : file_(fcb->number), on_(wanted && IsShared(fcb)) {}
  ~VisitLocks() { Release(); }
  VisitLocks(const VisitLocks&) = delete;
  VisitLocks& operator=(const VisitLocks&) = delete;

  // 0, kContended, or the lock layer's code.
  int Take(uint32_t position) {
    if (!on_ || CheckRecordLocked(file_, kLockWrite, position) == 0) return 0;
    const int rc = LockRecordEntry(file_, kLockWrite, position, 0);
    if (rc == 42) return kContended;
    if (rc == 0) taken_.push_back(position);
    return rc;
  }
  void Release() {
    if (taken_.empty()) return;
    EngineInstance* inst = CurrentInstance();
    const int16_t keep = inst->eng_err;
    for (uint32_t p : taken_) LockRecordEntry(file_, kLockUnlock, p, 0);
    taken_.clear();
    inst->eng_err = keep;
  }

 private:
  int file_;
  bool on_;
  std::vector<uint32_t> taken_;
};

// A change relinks the chain in two writes, the forward link first (the
// new neighbour is whole before anything names it), then the back link of
// the resource after it. A writer cut off between them leaves that back
// link stale: naming r's own predecessor (an add: r went in between), or
// a stretch that has left the chain forward and whose own forward link
// still leads to n (an update that moved its data, or a delete). The walk
// follows forward links and takes such a back link as stale; anything else
// is damage. A stale link found is noted (n, r) in *stale when given.
int StaleBackLink(FileControlBlock* fcb, const ResourceHeader& r, const ResourceHeader& n,
                  std::vector<std::pair<uint32_t, uint32_t>>* stale) {
  if (n.prev != r.prev) {
    ResourceHeader left;
    if (ReadResource(fcb, n.prev, &left) != 0 || left.next != n.position) return kErrFileDamaged;
  }
  if (stale != nullptr) stale->emplace_back(n.position, r.position);
  return 0;
}

// The chain walk: calls stop(r) for every resource behind the anchor until
// it returns true, locking each resource it reads as `locks` says.
// *found is the resource it stopped at, or the anchor when the walk came
// round. A stale back link (see StaleBackLink) is passed over, or refused
// as damage when `strict`. 0, kContended or a code.
template <typename Stop>
int Walk(FileControlBlock* fcb, Stop stop, ResourceHeader* found, ResourceHeader* anchor, VisitLocks* locks,
         bool strict = false, std::vector<std::pair<uint32_t, uint32_t>>* stale = nullptr) {
  const uint32_t first = fcb->header.first_resource;
  if (first == 0) return 401;
  if (int rc = ReadResource(fcb, first, anchor)) return rc;
  if (int rc = locks->Take(first)) return rc;
  const uint64_t bound = fcb->header.logical_end / kResourceHeaderSize + 2;
  ResourceHeader r = *anchor;
  for (uint64_t steps = 0;; ++steps) {
    if (steps > bound) return kErrFileDamaged;  // a chain that never closes
    const uint32_t next = r.next;
    if (next == first) {
      if (stale != nullptr && anchor->prev != r.position && anchor->prev != 0)
        StaleBackLink(fcb, r, *anchor, stale);  // the anchor's own back link (a repair only)
      *found = *anchor;
      return 0;
    }
    ResourceHeader n;
    if (int rc = ReadResource(fcb, next, &n)) return rc;
    if (n.prev != r.position) {
      if (strict) return kErrFileDamaged;
      if (int rc = StaleBackLink(fcb, r, n, stale)) return rc;
    }
    if (int rc = locks->Take(next)) return rc;
    r = n;
    if (stop(r)) {
      *found = r;
      return 0;
    }
  }
}

// Pauses between the tries of a locking search: a plain search, and one
// that wants the neighbours of its key (add, update, delete).
constexpr uint32_t kSearchRetryPauseMs = 50;
constexpr uint32_t kNeighbourRetryPauseMs = 10;

// Runs body(locks) under the header lock; while another process holds a
// resource the body had to lock, everything is let go, and the whole body
// runs again after a pause, as often as the lock policy allows a waiting
// lock to try (then 42). 0 or the body's code.
template <typename Body>
int WithVisitLocks(FileControlBlock* fcb, bool lock, uint32_t pause_ms, Body body) {
  const int tries = GetLockWaitPolicy().lock_tries;
  for (int attempt = 0;; ++attempt) {
    int rc = 0;
    {
      HeaderLock header(fcb);
      if (header.rc()) return header.rc();
      VisitLocks locks(fcb, lock);  // released before the header lock
      rc = body(&locks);
    }
    if (rc != kContended) return rc;
    if (attempt + 1 >= tries) return 42;
    EngineSleep(pause_ms);
  }
}

uint32_t StretchFor(FileControlBlock* fcb, uint32_t data_length, uint32_t* total) {
  const FileHeader& h = fcb->header;
  *total = ResourceStretchSize(fcb, data_length);
  if (h.file_type == kFileTypeVariable) {
    // Resources come from the end of the file, never from free space.
    const uint32_t at = AllocVarSpace(fcb, *total - VarHeaderLength(fcb), kAllocAtEnd, false);
    return at;
  }
  uint32_t align = 1;
  if (h.file_type == kFileTypeFixed) align = h.record_length;
  else if (h.file_type == kFileTypeIndex) align = h.node_size;
  return ExtendFile(fcb, *total, align);
}

int WriteResource(FileControlBlock* fcb, uint32_t at, uint32_t total, uint32_t next, uint32_t prev,
                  const uint8_t* data, uint32_t length) {
  std::vector<uint8_t> image(kResourceHeaderSize + length);
  PutLe16(image.data(), kResourceMark);
  PutLe32(image.data() + 2, total);
  PutLe32(image.data() + 6, length);
  PutLe32(image.data() + 10, fcb->header.superfile_member);
  PutLe32(image.data() + 14, next);
  PutLe32(image.data() + 18, prev);
  std::memcpy(image.data() + kResourceHeaderSize, data, length);
  return FileIo(1, fcb, at, image.data(), static_cast<uint32_t>(image.size()));
}

// Gives a stretch that left the chain back where the file type allows.
int FreeStretch(FileControlBlock* fcb, const ResourceHeader& r) {
  const FileHeader& h = fcb->header;
  // A variable-length file, superfile members included, takes the stretch
  // into its free space, key and all, so a later record can use it.
  if (h.file_type == kFileTypeVariable) return FreeVarSpace(fcb, r.position, false);
  if (FileControlBlock* host = h.file_class == kClassSuperMember ? SuperfileHostOf(fcb) : nullptr) {
    // An index member's resource lies on the node grid inside a host stretch
    // that starts one long header earlier: that stretch goes back to the host.
    VarRecordHeader around;
    const uint32_t at = r.position - kLongVarHeader;
    if (r.position > kLongVarHeader && ReadVarRecordHeader(host, at, &around) == 0 && around.mark == kMarkActive &&
        around.member == h.superfile_member && around.total == kLongVarHeader + r.total)
      return FreeVarSpace(host, at, false);
  }
  // A fixed-length file gets the records back for new records.
  if (h.file_type == kFileTypeFixed) return ReleaseFixedStretch(fcb, r.position, r.total);
  // A plain index file keeps the stretch, unlinked; walks skip its mark and
  // total.
  if (int rc = WriteLink(fcb, r.position, 14, 0)) return rc;
  return WriteLink(fcb, r.position, 18, 0);
}

int NameLength(const uint8_t* data, int32_t length) {
  for (int32_t i = 8; i < length; ++i)
    if (data[i] == 0) return static_cast<int>(i - 8);
  return -1;
}

}  // namespace

uint32_t ResourceRecordFind(int file, const void* key, void* buffer, int32_t size, int mode, int32_t* used) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  const int base = mode & ~(kFindResourceLock | kFindResourceDescribe | kFindResourceFlag100);
  if (key == nullptr && base != kFindResourceFirst) return SetEngineError(403), 0;
  if (size < 0) return SetEngineError(634), 0;
  const auto* k = static_cast<const uint8_t*>(key);
  uint32_t type = 0, number = 0, position = 0;
  const char* name = nullptr;
  switch (base) {
    case kFindResourceByKey:
    case kFindResourceAfter:
      type = GetLe32(k);
      number = GetLe32(k + 4);
      if (base == kFindResourceByKey && type == 0 && number == 0) return SetEngineError(403), 0;
      break;
    case kFindResourceFirstOfType:
      type = GetLe32(k);
      if (type == 0) return SetEngineError(403), 0;
      break;
    case kFindResourceByName:
      name = static_cast<const char*>(key);
      if (name[0] == '\0') return SetEngineError(403), 0;
      break;
    case kFindResourceByPosition:
      position = GetLe32(k);
      break;
    case kFindResourceFirst:
      break;
    default:
      return SetEngineError(406), 0;
  }
  if ((mode & kFindResourceDescribe) && buffer == nullptr) return SetEngineError(33), 0;
  if ((mode & kFindResourceDescribe) && size < 12) return SetEngineError(404), 0;
  ResourceHeader found, anchor;
  std::vector<uint8_t> data;
  const int rc = WithVisitLocks(fcb, (mode & kFindResourceLock) != 0, kSearchRetryPauseMs, [&](VisitLocks* locks) {
    int wrc = Walk(fcb, [&](const ResourceHeader& r) {
      switch (base) {
        case kFindResourceByKey: return !Below(r.type, r.number, type, number);
        case kFindResourceAfter: return Below(type, number, r.type, r.number);
        case kFindResourceFirstOfType: return r.type >= type;
        case kFindResourceFirst: return r.type != 0;
        case kFindResourceByPosition: return r.position == position;
        default: {
          if (ReadData(fcb, r, &data) != 0) return false;
          const int n = NameLength(data.data(), static_cast<int32_t>(data.size()));
          return n >= 0 && std::strcmp(reinterpret_cast<const char*>(data.data() + 8), name) == 0;
        }
      }
    }, &found, &anchor, locks);
    if (wrc != 0) return wrc;
    const bool hit = found.position != anchor.position &&
                     (base != kFindResourceByKey || (found.type == type && found.number == number)) &&
                     (base != kFindResourceFirstOfType || found.type == type);
    if (!hit) return 408;
    if (!(mode & kFindResourceDescribe) && buffer != nullptr && size > 0) return ReadData(fcb, found, &data);
    return 0;
  });
  if (rc != 0) return SetEngineError(rc), 0;
  if (used != nullptr) *used = static_cast<int32_t>(found.used);
  if (mode & kFindResourceDescribe) {
    // Its identity words and its whole length, as the caller would read it.
    auto* out = static_cast<uint8_t*>(buffer);
    PutLe32(out, found.type);
    PutLe32(out + 4, found.number);
    PutLe32(out + 8, found.used);
    SetEngineError(0);
    return found.position;
  }
  if (buffer != nullptr && size > 0)
    std::memcpy(buffer, data.data(), std::min<std::size_t>(data.size(), static_cast<std::size_t>(size)));
  SetEngineError(static_cast<uint32_t>(size) < found.used ? 404 : 0);
  return found.position;
}

namespace {

// The checks add and update share: 0 with the data's (type, number), or
// the code (33 no data, 403 too short, unterminated name or (0, 0), the
// update check's codes).
int CheckResourceData(const FileControlBlock* fcb, const uint8_t* d, int32_t length, uint32_t* type,
                      uint32_t* number) {
  if (d == nullptr) return 33;
  if (length < 9 || NameLength(d, length) < 0) return 403;
  if (int rc = UpdateAllowed(fcb)) return rc;
  *type = GetLe32(d);
  *number = GetLe32(d + 4);
  return *type == 0 && *number == 0 ? 403 : 0;
}

// A data file (the kind the open mends) counts its writer in before a
// change reaches the chain, as a record change does, so a change cut off
// between its two link writes is mended at the next open alone.
int MarkResourceWriter(FileControlBlock* fcb) {
  if (fcb->header.file_type != kFileTypeVariable || fcb->header.file_class == kClassSuperHost) return 0;
  return MarkWriter(fcb);
}

// Walks to the resource of exactly (type, number): 0, 408 when absent, or
// the walk's result.
int FindExact(FileControlBlock* fcb, VisitLocks* locks, uint32_t type, uint32_t number, ResourceHeader* found) {
  ResourceHeader anchor;
  const int rc = Walk(fcb, [&](const ResourceHeader& r) { return !Below(r.type, r.number, type, number); },
                      found, &anchor, locks);
  if (rc != 0) return rc;
  return found->position == anchor.position || found->type != type || found->number != number ? 408 : 0;
}

// Takes a stretch for `length` data bytes and writes the resource there,
// linked between prev and next, then makes the neighbours name it: the new
// stretch is whole before any link names it.
int LinkNewResource(FileControlBlock* fcb, const uint8_t* data, uint32_t length, uint32_t next, uint32_t prev) {
  uint32_t total = 0;
  const uint32_t at = StretchFor(fcb, length, &total);
  if (at == 0) return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : 39;
  if (int rc = WriteResource(fcb, at, total, next, prev, data, length)) return rc;
  if (int rc = WriteLink(fcb, prev, 14, at)) return rc;
  return WriteLink(fcb, next, 18, at);
}

// The frame of add and update: the data checked, then change(fcb, locks,
// data, type, number) under the header lock with the walk's locks; its code
// goes to eng_err.
template <typename Change>
int ChangeResource(int file, const void* data, int32_t length, Change change) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  const auto* d = static_cast<const uint8_t*>(data);
  uint32_t type = 0, number = 0;
  if (int rc = CheckResourceData(fcb, d, length, &type, &number)) return SetEngineError(rc);
  if (int rc = MarkResourceWriter(fcb)) return SetEngineError(rc);
  return SetEngineError(WithVisitLocks(fcb, true, kNeighbourRetryPauseMs,
                                       [&](VisitLocks* locks) { return change(fcb, locks, d, type, number); }));
}

}  // namespace

int AddResourceEntry(int file, const void* data, int32_t length, uint32_t* assigned) {
  return ChangeResource(file, data, length, [&](FileControlBlock* fcb, VisitLocks* locks, const uint8_t* d,
                                                uint32_t type, uint32_t number) {
    ResourceHeader found, anchor, before;
    before.position = 0;
    int wrc = Walk(fcb, [&](const ResourceHeader& r) {
      if (Below(r.type, r.number, type, number)) {
        before = r;
        return false;
      }
      return true;
    }, &found, &anchor, locks);
    if (wrc != 0) return wrc;
    uint32_t give = number;
    if (number == kResourceNextNumber) {
      // The slot in front of the first resource that sorts after (type, max).
      const bool same_type = before.position != 0 && before.type == type;
      if (same_type && before.number == kResourceNextNumber - 1) return 405;
      give = same_type ? before.number + 1 : 0;
    } else if (found.position != anchor.position && found.type == type && found.number == number) {
      return 405;
    }
    std::vector<uint8_t> copy(d, d + length);
    PutLe32(copy.data() + 4, give);
    // found is the anchor when the new one goes last.
    if (int lrc = LinkNewResource(fcb, copy.data(), static_cast<uint32_t>(length), found.position, found.prev))
      return lrc;
    if (assigned != nullptr) *assigned = give;
    return 0;
  });
}

int ResourceRecordUpdate(int file, const void* data, int32_t length) {
  return ChangeResource(file, data, length, [&](FileControlBlock* fcb, VisitLocks* locks, const uint8_t* d,
                                                uint32_t type, uint32_t number) {
    ResourceHeader found;
    if (int frc = FindExact(fcb, locks, type, number, &found)) return frc;
    if (static_cast<uint64_t>(length) + kResourceHeaderSize <= found.total)
      return WriteResource(fcb, found.position, found.total, found.next, found.prev, d, static_cast<uint32_t>(length));
    // Relink the chain to the new stretch first, then free the old one.
    if (int lrc = LinkNewResource(fcb, d, static_cast<uint32_t>(length), found.next, found.prev)) return lrc;
    return FreeStretch(fcb, found);
  });
}

int DeleteResource(int file, const void* key) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (key == nullptr) return SetEngineError(403);
  const auto* k = static_cast<const uint8_t*>(key);
  const uint32_t type = GetLe32(k), number = GetLe32(k + 4);
  if (type == 0 && number == 0) return SetEngineError(403);
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  if (int rc = MarkResourceWriter(fcb)) return SetEngineError(rc);
  const int rc = WithVisitLocks(fcb, true, kNeighbourRetryPauseMs, [&](VisitLocks* locks) {
    ResourceHeader found;
    if (int frc = FindExact(fcb, locks, type, number, &found)) return frc;
    if (int wrc = WriteLink(fcb, found.prev, 14, found.next)) return wrc;
    if (int wrc = WriteLink(fcb, found.next, 18, found.prev)) return wrc;
    return FreeStretch(fcb, found);
  });
  return SetEngineError(rc);
}

int CheckResourceChain(int file, int32_t* count) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  int32_t n = 0;
  ResourceHeader found, anchor;
  VisitLocks no_locks(fcb, false);
  uint32_t last_type = 0, last_number = 0;
  bool ordered = true;
  const int rc = Walk(fcb, [&](const ResourceHeader& r) {
    if (n > 0 && !Below(last_type, last_number, r.type, r.number)) ordered = false;
    last_type = r.type;
    last_number = r.number;
    ++n;
    return false;
  }, &found, &anchor, &no_locks, true);
  if (rc != 0) return SetEngineError(rc);
  if (anchor.prev == 0 || !ordered) return SetEngineError(kErrFileDamaged);
  if (count != nullptr) *count = n;
  return SetEngineError(0);
}

int RepairResourceBackLinks(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (fcb->header.first_resource == 0) return 0;
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  ResourceHeader found, anchor;
  VisitLocks no_locks(fcb, false);
  std::vector<std::pair<uint32_t, uint32_t>> stale;
  if (int rc = Walk(fcb, [](const ResourceHeader&) { return false; }, &found, &anchor, &no_locks, false, &stale))
    return SetEngineError(rc);
  for (const auto& link : stale) {
    if (int rc = WriteLink(fcb, link.first, 18, link.second)) return SetEngineError(rc);
  }
  return SetEngineError(0);
}

}  // namespace isam
