#include <algorithm>
#include <cstring>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_node.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/index/key_compare.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_internal.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/thread_layer.h"

namespace isam {
namespace isam_record {

int Fail(int code, int file) { return SetIsamError(code, file); }

bool IsVariable(const FileControlBlock* fcb) { return fcb->header.file_type == kFileTypeVariable; }

IsamFileRow* DataRow(int file, FileControlBlock** fcb) {
  IsamTables* t = CurrentIsamTables();
  *fcb = CheckFileNumber(file);
  if (*fcb == nullptr) {
    Fail(CurrentInstance()->eng_err, file);
    return nullptr;
  }
  if (t == nullptr || file >= static_cast<int>(t->files.size()) || !t->files[static_cast<std::size_t>(file)].is_data) {
    Fail(48, file);
    return nullptr;
  }
  return &t->files[static_cast<std::size_t>(file)];
}

int ReadWholeRecord(FileControlBlock* fcb, uint32_t position, std::vector<uint8_t>* out) {
  if (IsVariable(fcb)) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
    if (h.mark != kMarkActive) return CheckRecordMark(h) == 0 ? 160 : 158;
    if (h.used == 0) return 160;
    out->resize(h.used);
    // The header just read says how much to read: it is not read again.
    int32_t count = 0;
    if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, position + VarHeaderLength(fcb), out->data(),
                                  static_cast<int32_t>(h.used), &count))
      return SetEngineError(rc);
    if (!RecordBytesMatch(position, h, out->data(), h.used)) {  // never handed back as a record
      out->clear();
      return 160;
    }
    SetEngineError(0);
    return 0;
  }
  if (int rc = CheckRecordPosition(fcb, position)) return rc;
  out->resize(fcb->header.record_length);
  int32_t count = 0;
  if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, position, out->data(),
                                static_cast<int32_t>(out->size()), &count))
    return rc;
  if ((*out)[0] == 0xFF || ((*out)[0] == 0xFE && (*out)[1] == 0xFE)) return 160;
  return 0;
}

int MakeCurrent(int file, IsamFileRow* row, uint32_t position, const std::vector<uint8_t>& record, int key) {
  IsamTables* t = CurrentIsamTables();
  row->current = position;
  if (key == -2) return 0;
  uint8_t built[256];
  for (int16_t k : row->keys) {
    if (key >= 0 && k != key) continue;
    IsamKeyRow& kr = t->Key(k);
    const int n = BuildRecordKey(k, record.data(), record.size(), position, built);
    if (n < 0) return Fail(-n, k);
    kr.current_key.assign(built, built + n);
  }
  (void)file;
  return 0;
}

}  // namespace isam_record

using namespace isam_record;

namespace {

// The end of every read: the record at position, locked as the read-lock
// request asks, checked against the key that led to it, locked as the
// session asks and made current.
int IsamReadAtPosition(int file, IsamFileRow* row, FileControlBlock* fcb, int key, uint32_t position,
                   const uint8_t* found_key, void* buffer, int32_t* length) {
  const bool var = IsVariable(fcb);
  if (var) {
    if (length == nullptr) return 633;
    if (*length < 0) return 634;
  }
  if (buffer == nullptr) return 33;
  RequestedRecordLock requested(file, position);
  if (requested.rc() != 0) return requested.rc();
  std::vector<uint8_t> record;
  int rc = ReadWholeRecord(fcb, position, &record);
  if (rc == 158 && key >= 0) rc = 160;  // the index led to a stretch that is no record now
  if (rc != 0) return rc;
  if (key >= 0) {
    uint8_t built[256];
    const int n = BuildRecordKey(key, record.data(), record.size(), position, built);
    if (n < 0) return -n;
    if (n == 0 || KeyCompare(built, found_key, static_cast<std::size_t>(n)) != 0) return 160;
  }
  if ((rc = IsamLockCurrent(file, position, false)) != 0) return rc;
  requested.Keep();
  if (var) {
    const int32_t copy = std::min<int32_t>(*length, static_cast<int32_t>(record.size()));
    std::memcpy(buffer, record.data(), static_cast<std::size_t>(copy));
    *length = static_cast<int32_t>(record.size());
  } else {
    std::memcpy(buffer, record.data(), record.size());
  }
  if (CurrentIsamTables() != nullptr) CurrentIsamTables()->key_in_progress = static_cast<int16_t>(key);
  return MakeCurrent(file, row, position, record, -1) ? CurrentInstance()->isam_error : 0;
}

struct KeyContext {
  int key = 0;
  int data = 0;
  IsamFileRow* row = nullptr;
  FileControlBlock* fcb = nullptr;
  int key_length = 0;
};

int KeyContextOf(int key, KeyContext* c) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || key < 0 || key >= static_cast<int>(t->keys.size()) ||
      t->keys[static_cast<std::size_t>(key)].def.data_file < 0)
    return 48;
  c->key = key;
  c->data = t->keys[static_cast<std::size_t>(key)].def.data_file;
  c->key_length = t->keys[static_cast<std::size_t>(key)].def.key_length;
  c->row = DataRow(c->data, &c->fcb);
  return c->row ? 0 : CurrentInstance()->isam_error;
}

// A key whose record still does not match it once the retries are spent.
// When no writer holds the record, nobody is switching its keys: the key is
// a leftover of a writer that ended between its record write and its key
// switch (or it names a stretch that was freed since), and it is removed so
// no later reader meets it again. A writer that is in fact still switching
// finds the key gone and takes it as removed. True when the key went.
bool DropLeftoverKey(const KeyContext& c, const uint8_t* key, uint32_t position) {
  if (UpdateAllowed(c.fcb) != 0) return false;
  const bool held = CheckRecordLocked(c.data, kLockWrite, position) == 0;
  if (!held && LockRecord(c.data, kLockWrite, position) != 0) return false;
  const bool dropped = delkey(c.key, key, position, 0) == 0;
  if (!held) LockRecord(c.data, kLockUnlock, position);
  SetEngineError(0);
  return dropped;
}

// The read-lock request of one read call: taken when the call starts, put
// back before every try (the try's read consumes it), and gone when the
// call ends, whatever it found, so it never carries over to a later read.
class ReadLockRequestScope {
 public:
  ReadLockRequestScope() : bits_(TakeOptionBits24()) {}
  ~ReadLockRequestScope() { TakeOptionBits24(); }
  ReadLockRequestScope(const ReadLockRequestScope&) = delete;
  ReadLockRequestScope& operator=(const ReadLockRequestScope&) = delete;
  void Restore() const {
    if (bits_ != 0 && CurrentInstance() != nullptr) CurrentInstance()->option_word |= bits_;
  }

 private:
  uint32_t bits_;
};

// Retries a search-and-read while the record is in motion, pausing briefly
// so the writer can finish. Once the retries are spent, a leftover key is
// removed and the search answers once more as the index now stands.
template <typename Search>
int ReadThroughIndex(const KeyContext& c, Search search, void* buffer, int32_t* length) {
  ReadLockRequestScope request;
  int rc = 0;
  uint8_t found[256];
  uint32_t position = 0;
  for (int attempt = 0; attempt <= kRecordMotionRetries; ++attempt) {
    if (attempt == kRecordMotionRetries && !DropLeftoverKey(c, found, position)) break;
    if (attempt > 0 && attempt < kRecordMotionRetries) EngineSleep(kRecordMotionPauseMs);
    request.Restore();
    SetEngineError(0);
    position = search(found);
    if (position == 0) {
      const int err = CurrentInstance()->eng_err;
      return err != 0 ? err : 101;
    }
    rc = IsamReadAtPosition(c.data, c.row, c.fcb, c.key, position, found, buffer, length);
    if (rc != 160) return rc;
    // Alone with the file, nobody can have the record in motion: the key
    // is a leftover now, and waiting would change nothing.
    if (attempt < kRecordMotionRetries - 1 && !OsOthersHoldFile(&c.fcb->os)) attempt = kRecordMotionRetries - 1;
  }
  return rc;
}

// Whether `found` lies strictly beyond `from` in the walk's direction. The
// tree hands out keys in order on a sound file; a key that does not move on
// is damage (a changed separator or key byte), and following it would walk
// in circles.
bool MovesOn(const uint8_t* found, const uint8_t* from, std::size_t length, bool forward) {
  const int order = KeyCompare(found, from, length);
  return forward ? order > 0 : order < 0;
}

// Keys a walk step may pass over before the index must be damaged: every
// key the header counts, and room for what other openers add meanwhile.
uint64_t StepBound(int key) {
  FileControlBlock* index = CheckFileNumber(key);
  if (index == nullptr) return 0;
  if (IsShared(index) && index->header_lock_depth == 0) ReadFileHeader(index);
  return static_cast<uint64_t>(index->header.active_count) + 64;
}

// One step of a walk in key order: the first key after `from` (or the
// first / last key of the index when from is null) whose record matches it.
// A key whose record does not match is tried again, with a pause, while a
// writer may still be switching it; after the bounded retries the walk steps
// past it (and drops it when no writer holds the record). Such a key is a
// leftover of a rewrite that ended between its record write and its key
// switch, and a walk must end whatever the file holds: every key found must
// lie strictly beyond the one before it (else 690), the keys passed over are
// bounded by the index's key count (690 past it), and the pauses of one
// step share one budget, so a step ends within a fixed bound.
int WalkThroughIndex(const KeyContext& c, bool forward, const uint8_t* from, void* buffer, int32_t* length) {
  const std::size_t klen = static_cast<std::size_t>(c.key_length);
  ReadLockRequestScope request;
  uint8_t after[256];
  bool have_after = from != nullptr;
  if (have_after) std::memcpy(after, from, klen);
  // The bound is taken once a key has been passed over: a step that finds
  // its record at once (nearly every step) never needs it, and on a shared
  // file it costs a header read.
  uint64_t bound = 0;
  int pauses = kRecordMotionRetries;
  for (uint64_t passed = 0;; ++passed) {
    if (passed == 1) bound = StepBound(c.key);
    if (passed > 0 && passed > bound) return kErrFileDamaged;
    uint8_t tried[256];
    uint32_t tried_position = 0;
    int rc = 0;
    for (int attempt = 0; attempt < kRecordMotionRetries; ++attempt) {
      if (attempt > 0) {
        if (pauses <= 0) break;
        --pauses;
        EngineSleep(kRecordMotionPauseMs);
      }
      request.Restore();
      uint8_t found[256];
      SetEngineError(0);
      uint32_t position = 0;
      if (attempt > 0) {
        // The same key again (or the one that took its place).
        position = forward ? FindKeyAtLeast(c.key, tried, found) : FindKeyAtMost(c.key, tried, found);
      } else if (have_after) {
        position = FindKeyAfter(c.key, after, forward, found);
      } else {
        position = forward ? frskey(c.key, found) : lstkey(c.key, found);
      }
      if (position == 0) {
        const int err = CurrentInstance()->eng_err;
        return err != 0 ? err : 101;
      }
      if (have_after && !MovesOn(found, after, klen, forward)) return kErrFileDamaged;
      std::memcpy(tried, found, klen);
      tried_position = position;
      rc = IsamReadAtPosition(c.data, c.row, c.fcb, c.key, position, found, buffer, length);
      if (rc != 160) return rc;
      if (!OsOthersHoldFile(&c.fcb->os)) break;  // alone: no writer is switching it
    }
    DropLeftoverKey(c, tried, tried_position);
    std::memcpy(after, tried, klen);
    have_after = true;
  }
}

// Whether a key found by mode keeps to what the mode promises of the target:
// a damaged tree can answer a search with a key on the wrong side of it.
bool KeepsToMode(const uint8_t* found, const uint8_t* target, std::size_t length, char mode) {
  const int order = KeyCompare(found, target, length);
  switch (mode) {
    case 'G': return order >= 0;
    case 'H': return order > 0;
    case 'M': return order <= 0;
    case 'N': return order < 0;
    default: return true;
  }
}

bool SameValue(const KeyContext& c, const uint8_t* a, const uint8_t* b) {
  IsamTables* t = CurrentIsamTables();
  const bool dup = t->keys[static_cast<std::size_t>(c.key)].def.duplicates;
  const int n = dup ? c.key_length - 4 : c.key_length;
  return std::memcmp(a, b, static_cast<std::size_t>(n)) == 0;
}

int ByKey(int key, const void* target, char mode, void* buffer, int32_t* length) {
  KeyContext c;
  if (int rc = KeyContextOf(key, &c)) return rc;
  const bool dup = CurrentIsamTables()->keys[static_cast<std::size_t>(key)].def.duplicates;
  uint8_t t[256];
  const uint32_t suffix = (mode == kReadGreater || mode == kReadAtMost) ? 0xFFFFFFFFu : 0;
  if (int rc = MakeTargetKey(key, target, suffix, t)) return rc;
  auto search = [&](uint8_t* found) -> uint32_t {
    if (mode == kReadEqual && dup) {
      // Equal on the value: the first entry at or after (value, 0).
      const uint32_t p = FindKeyAtLeast(key, t, found);
      if (p != 0 && !SameValue(c, found, t)) return 0;
      return p;
    }
    const uint32_t p = FindKeyByMode(key, t, mode, found);
    if (p != 0 && !KeepsToMode(found, t, static_cast<std::size_t>(c.key_length), mode)) {
      SetEngineError(kErrFileDamaged);
      return 0;
    }
    return p;
  };
  return ReadThroughIndex(c, search, buffer, length);
}

}  // namespace

namespace isam_record {

int ReadByStoredTarget(int key, const uint8_t* target, char mode, const uint8_t* leading,
                       std::size_t leading_length, void* buffer, int32_t* length) {
  KeyContext c;
  if (int rc = KeyContextOf(key, &c)) return rc;
  const std::vector<uint8_t> t(target, target + c.key_length);
  auto search = [&](uint8_t* found) -> uint32_t {
    const uint32_t p = FindKeyByMode(key, t.data(), mode, found);
    if (p != 0 && !KeepsToMode(found, t.data(), t.size(), mode)) {
      SetEngineError(kErrFileDamaged);
      return 0;
    }
    if (p != 0 && leading_length > 0 && std::memcmp(found, leading, leading_length) != 0) {
      SetEngineError(0);
      return 0;
    }
    return p;
  };
  return ReadThroughIndex(c, search, buffer, length);
}

}  // namespace isam_record

namespace {

// Physical walk of a data file from position (inclusive).
// One slot of a fixed-length file's physical walk: whether a live record
// starts there, and where the next slot begins (a deleted record is one
// record length, a stretch marked 0xFE 0xFE, a resource, as long as its
// bytes 2..5 say, rounded up to whole records).
int FixedSlotAt(FileControlBlock* fcb, uint64_t position, bool* live, uint64_t* next) {
  uint8_t head[6] = {};
  if (int rc = FileIo(0, fcb, static_cast<uint32_t>(position), head, sizeof head)) return rc;
  const uint32_t len = fcb->header.record_length;
  if (len == 0) return kErrFileDamaged;
  *live = false;
  *next = position + len;
  if (head[0] == 0xFE && head[1] == 0xFE) {
    const uint64_t skip = GetLe32(head + 2);
    if (skip > len) *next = position + (skip + len - 1) / len * len;
  } else if (head[0] != 0xFF) {
    *live = true;
  }
  return 0;
}

// Steps a physical walk may take before the file must be damaged.
uint64_t WalkSteps(const FileControlBlock* fcb) {
  const uint32_t unit = IsVariable(fcb) ? kShortVarHeader : std::max<uint32_t>(fcb->header.record_length, 1);
  return fcb->header.logical_end / unit + 2;
}

// Physical walk of a data file from position (inclusive).
int ReadRecordPhysical(int file, IsamFileRow* row, FileControlBlock* fcb, uint64_t position, void* buffer,
                 int32_t* length) {
  if (IsShared(fcb) && fcb->header_lock_depth == 0) ReadFileHeader(fcb);
  const uint64_t bound = WalkSteps(fcb);
  for (uint64_t steps = 0;; ++steps) {
    if (steps > bound) return kErrFileDamaged;
    if (position > fcb->header.logical_end) return 101;
    if (IsVariable(fcb)) {
      VarRecordHeader h;
      if (int rc = ReadVarRecordHeader(fcb, static_cast<uint32_t>(position), &h)) return rc;
      if (CheckRecordMark(h) != 0) return 158;
      if (h.total < VarHeaderLength(fcb)) return kErrFileDamaged;  // a walk must move on
      if (h.mark != kMarkActive || h.used == 0 || h.member != fcb->header.superfile_member) {
        // Free space, index nodes, resources, and stretches a writer claimed
        // but never filled.
        position += h.total;
        continue;
      }
    } else {
      bool live = false;
      uint64_t next = 0;
      if (int rc = FixedSlotAt(fcb, position, &live, &next)) return rc;
      if (!live) {
        position = next;
        continue;
      }
    }
    return IsamReadAtPosition(file, row, fcb, -1, static_cast<uint32_t>(position), nullptr, buffer, length);
  }
}

// The backward walk of a fixed-length file: the last live record below
// `below`, 101 when there is none. A resource's bytes are no records, and
// only a walk from the front knows where a stretch begins, so it scans
// forward.
int FixedBackwardFrom(int file, IsamFileRow* row, FileControlBlock* fcb, uint64_t below, void* buffer,
                      int32_t* length) {
  if (IsShared(fcb) && fcb->header_lock_depth == 0) ReadFileHeader(fcb);
  const uint64_t bound = WalkSteps(fcb);
  uint64_t found = 0;
  uint64_t position = FirstFixedPosition(fcb);
  for (uint64_t steps = 0; position < below && position <= fcb->header.logical_end; ++steps) {
    if (steps > bound) return kErrFileDamaged;
    bool live = false;
    uint64_t next = 0;
    if (int rc = FixedSlotAt(fcb, position, &live, &next)) return rc;
    if (live) found = position;
    position = next;
  }
  if (found == 0) return 101;
  return IsamReadAtPosition(file, row, fcb, -1, static_cast<uint32_t>(found), nullptr, buffer, length);
}

}  // namespace

int IsamRecordReadByKey(int key, const void* target, char mode, void* buffer, int32_t* length) {
  IoStepScope step;
  if (mode != kReadEqual && mode != kReadAtLeast && mode != kReadGreater && mode != kReadAtMost &&
      mode != kReadLess)
    return Fail(116, key);
  return Fail(ByKey(key, target, mode, buffer, length), key);
}

int IsamRecordFirst(int file, void* buffer, int32_t* length) {
  IoStepScope step;
  IsamTables* t = CurrentIsamTables();
  if (t != nullptr && file >= 0 && file < static_cast<int>(t->keys.size()) &&
      t->keys[static_cast<std::size_t>(file)].def.data_file >= 0) {
    KeyContext c;
    if (int rc = KeyContextOf(file, &c)) return Fail(rc, file);
    return Fail(WalkThroughIndex(c, true, nullptr, buffer, length), file);
  }
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  const uint32_t first = IsVariable(fcb) ? FirstVarPosition(fcb) : FirstFixedPosition(fcb);
  return Fail(ReadRecordPhysical(file, row, fcb, first, buffer, length), file);
}

int IsamRecordLast(int file, void* buffer, int32_t* length) {
  IoStepScope step;
  KeyContext c;
  if (KeyContextOf(file, &c) == 0) {
    return Fail(WalkThroughIndex(c, false, nullptr, buffer, length), file);
  }
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (IsVariable(fcb)) return Fail(48, file);
  return Fail(FixedBackwardFrom(file, row, fcb, static_cast<uint64_t>(fcb->header.logical_end) + 1, buffer, length),
              file);
}

namespace {

int StepByKey(int key, bool forward, void* buffer, int32_t* length) {
  KeyContext c;
  if (int rc = KeyContextOf(key, &c)) return rc;
  IsamKeyRow& kr = CurrentIsamTables()->Key(key);
  if (c.row->current == 0 || kr.current_key.empty()) return 100;
  const std::vector<uint8_t> from = kr.current_key;
  return WalkThroughIndex(c, forward, from.data(), buffer, length);
}

}  // namespace

int IsamRecordNext(int file, void* buffer, int32_t* length) {
  IoStepScope step;
  KeyContext c;
  if (KeyContextOf(file, &c) == 0) return Fail(StepByKey(file, true, buffer, length), file);
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (row->current == 0) return Fail(100, file);
  uint64_t next = 0;
  if (IsVariable(fcb)) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, row->current, &h)) return Fail(rc, file);
    if (CheckRecordMark(h) != 0) return Fail(158, file);
    if (h.total < VarHeaderLength(fcb)) return Fail(kErrFileDamaged, file);
    next = static_cast<uint64_t>(row->current) + h.total;
  } else {
    next = static_cast<uint64_t>(row->current) + fcb->header.record_length;
  }
  return Fail(ReadRecordPhysical(file, row, fcb, next, buffer, length), file);
}

int IsamRecordPrevious(int file, void* buffer, int32_t* length) {
  IoStepScope step;
  KeyContext c;
  if (KeyContextOf(file, &c) == 0) return Fail(StepByKey(file, false, buffer, length), file);
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (IsVariable(fcb)) return Fail(48, file);
  if (row->current == 0) return Fail(100, file);
  return Fail(FixedBackwardFrom(file, row, fcb, row->current, buffer, length), file);
}

int IsamRecordReread(int file, void* buffer, int32_t size, int32_t* length) {
  IoStepScope step;
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (row->current == 0) return Fail(100, file);
  if (buffer == nullptr) return Fail(33, file);
  std::vector<uint8_t> record;
  int rc = ReadWholeRecord(fcb, row->current, &record);
  if (rc == 29) rc = 100;
  if (rc != 0) return Fail(rc, file);
  if (length != nullptr) *length = static_cast<int32_t>(record.size());
  if (IsVariable(fcb) && size < static_cast<int32_t>(record.size())) return Fail(153, file);
  // Only a re-read that will fill the buffer consumes the lock request; the
  // record is read again under the lock it took.
  const bool held_before = CheckRecordLocked(file, kLockWrite, row->current) == 0;
  RequestedRecordLock requested(file, row->current);
  if (requested.rc() != 0) return Fail(requested.rc(), file);
  if (!held_before && CheckRecordLocked(file, kLockWrite, row->current) == 0) {
    if ((rc = ReadWholeRecord(fcb, row->current, &record)) != 0) return Fail(rc, file);
    if (length != nullptr) *length = static_cast<int32_t>(record.size());
    if (IsVariable(fcb) && size < static_cast<int32_t>(record.size())) return Fail(153, file);
  }
  const int key = CurrentIsamTables()->key_in_progress;
  IsamTables* t = CurrentIsamTables();
  if (key >= 0 && key < static_cast<int>(t->keys.size()) && t->keys[static_cast<std::size_t>(key)].def.data_file == file) {
    const auto& expected = t->keys[static_cast<std::size_t>(key)].current_key;
    uint8_t built[256];
    const int n = BuildRecordKey(key, record.data(), record.size(), row->current, built);
    if (n < 0) return Fail(-n, key);
    if (n != static_cast<int>(expected.size()) || std::memcmp(built, expected.data(), expected.size()) != 0)
      return Fail(160, file);
  }
  if ((rc = IsamLockCurrent(file, row->current, false)) != 0) return Fail(rc, file);
  requested.Keep();
  std::memcpy(buffer, record.data(), record.size());
  if (MakeCurrent(file, row, row->current, record, -1) != 0) return CurrentInstance()->isam_error;
  return Fail(0, file);
}

uint32_t CurrentRecordPosition(int file) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  return row ? row->current : 0;
}

int CurrentIsamKey(int key, uint8_t* out) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || key < 0 || key >= static_cast<int>(t->keys.size()) ||
      t->keys[static_cast<std::size_t>(key)].def.data_file < 0) {
    SetEngineError(48);
    return -48;
  }
  const auto& k = t->keys[static_cast<std::size_t>(key)].current_key;
  if (!k.empty()) std::memcpy(out, k.data(), k.size());
  return static_cast<int>(k.size());
}

int SetCurrentRecord(int file, uint32_t position, const void* record, int32_t length, int key) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (record == nullptr || length < 0) return Fail(33, file);
  const auto* r = static_cast<const uint8_t*>(record);
  std::vector<uint8_t> copy(r, r + length);
  if (MakeCurrent(file, row, position, copy, key) != 0) return CurrentInstance()->isam_error;
  return Fail(0, file);
}

int SaveRestoreCurrent(int file, int mode) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  IsamTables* t = CurrentIsamTables();
  switch (mode) {
    case 0:
      row->saved = row->current;
      for (int16_t k : row->keys) t->Key(k).saved_key = t->Key(k).current_key;
      break;
    case 1:
      row->current = row->saved;
      for (int16_t k : row->keys) t->Key(k).current_key = t->Key(k).saved_key;
      break;
    case 2:
      std::swap(row->current, row->saved);
      for (int16_t k : row->keys) std::swap(t->Key(k).current_key, t->Key(k).saved_key);
      break;
    default:
      return Fail(116, file);
  }
  return Fail(0, file);
}

void SetIsamOperationFlags(uint32_t flags) {
  if (IsamTables* t = CurrentIsamTables()) t->operation_flags = flags;
}

int CurrentIsamKey(int key, uint8_t* out, int32_t* length) {
  if (length != nullptr) *length = 0;
  if (out == nullptr) return SetEngineError(33);
  const int n = CurrentIsamKey(key, out);
  if (n < 0) return -n;
  if (length != nullptr) *length = n;
  return SetEngineError(0);
}

int IsamRereadRecord(int file, void* buffer) { return IsamRecordReread(file, buffer, 0); }

}  // namespace isam
