#include "isam/index/record_schema.h"

#include "isam/index/btree_bytes.h"

namespace isam {
namespace {

// Sizes of the fixed types 0..108. Within each group of eight the low three
// bits give the width less one (0x08 byte, 0x21 16-bit, 0x33 32-bit, 0x67
// double); 104..108 are the 10-byte decimals.
constexpr uint8_t kFixedTypeSizes[109] = {
    1, 2, 3, 4, 5, 6, 7, 8,  // 0-7
    1, 2, 3, 4, 5, 6, 7, 8,  // 8-15
    1, 2, 3, 4, 5, 6, 7, 8,  // 16-23
    1, 2, 3, 4, 5, 6, 7, 8,  // 24-31
    1, 2, 3, 4, 5, 6, 7, 8,  // 32-39 signed
    1, 2, 3, 4, 5, 6, 7, 8,  // 40-47 unsigned
    1, 2, 3, 4, 5, 6, 7, 8,  // 48-55 signed
    1, 2, 3, 4, 5, 6, 7, 8,  // 56-63 unsigned
    1, 2, 3, 4, 5, 6, 7, 8,  // 64-71 signed
    1, 2, 3, 4, 5, 6, 7, 8,  // 72-79 unsigned
    1, 2, 3, 4, 5, 6, 7, 8,  // 80-87 unsigned
    1, 2, 3, 4, 5, 6, 7, 8,  // 88-95 float
    1, 2, 3, 4, 5, 6, 7, 8,  // 96-103 float
    10, 10, 10, 10, 10,      // 104-108 decimal
};

constexpr int kLastFixedType = 108;
constexpr int kLastNumericType = 103;

// How a type finds its value inside the field.
struct TypeShape {
  bool self_sizing = false;  // the record, not the schema, gives its extent
  bool delimited = false;    // value ends at the delimiter
  int prefix = 0;            // bytes of a length in front of the value
};

TypeShape ShapeOf(int type) {
  switch (type) {
    case 146: return {true, true, 0};
    case 154: return {true, false, 1};
    case 162: return {true, false, 2};
    case 170: return {true, false, 4};
    case 144: return {false, true, 0};
    case 152: return {false, false, 1};
    case 160: return {false, false, 2};
    case 168: return {false, false, 4};
    default: return {};
  }
}

uint32_t PowerOfTwoAtMost(uint32_t v) {
  uint32_t p = 1;
  while (p * 2 <= v) p *= 2;
  return p;
}

uint64_t PrefixedLength(const uint8_t* rec, std::size_t len, uint64_t at, int bytes) {
  if (at + static_cast<uint64_t>(bytes) > len) return 0;
  if (bytes == 1) return rec[at];
  if (bytes == 2) return GetLe16(rec + at);
  return GetLe32(rec + at);
}

// Walks the entries of a schema field by field, repeats expanded.
class FieldCursor {
 public:
  explicit FieldCursor(const RecordSchemaView* s) : s_(s) {
    entries_ = (s->length - kSchemaHeaderSize) / kSchemaEntrySize;
    const std::size_t declared = GetLe32(s->data + 12);
    if (declared < entries_) entries_ = declared;
  }
  // The next field; false past the last entry.
  bool Next(SchemaField* f) {
    while (entry_ < entries_) {
      const uint8_t* p = s_->data + kSchemaHeaderSize + kSchemaEntrySize * entry_;
      const uint32_t repeat = p[3] == 0 ? 1 : p[3];
      if (used_ < repeat) {
        ++used_;
        f->size = GetLe16(p);
        f->type = p[2] > kFieldTypeLast ? kFieldDelimitedText : p[2];
        return true;
      }
      ++entry_;
      used_ = 0;
    }
    return false;
  }

 private:
  const RecordSchemaView* s_;
  std::size_t entries_ = 0;
  std::size_t entry_ = 0;
  uint32_t used_ = 0;
};

// Where the field after `f` (starting at `at`) starts, at most len + 1.
uint64_t StepOver(const SchemaField& f, const uint8_t* rec, std::size_t len, uint64_t at, int align,
                  uint8_t delim) {
  const TypeShape shape = ShapeOf(f.type);
  uint64_t next = 0;
  if (shape.self_sizing && shape.delimited) {
    next = len + 1;
    for (uint64_t i = at; i < len; ++i)
      if (rec[i] == delim) {
        next = i + 1;
        break;
      }
  } else if (shape.self_sizing) {
    if (at + static_cast<uint64_t>(shape.prefix) > len) return len + 1;
    next = at + static_cast<uint64_t>(shape.prefix) + PrefixedLength(rec, len, at, shape.prefix);
  } else {
    next = at + AlignmentPadding(align, f.type, static_cast<uint32_t>(at)) + f.size;
  }
  return next > len ? len + 1 : next;
}

}  // namespace

bool HasSchemaHeader(const RecordSchemaView* s) {
  return s != nullptr && s->data != nullptr && s->length >= kSchemaHeaderSize;
}

uint8_t SchemaAlignment(const RecordSchemaView* s) {
  return HasSchemaHeader(s) ? s->data[1] : kSchemaDefaultAlignment;
}

uint8_t SchemaDelimiter(const RecordSchemaView* s) {
  return HasSchemaHeader(s) ? s->data[2] : kSchemaDefaultDelimiter;
}

uint8_t SchemaPadByte(const RecordSchemaView* s) { return HasSchemaHeader(s) ? s->data[3] : kSchemaDefaultPad; }

uint32_t SchemaFieldCount(const RecordSchemaView* s) { return HasSchemaHeader(s) ? GetLe32(s->data + 8) : 0; }

bool SchemaFieldAt(const RecordSchemaView* s, uint32_t n, SchemaField* out) {
  if (!HasSchemaHeader(s)) return false;
  FieldCursor c(s);
  SchemaField f;
  for (uint32_t i = 0; c.Next(&f); ++i)
    if (i == n) {
      *out = f;
      return true;
    }
  return false;
}

int CheckSchemaImage(const uint8_t* data, std::size_t length) {
  if (data == nullptr || length < kSchemaHeaderSize || data[0] != kSchemaFormat) return 407;
  const uint64_t entries = GetLe32(data + 12);
  if (kSchemaHeaderSize + kSchemaEntrySize * entries > length) return 407;
  uint64_t fields = 0;
  for (uint64_t e = 0; e < entries; ++e) {
    const uint8_t repeat = data[kSchemaHeaderSize + kSchemaEntrySize * e + 3];
    fields += repeat == 0 ? 1 : repeat;
  }
  return fields == GetLe32(data + 8) ? 0 : 407;
}

int FixedTypeSize(int type) { return type >= 0 && type <= kLastFixedType ? kFixedTypeSizes[type] : 0; }

int SchemaEntryFor(int type, int32_t length, SchemaField* out) {
  if (type == 0) type = kFieldDelimitedText;
  if (type < 0 || type > 255) return 432;
  if (type <= kLastFixedType) {
    out->size = static_cast<uint16_t>(FixedTypeSize(type));
  } else if (type > 145) {
    if (length < 0 || length > 0xFFFF) return 432;
    out->size = static_cast<uint16_t>(length);
  } else {
    return 432;
  }
  out->type = static_cast<uint8_t>(type);
  return 0;
}

uint32_t AlignmentPadding(int alignment, int type, uint32_t offset) {
  if (alignment <= 1 || type < 0 || type > kLastNumericType) return 0;
  const uint32_t natural = PowerOfTwoAtMost(static_cast<uint32_t>(FixedTypeSize(type)));
  const uint32_t limit = PowerOfTwoAtMost(static_cast<uint32_t>(alignment));
  const uint32_t a = natural < limit ? natural : limit;
  return (a - offset % a) % a;
}

int LocateSchemaField(const RecordSchemaView* s, const uint8_t* rec, std::size_t len, uint32_t n,
                      FieldSpan* out) {
  if (!HasSchemaHeader(s)) return 199;
  if (n >= SchemaFieldCount(s)) return 433;
  const int align = SchemaAlignment(s);
  const uint8_t delim = SchemaDelimiter(s);
  FieldCursor c(s);
  SchemaField f;
  uint64_t at = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (!c.Next(&f)) return 433;
    at = StepOver(f, rec, len, at, align, delim);
  }
  if (!c.Next(&f)) return 433;
  *out = FieldSpan{};
  out->field = f;
  const TypeShape shape = ShapeOf(f.type);
  if (!shape.self_sizing) at += AlignmentPadding(align, f.type, static_cast<uint32_t>(at));
  if (at >= len) {
    out->start = out->data = len;
    return 0;
  }
  out->present = true;
  out->start = static_cast<std::size_t>(at);
  // The bytes the value may take: the rest of the record, and for a field
  // of fixed size no more than that size.
  uint64_t room = len - at;
  if (!shape.self_sizing && f.size < room) room = f.size;
  uint64_t value = at + static_cast<uint64_t>(shape.prefix);
  uint64_t n_bytes = 0;
  if (value > at + room) {
    value = at + room;
  } else if (shape.delimited) {
    while (n_bytes < room && rec[value + n_bytes] != delim) ++n_bytes;
  } else if (shape.prefix > 0) {
    n_bytes = PrefixedLength(rec, len, at, shape.prefix);
    if (n_bytes > at + room - value) n_bytes = at + room - value;
  } else {
    n_bytes = room;
  }
  out->data = static_cast<std::size_t>(value);
  out->length = static_cast<std::size_t>(n_bytes);
  return 0;
}

int SchemaFieldOffset(const RecordSchemaView* s, uint32_t n, int alignment, uint32_t* offset,
                      SchemaField* field) {
  if (!HasSchemaHeader(s)) return 199;
  if (n >= SchemaFieldCount(s)) return 433;
  const int align = alignment < 0 ? SchemaAlignment(s) : alignment;
  FieldCursor c(s);
  SchemaField f;
  uint64_t at = 0;
  for (uint32_t i = 0;; ++i) {
    if (!c.Next(&f)) return 433;
    at += AlignmentPadding(align, f.type, static_cast<uint32_t>(at));
    if (i == n) break;
    at += f.size;
  }
  if (at > 0xFFFFFFFFu) return 433;
  if (offset) *offset = static_cast<uint32_t>(at);
  if (field) *field = f;
  return 0;
}

bool SchemaFieldInVariablePart(const RecordSchemaView* s, uint32_t n, std::size_t fixed_length) {
  if (!HasSchemaHeader(s) || n >= SchemaFieldCount(s)) return false;
  const int align = SchemaAlignment(s);
  FieldCursor c(s);
  SchemaField f;
  uint64_t at = 0;
  for (uint32_t i = 0; i <= n; ++i) {
    if (!c.Next(&f)) return false;
    if (ShapeOf(f.type).self_sizing) return true;
    at += AlignmentPadding(align, f.type, static_cast<uint32_t>(at)) + f.size;
  }
  return at > fixed_length;
}

}  // namespace isam
