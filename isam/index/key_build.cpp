#include "isam/index/key_build.h"

#include <cstring>

#include "isam/index/btree_bytes.h"

namespace isam {
namespace {

bool IsSchemaMode(int mode) { return SegmentBaseMode(mode) >= 12; }

void CopyPadded(uint8_t* out, std::size_t out_len, const uint8_t* src, std::size_t n, uint8_t pad) {
  if (n > out_len) n = out_len;
  if (n > 0) std::memcpy(out, src, n);
  std::memset(out + n, pad, out_len - n);
}

// Copies schema field `seg.offset` of the record into out, padded to the
// segment length; *present false when the field lies past the record end.
int CopySchemaField(const KeySegment& seg, const RecordSchemaView* s, const uint8_t* rec,
                    std::size_t len, uint8_t* out, bool* present) {
  FieldSpan span;
  if (int rc = LocateSchemaField(s, rec, len, static_cast<uint16_t>(seg.offset), &span)) return rc;
  *present = span.present;
  if (span.present)
    CopyPadded(out, static_cast<std::size_t>(seg.length), rec + span.data, span.length, SchemaPadByte(s));
  return 0;
}

// The n-th delimited field behind the fixed part of a variable record.
void CopyDelimitedField(const KeySegment& seg, const uint8_t* rec, std::size_t len,
                        std::size_t fixed_part, uint8_t delim, uint8_t pad, uint8_t* out) {
  std::size_t at = fixed_part;
  for (int n = 0; n < seg.offset && at < len; ++at)
    if (rec[at] == delim) ++n;
  std::size_t end = at;
  while (end < len && rec[end] != delim) ++end;
  CopyPadded(out, static_cast<std::size_t>(seg.length), at < len ? rec + at : rec, at < len ? end - at : 0, pad);
}

std::size_t SegmentsLength(const KeyDefinition& key) {
  std::size_t n = 0;
  for (const KeySegment& s : key.segments) {
    if (s.offset < 0) break;
    n += static_cast<std::size_t>(s.length > 0 ? s.length : 0);
  }
  return n;
}

// The transform a segment's field type selects: 0 for the fixed modes;
// 199 / 433 when a schema segment cannot be resolved.
int SchemaTransformOf(const KeySegment& seg, const RecordSchemaView* s, int* transform) {
  *transform = 0;
  if (!IsSchemaMode(seg.mode)) return 0;
  if (!HasSchemaHeader(s)) return 199;
  const uint32_t field = static_cast<uint16_t>(seg.offset);
  SchemaField f;
  if (field >= SchemaFieldCount(s) || !SchemaFieldAt(s, field, &f)) return 433;
  *transform = SchemaTypeTransform(f.type, seg.mode);
  return 0;
}

// Runs apply(segment, bytes, length, schema transform) over the segments of
// a key value laid out in segment order; stops at the first error.
template <typename Apply>
int ForEachSegment(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* value, Apply apply) {
  std::size_t at = 0;
  for (const KeySegment& seg : key.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(seg.length);
    int transform = 0;
    if (int rc = SchemaTransformOf(seg, schema, &transform)) return rc;
    if (int rc = apply(seg, value + at, n, transform)) return rc;
    at += n;
  }
  return 0;
}

std::size_t FixedPartOf(const KeyDefinition& key) {
  std::size_t fixed_part = 0;
  for (const KeySegment& s : key.segments) {
    if (s.offset < 0) break;
    const int base = SegmentBaseMode(s.mode);
    if (base != 4 && base != 5 && base < 12) {
      const std::size_t end = static_cast<std::size_t>(s.offset) + static_cast<std::size_t>(s.length);
      if (end > fixed_part) fixed_part = end;
    }
  }
  return fixed_part;
}

}  // namespace

KeyBuildResult CopyKeyValue(const KeyDefinition& key, const RecordSchemaView* schema, const uint8_t* rec,
                            std::size_t len, uint8_t* out, std::size_t fixed_part) {
  KeyBuildResult r;
  const uint8_t pad = SchemaPadByte(schema);
  const uint8_t delim = SchemaDelimiter(schema);
  if (fixed_part == kFixedPartOfSegments) fixed_part = FixedPartOf(key);
  const std::size_t total = SegmentsLength(key);
  // A definition read from a file may claim segments longer than its key:
  // the caller's buffer holds the key length, never more.
  if (total > kMaxKeyValueLength || (key.key_length != 0 && total > key.key_length)) {
    r.error = kErrBadKeyDefinition;
    return r;
  }
  std::size_t at = 0;
  for (const KeySegment& seg : key.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(seg.length);
    uint8_t* dst = out + at;
    const int base = SegmentBaseMode(seg.mode);
    if (base >= 12) {
      bool present = true;
      if (int rc = CopySchemaField(seg, schema, rec, len, dst, &present)) {
        r.error = rc;
        return r;
      }
      if (!present) {
        // The record ends before this field: nothing behind it can be read
        // either, so the rest of the key value is the pad byte.
        std::memset(dst, pad, total - at);
        r.ended = true;
        r.length = static_cast<int>(total);
        return r;
      }
    } else if (base == 4 || base == 5) {
      CopyDelimitedField(seg, rec, len, fixed_part, delim, pad, dst);
    } else {
      const std::size_t off = static_cast<std::size_t>(seg.offset);
      if (off + n > len) {
        r.error = 445;
        return r;
      }
      std::memcpy(dst, rec + off, n);
    }
    at += n;
  }
  r.length = static_cast<int>(at);
  return r;
}

KeyBuildResult BuildKeyImage(const KeyDefinition& key, const RecordSchemaView* schema,
                             const uint8_t* rec, std::size_t len, const uint16_t* collation,
                             uint8_t* out, KeyConditionFn condition, void* context,
                             std::size_t fixed_part) {
  KeyBuildResult r = CopyKeyValue(key, schema, rec, len, out, fixed_part);
  if (r.error != 0) return r;
  // The null byte is a record byte: the rule looks at the value as the
  // record holds it, before any transform changes it.
  bool all_null = (key.flags & kKeyNullRuleMask) == 1;
  for (int i = 0; i < r.length && all_null; ++i) all_null = out[i] == key.null_byte;
  if (int rc = TransformTargetKey(key, schema, out, 0, false, collation)) {
    r.error = rc;
    r.length = 0;
    return r;
  }
  const std::size_t at = static_cast<std::size_t>(r.length);
  r.length = 0;
  if ((key.flags & (kKeyOwnCondition | kKeyCommonCondition)) && condition != nullptr) {
    const int c = condition(context, key, rec, len);
    if (c < 0) {
      r.error = -c;
      return r;
    }
    if (c == 0) return r;
  }
  if (all_null) return r;
  r.length = static_cast<int>(at);
  return r;
}

int TransformTargetKey(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* value,
                       uint32_t position, bool with_position, const uint16_t* collation) {
  const uint8_t pad = SchemaPadByte(schema);
  const int rc = ForEachSegment(key, schema, value, [&](const KeySegment& seg, uint8_t* b, std::size_t n, int t) {
    return TransformSegment(seg.mode, b, n, pad, collation, t);
  });
  if (rc != 0) return rc;
  if (with_position && key.duplicates) {
    const std::size_t suffix = key.key_length >= 4 ? key.key_length - 4u : SegmentsLength(key);
    PutBe32(value + suffix, position);
  }
  return 0;
}

int KeyToValueForm(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* stored) {
  const uint8_t pad = SchemaPadByte(schema);
  return ForEachSegment(key, schema, stored, [&](const KeySegment& seg, uint8_t* b, std::size_t n, int t) {
    return SegmentToValueForm(seg.mode, b, n, pad, t);
  });
}

}  // namespace isam
