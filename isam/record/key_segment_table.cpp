#include "isam/record/key_segment_table.h"

#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

// The row of a key number, created on first use; null with the ISAM error.
IsamKeyRow* RowOf(int key) {
  EngineInstance* inst = CurrentInstance();
  IsamTables* t = CurrentIsamTables();
  if (inst == nullptr || t == nullptr) {
    SetIsamError(83, key);
    return nullptr;
  }
  if (key < 0 || key >= inst->file_count) {
    SetIsamError(80, key);
    return nullptr;
  }
  return &t->Key(key);
}

KeySegment* SegmentOf(int key, int segment) {
  IsamKeyRow* row = RowOf(key);
  if (row == nullptr) return nullptr;
  if (segment < 0 || segment >= kMaxKeySegments) {
    SetIsamError(109, key);
    return nullptr;
  }
  return &row->def.segments[segment];
}

}  // namespace

int SetKeySegment(int key, int segment, int first, int second, int third) {
  if (segment & kKeyTableEntry) {
    IsamKeyRow* row = RowOf(key);
    if (row == nullptr) return CurrentInstance() != nullptr ? CurrentInstance()->isam_error : 83;
    row->def.flags = static_cast<uint16_t>(first);
    row->def.null_byte = static_cast<uint8_t>(second);
    row->def.data_file = static_cast<int16_t>(third);
    return SetIsamError(0, key);
  }
  KeySegment* s = SegmentOf(key, segment);
  if (s == nullptr) return CurrentInstance() != nullptr ? CurrentInstance()->isam_error : 83;
  if (second < 0) return SetIsamError(116, key);
  s->offset = static_cast<int16_t>(first);
  s->length = static_cast<int16_t>(second);
  s->mode = static_cast<int16_t>(third);
  return SetIsamError(0, key);
}

int32_t GetKeySegment(int key, int segment, int selector) {
  if (selector & kKeyTableEntry) return -1;
  const KeySegment* s = SegmentOf(key, segment);
  if (s == nullptr) return -1;
  switch (selector) {
    case kSegmentLength: return s->length;
    case kSegmentMode: return s->mode;
    case kSegmentOffset: return s->offset;
    default: return 0xFFFF;
  }
}

int ClearKeySegment(int key, int segment) {
  KeySegment* s = SegmentOf(key, segment);
  if (s == nullptr) return CurrentInstance() != nullptr ? CurrentInstance()->isam_error : 83;
  *s = KeySegment{};
  return SetIsamError(0, key);
}

}  // namespace isam
