// One batch request: start (selection, locks, packing), continue, end and
// deletion of the matched records.
#include <climits>
#include <cstring>
#include <vector>

#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"
#include "isam/maint/tables/batch.h"
#include "isam/maint/tables/batch_state.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/function_table.h"

namespace isam::maint {
namespace {

constexpr int32_t kActionMask = 0x7, kSelectionMask = 0x4700, kFormatMask = 0xE0;
constexpr int32_t kPartialKey = 0x100, kPositionList = 0x200, kKeyList = 0x400, kRefusedSelection = 0x4000;
// The third format, positions only (0x40), adds nothing after the position.
constexpr int32_t kImages = 0x20, kKeys = 0x80;

int32_t Get32(const uint8_t* block, int offset) {
  int32_t v;
  std::memcpy(&v, block + offset, 4);
  return v;
}
void Put32(uint8_t* block, int offset, int32_t v) { std::memcpy(block + offset, &v, 4); }

// What one call works with: the batch and the caller's memory of this call.
struct Call {
  BatchState* b;
  uint8_t* request;
  uint8_t* buffer;
  int32_t length;
  int32_t cursor = 0;
  int32_t returned = 0;
};

bool Variable(int data_file) {
  const FileControlBlock* f = FileControlOf(data_file);
  return f != nullptr && f->header.file_type == kFileTypeVariable;
}

// Reads the record at position into the batch's buffer: its length, or
// minus the code.
int32_t ReadRecord(BatchState* b, uint32_t position) {
  FileControlBlock* f = FileControlOf(b->data_file);
  if (f == nullptr) return -26;
  if (f->header.file_type != kFileTypeVariable) {
    b->record.resize(f->header.record_length);
    const int rc = ReadDataRecordAt(b->data_file, position, b->record.data());
    return rc != 0 ? -rc : static_cast<int32_t>(b->record.size());
  }
  const int32_t used = ReadVarRecordLength(f, position, INT32_MAX, false);
  if (used < 0) return used;
  b->record.resize(static_cast<std::size_t>(used) + 1);
  return ReadVarRecordAt(f, position, b->record.data(), used, true);
}

int32_t KeyLength(int file) {
  const FileControlBlock* f = FileControlOf(file);
  return f != nullptr ? f->header.key_length : 0;
}

// The entry of one record in the format, or minus the code.
int BuildEntry(BatchState* b, const BatchEntry& e, std::vector<uint8_t>* out) {
  out->assign(4, 0);
  std::memcpy(out->data(), &e.position, 4);
  if (b->format == kImages) {
    const int32_t n = ReadRecord(b, e.position);
    if (n < 0) return n;
    if (Variable(b->data_file)) out->insert(out->end(), reinterpret_cast<const uint8_t*>(&n),
                                            reinterpret_cast<const uint8_t*>(&n) + 4);
    out->insert(out->end(), b->record.begin(), b->record.begin() + n);
  } else if (b->format == kKeys) {
    std::vector<uint8_t> key = e.key;
    key.resize(static_cast<std::size_t>(KeyLength(b->file)) + 1, 0);
    if (const int rc = KeyToValueForm(b->file, key.data()); rc != 0) return -rc;
    out->insert(out->end(), key.begin(), key.end() - 1);
  }
  return 0;
}

// Packs pending entries in order until one does not fit: 0, 429 when the
// very first does not, or a read code.
int PackPending(Call& c) {
  BatchState* b = c.b;
  std::vector<uint8_t> entry;
  bool first = true;
  for (; b->next_pending < b->entries.size(); ++b->next_pending) {
    BatchEntry& e = b->entries[b->next_pending];
    if (!e.pending) continue;
    if (const int rc = BuildEntry(b, e, &entry); rc < 0) return -rc;
    if (c.buffer == nullptr || static_cast<int64_t>(entry.size()) > c.length - c.cursor) return first ? 429 : 0;
    std::memcpy(c.buffer + c.cursor, entry.data(), entry.size());
    c.cursor += static_cast<int32_t>(entry.size());
    e.pending = false;
    ++c.returned;
    --b->pending;
    first = false;
  }
  return 0;
}

// One matched record: re-checked, locked, listed. 0, or 423 / a code that
// ends the selection.
int Match(BatchState* b, uint32_t position, const uint8_t* key) {
  const int32_t key_length = key != nullptr ? KeyLength(b->file) : 0;
  if (b->verify && key != nullptr) {
    const int32_t n = ReadRecord(b, position);
    if (n < 0) return -n;
    std::vector<uint8_t> built(static_cast<std::size_t>(key_length) + 4, 0);
    if (BuildStoredKey(b->file, b->record.data(), built.data(), position, n) == 0 ||
        std::memcmp(built.data(), key, static_cast<std::size_t>(key_length)) != 0)
      return 0;
  }
  BatchEntry e;
  e.position = position;
  if (key != nullptr) e.key.assign(key, key + key_length);
  if (b->lock != 0) {
    if (LockRecord(b->data_file, b->lock, position) != 0) {
      if (b->lock_strict) return 423;
      return 0;
    }
    e.locked = true;
  }
  e.pending = true;
  b->entries.push_back(std::move(e));
  ++b->matched;
  ++b->pending;
  return 0;
}

int SelectPartial(BatchState* b, const uint8_t* request) {
  const int32_t key_length = KeyLength(b->file);
  int16_t partial;
  std::memcpy(&partial, request + 12, 2);
  if (partial < 1 || partial > key_length) return 430;
  std::vector<uint8_t> target(static_cast<std::size_t>(key_length), 0), found(target.size() + 4, 0);
  std::memcpy(target.data(), request + 14, static_cast<std::size_t>(partial));
  SetEngineError(0);
  for (uint32_t pos = FindKeyAtLeast(b->file, target.data(), found.data());
       pos != 0 && std::memcmp(found.data(), target.data(), static_cast<std::size_t>(partial)) == 0;
       pos = IndexNextKey(b->file, found.data())) {
    if (const int rc = Match(b, pos, found.data()); rc != 0) return rc;
  }
  return CurrentInstance()->eng_err;
}

int SelectKeys(BatchState* b, const uint8_t* request, int32_t count) {
  const FileControlBlock* f = FileControlOf(b->file);
  const std::size_t key_length = static_cast<std::size_t>(KeyLength(b->file));
  const std::size_t compared = f->header.duplicates ? key_length - 4 : key_length;
  std::vector<uint8_t> target(key_length), found(key_length + 4);
  for (int32_t i = 0; i < count; ++i) {
    std::memcpy(target.data(), request + 12 + static_cast<std::size_t>(i) * key_length, key_length);
    std::memset(target.data() + compared, 0, key_length - compared);
    SetEngineError(0);
    const uint32_t pos = FindKeyAtLeast(b->file, target.data(), found.data());
    if (pos == 0 && CurrentInstance()->eng_err != 0) return CurrentInstance()->eng_err;
    if (pos == 0 || std::memcmp(found.data(), target.data(), compared) != 0) continue;  // missing: skipped
    if (const int rc = Match(b, pos, found.data()); rc != 0) return rc;
  }
  return 0;
}

int SelectPositions(BatchState* b, const uint8_t* request, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (const int rc = Match(b, static_cast<uint32_t>(Get32(request, 12 + 4 * i)), nullptr); rc != 0) return rc;
  }
  return 0;
}

int DeleteMatched(BatchState* b, uint8_t* request) {
  int32_t deleted = 0;
  int rc = 0;
  for (const BatchEntry& e : b->entries) {
    const int32_t n = ReadRecord(b, e.position);
    if (n < 0) {
      rc = -n;
      break;
    }
    rc = SetCurrentRecord(b->data_file, e.position, b->record.data(), n, -1);
    if (rc == 0) rc = IsamRecordDelete(b->data_file);
    if (rc != 0) break;
    ++deleted;
  }
  Put32(request, 8, deleted);
  EndBatch(b);
  return rc;
}

// The data file a request works on, or minus the code.
int DataFileOf(int16_t file, bool index_wanted) {
  const FileControlBlock* f = FileControlOf(file);
  if (f == nullptr) return -CurrentInstance()->eng_err;
  const bool index = f->header.file_type == kFileTypeIndex;
  if (index != index_wanted) return -48;
  if (!index) return file;
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || file >= static_cast<int>(t->keys.size()) || t->keys[file].def.data_file < 0) return -48;
  return t->keys[file].def.data_file;
}

int Start(Call& c, int16_t file, int32_t word) {
  BatchState* b = c.b;
  const int action = word & kActionMask;
  const int32_t selection = word & kSelectionMask;
  if ((selection & kRefusedSelection) != 0 || (selection != kPartialKey && selection != kPositionList &&
                                               selection != kKeyList))
    return 421;
  const int32_t count = Get32(c.request, 0);
  if (selection != kPartialKey && count < 0) return 430;
  if (selection == kPositionList && (word & kFormatMask) != kImages) return 430;
  const int data_file = DataFileOf(file, selection != kPositionList);
  if (data_file < 0) return -data_file;
  *b = BatchState{};
  b->file = file;
  b->data_file = static_cast<int16_t>(data_file);
  b->state = action;
  b->selection = selection;
  b->format = word & kFormatMask;
  b->verify = word & 0x10;
  b->lock = (word & 0x1800) == 0x800 ? kLockRead : (word & 0x1800) != 0 ? kLockWrite : 0;
  b->lock_strict = word & 0x2000;
  b->keep = word & 0x8000;
  int rc = selection == kPartialKey   ? SelectPartial(b, c.request)
           : selection == kKeyList    ? SelectKeys(b, c.request, count)
                                      : SelectPositions(b, c.request, count);
  Put32(c.request, 0, b->matched);
  if (rc != 0) {
    EndBatch(b);
    return rc;
  }
  if (b->matched == 0) {
    Put32(c.request, 4, 0);
    Put32(c.request, 8, 0);
    EndBatch(b);
    return 101;
  }
  if (action == 4) return DeleteMatched(b, c.request);
  if (b->format != 0) rc = PackPending(c);
  if (rc == 429) rc = 0;  // everything waits for a continue with a larger buffer
  Put32(c.request, 4, c.returned);
  Put32(c.request, 8, b->pending);
  if (rc != 0) EndBatch(b);
  return rc;
}

int Continue(Call& c, int32_t word) {
  BatchState* b = c.b;
  if (b->format == 0) b->format = word & kFormatMask;
  if (b->format == 0) return 427;
  if (b->pending == 0) {
    EndBatch(b);
    return 428;
  }
  const int rc = PackPending(c);
  Put32(c.request, 4, c.returned);
  Put32(c.request, 8, b->pending);
  return rc;
}

int Run(int16_t file, void* request, void* buffer, int32_t buffer_length, int32_t word) {
  const int action = word & kActionMask;
  if (action < 1 || action > 4) return 422;
  BatchState* b = CurrentBatch(action >= 3);
  const bool active = b != nullptr && b->state != 0;
  if (action == 1) {
    if (!active) return 426;
    EndBatch(b);
    return 0;
  }
  if (request == nullptr) return 430;
  if (b == nullptr) return action == 2 ? 426 : 424;
  Call c{b, static_cast<uint8_t*>(request), static_cast<uint8_t*>(buffer), buffer != nullptr ? buffer_length : 0};
  if (action == 2) return active ? Continue(c, word) : 426;
  if (active) {
    // A retrieval that has handed out everything may have its records deleted.
    if (action == 4 && b->state == 3 && b->pending == 0) return DeleteMatched(b, c.request);
    return 425;
  }
  return Start(c, file, word);
}

}  // namespace

int BatchRequest(int16_t file, void* request, void* buffer, int32_t buffer_length, int32_t word) {
  SetEngineError(0);
  return SetIsamError(Run(file, request, buffer, buffer_length, word), file);
}

int BatchRequestCall(EngineCall* call) {
  return BatchRequest(call->file, call->block, call->block2, call->value2 != nullptr ? *call->value2 : 0,
                      call->extra);
}

}  // namespace isam::maint
