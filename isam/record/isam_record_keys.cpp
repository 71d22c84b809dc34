#include "isam/record/isam_record_keys.h"

#include <cstring>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_build.h"
#include "isam/index/key_search.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_schema_store.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/maint_hooks.h"

namespace isam {
namespace {

// The record schema the key's segments are read and transformed by: the
// data file's own, or, for a file without one, a schema header without
// fields that carries the index's pad byte and the default delimiter (the
// schema segments then answer 199).
class KeySchema {
 public:
  KeySchema(const IsamKeyRow& row, FileControlBlock* data) {
    if (data != nullptr) view_ = RecordSchemaOf(data);
    if (view_.data != nullptr && view_.length >= kSchemaHeaderSize) {
      stored_ = true;
      return;
    }
    header_[0] = kSchemaFormat;
    header_[1] = kSchemaDefaultAlignment;
    header_[2] = kSchemaDefaultDelimiter;
    header_[3] = row.pad;
    PutLe32(header_ + 4, sizeof header_);
    view_.data = header_;
    view_.length = sizeof header_;
  }
  KeySchema(const KeySchema&) = delete;
  KeySchema& operator=(const KeySchema&) = delete;
  const RecordSchemaView* view() const { return &view_; }
  bool stored() const { return stored_; }

 private:
  uint8_t header_[kSchemaHeaderSize] = {};
  RecordSchemaView view_;
  bool stored_ = false;
};

bool UsesSchemaFields(const KeyDefinition& def) {
  for (const KeySegment& seg : def.segments) {
    if (seg.offset < 0) break;
    if (seg.length > 0 && SegmentBaseMode(seg.mode) >= 12) return true;
  }
  return false;
}

// The key value (see BuildKeyOfRecord): its length, 0 no key, or -code.
int KeyValueOf(int key, const uint8_t* record, std::size_t length, uint8_t* out) {
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return -80;
  if (record == nullptr || out == nullptr) return -33;
  const KeyDefinition& def = row->def;
  FileControlBlock* data = CheckFileNumber(def.data_file);
  if (data == nullptr) return -80;
  if (def.key_length > 256) return -115;
  const KeySchema schema(*row, data);
  if (!schema.stored() && UsesSchemaFields(def)) return -199;
  // Delimited fields are counted from the end of a variable record's fixed
  // part (a fixed record has none: from its start).
  const std::size_t fixed = data->header.file_type == kFileTypeVariable ? data->header.record_length : 0;
  const KeyBuildResult r = CopyKeyValue(def, schema.view(), record, length, out, fixed);
  if (r.error != 0) return -r.error;
  const auto at = static_cast<std::size_t>(r.length);
  if (at > def.key_length) return -115;
  // Bytes of the key behind its segments (none in a sound definition but
  // the position suffix) are never left as whatever the buffer held.
  std::memset(out + at, 0, def.key_length - at);
  // Conditions are asked with the record, its length and the data file's
  // schema: bit 0x20 the index file's own tree, bit 0x10 the data file's
  // set under the key's number within the data file (file numbers change
  // between opens). False means the record has no key here; so does an
  // evaluation that fails: the record is still stored, and the call that
  // stores it reports its own outcome.
  if (def.flags & (kKeyOwnCondition | kKeyCommonCondition)) {
    const MaintHooks& hooks = CurrentMaintHooks();
    const RecordSchemaView* view = schema.stored() ? schema.view() : nullptr;
    const int before = CurrentInstance()->eng_err;
    int c;
    if (def.flags & kKeyOwnCondition) {
      const FileControlBlock* index = CheckFileNumber(key);
      c = hooks.cond_evaluate(nullptr, index ? index->own_condition : nullptr, kOwnConditionNumber, record, length, view);
    } else {
      c = hooks.cond_evaluate(data->cond_index, nullptr, static_cast<uint16_t>(key - def.data_file), record, length,
                              view);
    }
    if (c <= 0) {
      SetEngineError(before);
      return 0;
    }
  }
  if ((def.flags & kKeyNullRuleMask) == 1) {
    bool all_null = true;
    for (std::size_t i = 0; i < at && all_null; ++i) all_null = out[i] == def.null_byte;
    if (all_null) return 0;
  }
  return static_cast<int>(at);
}

// TransformTargetKey without the ISAM error: 0 or the code.
int Transform(int key, uint8_t* value, uint32_t position, bool with_position) {
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return 80;
  const KeyDefinition& def = row->def;
  // Segments that would run into the position suffix (or past the key)
  // mean a definition the file-set checks should have refused.
  std::size_t segments = 0;
  for (const KeySegment& seg : def.segments) {
    if (seg.offset < 0) break;
    if (seg.length > 0) segments += static_cast<std::size_t>(seg.length);
  }
  if (segments + (def.duplicates ? 4u : 0u) > def.key_length) return 115;
  FileControlBlock* index = CheckFileNumber(key);
  const KeySchema schema(*row, CheckFileNumber(def.data_file));
  return TransformTargetKey(def, schema.view(), value, position, with_position,
                            index != nullptr ? index->collation : nullptr);
}

}  // namespace

const IsamKeyRow* IsamIndexRow(int key) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || key < 0 || key >= static_cast<int>(t->keys.size())) return nullptr;
  const IsamKeyRow& row = t->keys[static_cast<std::size_t>(key)];
  return row.def.data_file < 0 ? nullptr : &row;
}

int IsamKeyLength(int key) {
  const IsamKeyRow* row = IsamIndexRow(key);
  return row ? row->def.key_length : 0;
}

int BuildKeyOfRecord(int key, const void* record, uint8_t* out, int32_t length) {
  if (length < 0) {
    SetIsamError(634, key);
    return 0;
  }
  const int n = KeyValueOf(key, static_cast<const uint8_t*>(record), static_cast<std::size_t>(length), out);
  if (n < 0) {
    SetIsamError(-n, key);
    return 0;
  }
  return n;
}

int TransformTargetKey(int key, uint8_t* value, uint32_t position, bool with_position) {
  if (value == nullptr) return SetIsamError(33, key);
  const int rc = Transform(key, value, position, with_position);
  return rc != 0 ? SetIsamError(rc, key) : 0;
}

int BuildRecordKey(int key, const uint8_t* record, std::size_t length, uint32_t position, uint8_t* out) {
  const int n = KeyValueOf(key, record, length, out);
  if (n <= 0) return n;
  if (int rc = Transform(key, out, position, true)) return -rc;
  return IsamKeyLength(key);
}

int MakeTargetKey(int key, const void* target, uint32_t suffix, uint8_t* out) {
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return 48;
  if (target == nullptr) return 33;
  std::memcpy(out, target, row->def.key_length);
  if (CurrentIsamTables()->targets_transformed) return 0;
  return Transform(key, out, suffix, true);
}

uint32_t StepFromIsamKey(int file, uint8_t* out, int direction) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  if (fcb->header.file_type != kFileTypeIndex) {
    SetEngineError(48);
    return 0;
  }
  const IsamKeyRow* row = IsamIndexRow(file);
  if (row == nullptr) {
    SetEngineError(48);
    return 0;
  }
  // A copy: the search below may make another key current.
  const std::vector<uint8_t> from = row->current_key;
  if (from.size() != static_cast<std::size_t>(fcb->layout.key_length)) {
    SetEngineError(100);
    return 0;
  }
  return direction == 1 ? FindKeyGreater(file, from.data(), out) : FindKeyLess(file, from.data(), out);
}

}  // namespace isam
