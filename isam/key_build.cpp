#include "isam/key_build.h"

#include <cstring>
#include <vector>

#include "isam/btree_bytes.h"

namespace isam {
namespace {

constexpr std::size_t kSchemaHeader = 16;

struct SchemaField {
  uint16_t size;
  uint8_t type;
};

uint32_t SchemaFieldCount(const RecordSchemaView* s) {
  if (s == nullptr || s->data == nullptr || s->length < kSchemaHeader) return 0;
  return GetLe32(s->data + 8);
}

// The n-th field of the schema, counting repeated entries as that many
// fields; false when the schema has no such field.
bool SchemaFieldAt(const RecordSchemaView* s, uint32_t n, SchemaField* out) {
  const std::size_t entries = (s->length - kSchemaHeader) / 4;
  uint32_t seen = 0;
  for (std::size_t e = 0; e < entries; ++e) {
    const uint8_t* p = s->data + kSchemaHeader + 4 * e;
    const uint32_t repeat = p[3] == 0 ? 1 : p[3];
    if (n < seen + repeat) {
      out->size = GetLe16(p);
      out->type = p[2];
      return true;
    }
    seen += repeat;
  }
  return false;
}

bool IsDelimitedType(int t) { return t == 146; }
int LengthPrefixBytes(int t) {
  switch (t) {
    case 154: return 1;
    case 162: return 2;
    case 170: return 4;
    default: return 0;
  }
}

// Fixed numeric fields are aligned to their own size, up to the schema's
// alignment unit; texts and byte strings are never aligned.
std::size_t Alignment(const RecordSchemaView* s, const SchemaField& f, std::size_t offset) {
  const int unit = s->data[1];
  if (unit <= 1 || f.type >= 128 || f.size <= 1) return 0;
  std::size_t a = f.size < unit ? f.size : static_cast<std::size_t>(unit);
  if ((a & (a - 1)) != 0) return 0;
  return (a - offset % a) % a;
}

// The stored length of a length-prefixed field at `at`; 0 past the end.
std::size_t PrefixedLength(const uint8_t* rec, std::size_t len, std::size_t at, int bytes) {
  if (at + bytes > len) return 0;
  if (bytes == 1) return rec[at];
  if (bytes == 2) return GetLe16(rec + at);
  return GetLe32(rec + at);
}

// Moves `offset` over the field `f` starting there.
std::size_t SkipField(const RecordSchemaView* s, const SchemaField& f, const uint8_t* rec,
                      std::size_t len, std::size_t offset, uint8_t delimiter) {
  if (IsDelimitedType(f.type)) {
    while (offset < len && rec[offset] != delimiter) ++offset;
    return offset + 1;
  }
  if (int pb = LengthPrefixBytes(f.type)) {
    const std::size_t n = PrefixedLength(rec, len, offset, pb);
    return offset + pb + n;
  }
  return offset + Alignment(s, f, offset) + f.size;
}

void CopyPadded(uint8_t* out, std::size_t out_len, const uint8_t* src, std::size_t n, uint8_t pad) {
  if (n > out_len) n = out_len;
  if (n > 0) std::memcpy(out, src, n);
  std::memset(out + n, pad, out_len - n);
}

int CopySchemaField(const KeySegment& seg, const RecordSchemaView* s, const uint8_t* rec,
                    std::size_t len, uint8_t* out, int* transform) {
  const uint8_t pad = SchemaPadByte(s);
  const uint8_t delim = SchemaDelimiter(s);
  const uint32_t field = static_cast<uint16_t>(seg.offset);
  if (field >= SchemaFieldCount(s)) return 433;
  std::size_t offset = 0;
  SchemaField f{};
  for (uint32_t i = 0; i < field; ++i) {
    if (!SchemaFieldAt(s, i, &f)) return 433;
    offset = SkipField(s, f, rec, len, offset, delim);
  }
  if (!SchemaFieldAt(s, field, &f)) return 433;
  *transform = SchemaTypeTransform(f.type, seg.mode);
  const std::size_t seg_len = static_cast<std::size_t>(seg.length);
  if (!IsDelimitedType(f.type) && LengthPrefixBytes(f.type) == 0)
    offset += Alignment(s, f, offset);
  if (offset >= len) {  // the record ends before the field: an empty value
    std::memset(out, pad, seg_len);
    return 0;
  }
  if (IsDelimitedType(f.type)) {
    std::size_t end = offset;
    while (end < len && rec[end] != delim) ++end;
    CopyPadded(out, seg_len, rec + offset, end - offset, pad);
  } else if (int pb = LengthPrefixBytes(f.type)) {
    std::size_t n = PrefixedLength(rec, len, offset, pb);
    const std::size_t start = offset + pb;
    if (start >= len) n = 0;
    else if (n > len - start) n = len - start;
    CopyPadded(out, seg_len, rec + start, n, pad);
  } else {
    const std::size_t avail = len - offset;
    CopyPadded(out, seg_len, rec + offset, avail < seg_len ? avail : seg_len, pad);
  }
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

int SchemaTransformOf(const KeySegment& seg, const RecordSchemaView* s) {
  if (SegmentBaseMode(seg.mode) < 12 || s == nullptr) return 0;
  SchemaField f{};
  if (!SchemaFieldAt(s, static_cast<uint16_t>(seg.offset), &f)) return 0;
  return SchemaTypeTransform(f.type, seg.mode);
}

}  // namespace

uint8_t SchemaPadByte(const RecordSchemaView* s) {
  return (s != nullptr && s->data != nullptr && s->length >= kSchemaHeader) ? s->data[3] : 32;
}

uint8_t SchemaDelimiter(const RecordSchemaView* s) {
  return (s != nullptr && s->data != nullptr && s->length >= kSchemaHeader) ? s->data[2] : 0;
}

KeyBuildResult BuildKeyImage(const KeyDefinition& key, const RecordSchemaView* schema,
                             const uint8_t* rec, std::size_t len, const uint16_t* collation,
                             uint8_t* out, KeyConditionFn condition, void* context) {
  KeyBuildResult r;
  const uint8_t pad = SchemaPadByte(schema);
  const uint8_t delim = SchemaDelimiter(schema);
  // The fixed part of a variable record ends at the furthest fixed segment.
  std::size_t fixed_part = 0;
  for (const KeySegment& s : key.segments) {
    if (s.offset < 0) break;
    const int base = SegmentBaseMode(s.mode);
    if (base != 4 && base != 5 && base < 12) {
      const std::size_t end = static_cast<std::size_t>(s.offset) + static_cast<std::size_t>(s.length);
      if (end > fixed_part) fixed_part = end;
    }
  }
  std::size_t at = 0;
  for (const KeySegment& seg : key.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(seg.length);
    uint8_t* dst = out + at;
    const int base = SegmentBaseMode(seg.mode);
    int transform = 0;
    if (base >= 12) {
      if (schema == nullptr || schema->data == nullptr || schema->length < kSchemaHeader) {
        r.error = 199;
        return r;
      }
      if (int rc = CopySchemaField(seg, schema, rec, len, dst, &transform)) {
        r.error = rc;
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
    if (int rc = TransformSegment(seg.mode, dst, n, pad, collation, transform)) {
      r.error = rc;
      return r;
    }
    at += n;
  }
  if ((key.flags & (kKeyOwnCondition | kKeyCommonCondition)) && condition != nullptr) {
    const int c = condition(context, key, rec, len);
    if (c < 0) {
      r.error = -c;
      return r;
    }
    if (c == 0) return r;
  }
  if ((key.flags & kKeyNullRuleMask) == 1) {
    bool all_null = true;
    for (std::size_t i = 0; i < at && all_null; ++i) all_null = out[i] == key.null_byte;
    if (all_null) return r;
  }
  r.length = static_cast<int>(at);
  return r;
}

int TransformTargetKey(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* value,
                       uint32_t position, bool with_position, const uint16_t* collation) {
  const uint8_t pad = SchemaPadByte(schema);
  std::size_t at = 0;
  for (const KeySegment& seg : key.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(seg.length);
    if (int rc = TransformSegment(seg.mode, value + at, n, pad, collation, SchemaTransformOf(seg, schema)))
      return rc;
    at += n;
  }
  if (with_position && key.duplicates) {
    const std::size_t suffix = key.key_length >= 4 ? key.key_length - 4u : SegmentsLength(key);
    PutBe32(value + suffix, position);
  }
  return 0;
}

int KeyToValueForm(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* stored) {
  const uint8_t pad = SchemaPadByte(schema);
  std::size_t at = 0;
  for (const KeySegment& seg : key.segments) {
    if (seg.offset < 0) break;
    if (seg.length <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(seg.length);
    if (int rc = SegmentToValueForm(seg.mode, stored + at, n, pad, SchemaTransformOf(seg, schema)))
      return rc;
    at += n;
  }
  return 0;
}

}  // namespace isam
