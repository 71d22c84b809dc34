#include "isam/isam_record_keys.h"

#include <cstring>

#include "isam/btree_bytes.h"
#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/isam_record_tables.h"
#include "isam/key_build.h"
#include "isam/maint_stubs.h"

namespace isam {
namespace {

// Without a stored record schema the key builder still needs the pad byte
// and the field delimiter: a schema header without fields carries them.
struct SchemaHeaderOnly {
  uint8_t bytes[16] = {};
  RecordSchemaView view;
  explicit SchemaHeaderOnly(uint8_t pad) {
    bytes[0] = 2;
    bytes[1] = 8;
    bytes[2] = 0;
    bytes[3] = pad;
    PutLe32(bytes + 4, 16);
    view.data = bytes;
    view.length = sizeof bytes;
  }
};

const IsamKeyRow* RowOf(int key) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || key < 0 || key >= static_cast<int>(t->keys.size())) return nullptr;
  const IsamKeyRow& row = t->keys[static_cast<std::size_t>(key)];
  return row.def.data_file < 0 ? nullptr : &row;
}

}  // namespace

int IsamKeyLength(int key) {
  const IsamKeyRow* row = RowOf(key);
  return row ? row->def.key_length : 0;
}

int BuildRecordKey(int key, const uint8_t* record, std::size_t length, uint32_t position, uint8_t* out) {
  const IsamKeyRow* row = RowOf(key);
  if (row == nullptr) return -48;
  const KeyDefinition& def = row->def;
  FileControlBlock* data = CheckFileNumber(def.data_file);
  FileControlBlock* index = CheckFileNumber(key);
  if (data == nullptr || index == nullptr) return -26;
  const std::size_t fixed = data->header.file_type == kFileTypeVariable ? data->header.record_length : 0;
  SchemaHeaderOnly schema(row->pad);
  std::size_t at = 0;
  for (const KeySegment& seg : def.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    KeyDefinition one;
    one.data_file = def.data_file;
    one.key_length = static_cast<uint16_t>(seg.length);
    one.segments[0] = seg;
    const int base = SegmentBaseMode(seg.mode);
    const bool delimited = base == 4 || base == 5;
    const uint8_t* from = record;
    std::size_t n = length;
    if (delimited) {
      from = length > fixed ? record + fixed : record;
      n = length > fixed ? length - fixed : 0;
    }
    const KeyBuildResult r = BuildKeyImage(one, &schema.view, from, n, index->collation, out + at);
    if (r.error != 0) return -r.error;
    at += static_cast<std::size_t>(seg.length);
  }
  if ((def.flags & kKeyNullRuleMask) == 1) {
    bool all_null = true;
    for (std::size_t i = 0; i < at && all_null; ++i) all_null = out[i] == def.null_byte;
    if (all_null) return 0;
  }
  if (def.flags & (kKeyOwnCondition | kKeyCommonCondition)) {
    const int c = CondIndexEvaluate(data->cond_index, static_cast<uint16_t>(key), record, nullptr);
    if (c < 0) return c;
    if (c == 0) return 0;
  }
  if (def.duplicates) {
    if (def.key_length < 4 || at + 4 > def.key_length) return -115;
    PutBe32(out + def.key_length - 4, position);
  }
  return def.key_length;
}

int MakeTargetKey(int key, const void* target, uint32_t suffix, uint8_t* out) {
  const IsamKeyRow* row = RowOf(key);
  if (row == nullptr) return 48;
  if (target == nullptr) return 33;
  const KeyDefinition& def = row->def;
  std::memcpy(out, target, def.key_length);
  IsamTables* t = CurrentIsamTables();
  if (t->targets_transformed) return 0;
  FileControlBlock* index = CheckFileNumber(key);
  SchemaHeaderOnly schema(row->pad);
  if (int rc = TransformTargetKey(def, &schema.view, out, suffix, true, index ? index->collation : nullptr))
    return rc;
  return 0;
}

}  // namespace isam
