#include "isam/resource_chain.h"

#include <cstring>
#include <vector>

#include "isam/btree_bytes.h"
#include "isam/btree_node.h"
#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/free_space.h"
#include "isam/resource_anchor.h"
#include "isam/varlen_record.h"

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

class HeaderLock {
 public:
  explicit HeaderLock(FileControlBlock* fcb) : fcb_(fcb), rc_(LockFileHeader(fcb)) {}
  ~HeaderLock() {
    if (rc_ == 0) UnlockFileHeader(fcb_);
  }
  int rc() const { return rc_; }

 private:
  FileControlBlock* fcb_;
  int rc_;
};

int Io(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, uint32_t length) {
  int32_t count = 0;
  return FilePositionedIo(mode, &HolderOf(fcb)->os, position, buffer, static_cast<int32_t>(length), &count);
}

// Reads a resource header and its (type, number); damaged stretches are
// reported, never followed.
int ReadResource(FileControlBlock* fcb, uint32_t position, ResourceHeader* r) {
  uint8_t b[kResourceHeaderSize + 8];
  const FileHeader& h = fcb->header;
  if (position == 0 || static_cast<uint64_t>(position) + kResourceHeaderSize + 8 - 1 > h.logical_end)
    return kErrFileDamaged;
  if (int rc = Io(0, fcb, position, b, sizeof b)) return rc;
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
  return Io(1, fcb, position + static_cast<uint32_t>(offset), b, 4);
}

int ReadData(FileControlBlock* fcb, const ResourceHeader& r, std::vector<uint8_t>* data) {
  data->resize(r.used);
  return Io(0, fcb, r.position + kResourceHeaderSize, data->data(), r.used);
}

bool Below(uint32_t t1, uint32_t n1, uint32_t t2, uint32_t n2) { return t1 < t2 || (t1 == t2 && n1 < n2); }

// The chain walk: calls stop(r) for every resource behind the anchor until
// it returns true. *found is the resource it stopped at, or the anchor when
// the walk came round. 0 or a code.
template <typename Stop>
int Walk(FileControlBlock* fcb, Stop stop, ResourceHeader* found, ResourceHeader* anchor) {
  const uint32_t first = fcb->header.first_resource;
  if (first == 0) return 401;
  if (int rc = ReadResource(fcb, first, anchor)) return rc;
  const uint64_t bound = fcb->header.logical_end / kResourceHeaderSize + 2;
  ResourceHeader r = *anchor;
  for (uint64_t steps = 0;; ++steps) {
    if (steps > bound) return kErrFileDamaged;  // a chain that never closes
    const uint32_t next = r.next;
    if (next == first) {
      *found = *anchor;
      return 0;
    }
    ResourceHeader n;
    if (int rc = ReadResource(fcb, next, &n)) return rc;
    if (n.prev != r.position) return kErrFileDamaged;
    r = n;
    if (stop(r)) {
      *found = r;
      return 0;
    }
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
  return Io(1, fcb, at, image.data(), static_cast<uint32_t>(image.size()));
}

// Gives a stretch that left the chain back where the file type allows.
int FreeStretch(FileControlBlock* fcb, const ResourceHeader& r) {
  const FileHeader& h = fcb->header;
  if (h.file_class == kClassSuperMember) {
    uint8_t b[10];
    PutLe16(b, kMarkMemberFree);
    PutLe32(b + 2, r.total);
    PutLe32(b + 6, 0);
    return Io(1, fcb, r.position, b, sizeof b);
  }
  if (h.file_type == kFileTypeVariable) return FreeVarSpace(fcb, r.position, false);
  // Fixed and index files keep the stretch, unlinked; walks skip its mark.
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
  if (key == nullptr && (mode & ~0x141) != kFindResourceFirst) return SetEngineError(403), 0;
  if (size < 0) return SetEngineError(634), 0;
  const int base = mode & ~(0x01 | 0x40 | 0x100);
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
  HeaderLock lock(fcb);
  if (lock.rc()) return 0;
  ResourceHeader found, anchor;
  std::vector<uint8_t> data;
  int rc = Walk(fcb, [&](const ResourceHeader& r) {
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
  }, &found, &anchor);
  if (rc != 0) return SetEngineError(rc), 0;
  const bool hit = found.position != anchor.position &&
                   (base != kFindResourceByKey || (found.type == type && found.number == number)) &&
                   (base != kFindResourceFirstOfType || found.type == type);
  if (!hit) return SetEngineError(408), 0;
  if (used != nullptr) *used = static_cast<int32_t>(found.used);
  if (mode & kFindResourceDescribe) {
    if (size < 12) return SetEngineError(404), found.position;
    auto* out = static_cast<uint8_t*>(buffer);
    PutLe32(out, found.position);
    PutLe32(out + 4, found.total);
    PutLe32(out + 8, found.used);
    SetEngineError(0);
    return found.position;
  }
  if (buffer != nullptr && size > 0) {
    if ((rc = ReadData(fcb, found, &data)) != 0) return SetEngineError(rc), 0;
    std::memcpy(buffer, data.data(), std::min<std::size_t>(data.size(), static_cast<std::size_t>(size)));
  }
  SetEngineError(static_cast<uint32_t>(size) < found.used ? 404 : 0);
  return found.position;
}

int AddResourceEntry(int file, const void* data, int32_t length, uint32_t* assigned) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (data == nullptr) return SetEngineError(33);
  const auto* d = static_cast<const uint8_t*>(data);
  if (length < 9 || NameLength(d, length) < 0) return SetEngineError(403);
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  const uint32_t type = GetLe32(d);
  uint32_t number = GetLe32(d + 4);
  if (type == 0 && number == 0) return SetEngineError(403);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  ResourceHeader found, anchor, before;
  before.position = 0;
  int rc = Walk(fcb, [&](const ResourceHeader& r) {
    if (Below(r.type, r.number, type, number)) {
      before = r;
      return false;
    }
    return true;
  }, &found, &anchor);
  if (rc != 0) return SetEngineError(rc);
  if (number == kResourceNextNumber) {
    // The slot in front of the first resource that sorts after (type, max).
    number = before.position != 0 && before.type == type ? before.number + 1 : 0;
    if (before.position != 0 && before.type == type && before.number == kResourceNextNumber - 1)
      return SetEngineError(405);
  } else if (found.position != anchor.position && found.type == type && found.number == number) {
    return SetEngineError(405);
  }
  const uint32_t next = found.position;   // the anchor when it goes last
  const uint32_t prev = found.prev;
  std::vector<uint8_t> copy(d, d + length);
  PutLe32(copy.data() + 4, number);
  uint32_t total = 0;
  const uint32_t at = StretchFor(fcb, static_cast<uint32_t>(length), &total);
  if (at == 0) return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : SetEngineError(39);
  // The new stretch is whole before any link names it.
  if ((rc = WriteResource(fcb, at, total, next, prev, copy.data(), static_cast<uint32_t>(length))) != 0)
    return SetEngineError(rc);
  if ((rc = WriteLink(fcb, prev, 14, at)) != 0) return SetEngineError(rc);
  if ((rc = WriteLink(fcb, next, 18, at)) != 0) return SetEngineError(rc);
  if (assigned != nullptr) *assigned = number;
  return SetEngineError(0);
}

int ResourceRecordUpdate(int file, const void* data, int32_t length) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (data == nullptr) return SetEngineError(33);
  const auto* d = static_cast<const uint8_t*>(data);
  if (length < 9 || NameLength(d, length) < 0) return SetEngineError(403);
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  const uint32_t type = GetLe32(d), number = GetLe32(d + 4);
  if (type == 0 && number == 0) return SetEngineError(403);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  ResourceHeader found, anchor;
  int rc = Walk(fcb, [&](const ResourceHeader& r) { return !Below(r.type, r.number, type, number); },
                &found, &anchor);
  if (rc != 0) return SetEngineError(rc);
  if (found.position == anchor.position || found.type != type || found.number != number)
    return SetEngineError(408);
  if (static_cast<uint64_t>(length) + kResourceHeaderSize <= found.total) {
    rc = WriteResource(fcb, found.position, found.total, found.next, found.prev, d, static_cast<uint32_t>(length));
    return SetEngineError(rc);
  }
  uint32_t total = 0;
  const uint32_t at = StretchFor(fcb, static_cast<uint32_t>(length), &total);
  if (at == 0) return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : SetEngineError(39);
  if ((rc = WriteResource(fcb, at, total, found.next, found.prev, d, static_cast<uint32_t>(length))) != 0)
    return SetEngineError(rc);
  if ((rc = WriteLink(fcb, found.prev, 14, at)) != 0) return SetEngineError(rc);
  if ((rc = WriteLink(fcb, found.next, 18, at)) != 0) return SetEngineError(rc);
  return SetEngineError(FreeStretch(fcb, found));
}

int DeleteResource(int file, const void* key) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (key == nullptr) return SetEngineError(403);
  const auto* k = static_cast<const uint8_t*>(key);
  const uint32_t type = GetLe32(k), number = GetLe32(k + 4);
  if (type == 0 && number == 0) return SetEngineError(403);
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  ResourceHeader found, anchor;
  int rc = Walk(fcb, [&](const ResourceHeader& r) { return !Below(r.type, r.number, type, number); },
                &found, &anchor);
  if (rc != 0) return SetEngineError(rc);
  if (found.position == anchor.position || found.type != type || found.number != number)
    return SetEngineError(408);
  if ((rc = WriteLink(fcb, found.prev, 14, found.next)) != 0) return SetEngineError(rc);
  if ((rc = WriteLink(fcb, found.next, 18, found.prev)) != 0) return SetEngineError(rc);
  return SetEngineError(FreeStretch(fcb, found));
}

int CheckResourceChain(int file, int32_t* count) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  int32_t n = 0;
  ResourceHeader found, anchor;
  uint32_t last_type = 0, last_number = 0;
  bool ordered = true;
  const int rc = Walk(fcb, [&](const ResourceHeader& r) {
    if (n > 0 && !Below(last_type, last_number, r.type, r.number)) ordered = false;
    last_type = r.type;
    last_number = r.number;
    ++n;
    return false;
  }, &found, &anchor);
  if (rc != 0) return SetEngineError(rc);
  if (anchor.prev == 0 || !ordered) return SetEngineError(kErrFileDamaged);
  if (count != nullptr) *count = n;
  return SetEngineError(0);
}

}  // namespace isam
