// The record schema of a data file ("EN!DEF" kind 1) as bytes: a 16-byte
// header, then one 4-byte entry per field. This file only reads and lays
// out schemas; storing them and the copy a data file's control block keeps
// live in record_schema_store.h.
//
// Header: byte 0 = 2, byte 1 = alignment unit, byte 2 = delimiter of
// delimited texts, byte 3 = pad byte, u32 total length, u32 field count,
// u32 entry count. Entry: u16 size, u8 type, u8 repeat count (0 or 1 = one
// field; n = n fields of that kind).
//
// Where a field lies: fields follow each other in schema order. A fixed
// field starts at the next offset its type's alignment allows
// (AlignmentPadding) and takes its schema size. The self-sizing kinds take
// what the record says: 146 up to and past the delimiter, 154 / 162 / 170
// a 1-, 2- or 4-byte length and that many bytes. 144, 152, 160 and 168 are
// the same four kinds in a field of fixed (schema) size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

constexpr std::size_t kSchemaHeaderSize = 16;
constexpr std::size_t kSchemaEntrySize = 4;
constexpr uint8_t kSchemaFormat = 2;
constexpr uint8_t kSchemaDefaultAlignment = 8;
constexpr uint8_t kSchemaDefaultDelimiter = 0;
constexpr uint8_t kSchemaDefaultPad = 32;

// Field types that find their own end.
constexpr int kFieldDelimitedText = 146;  // 0x92
constexpr int kFieldText1 = 154;          // 0x9A, 1-byte length in front
constexpr int kFieldText2 = 162;          // 0xA2, 2-byte length
constexpr int kFieldText4 = 170;          // 0xAA, 4-byte length
// Types above 170 count as 146.
constexpr int kFieldTypeLast = 170;

// A schema image (not owned). A view without a whole header is "no schema".
struct RecordSchemaView {
  const uint8_t* data = nullptr;
  std::size_t length = 0;
};

struct SchemaField {
  uint16_t size = 0;
  uint8_t type = 0;
};

// True when the view holds at least a schema header.
bool HasSchemaHeader(const RecordSchemaView* schema);
// Header bytes, with the defaults (8, 0, 32) without a schema.
uint8_t SchemaAlignment(const RecordSchemaView* schema);
uint8_t SchemaDelimiter(const RecordSchemaView* schema);
uint8_t SchemaPadByte(const RecordSchemaView* schema);
// The header's field count (repeats counted); 0 without a schema.
uint32_t SchemaFieldCount(const RecordSchemaView* schema);
// Field n (0-based, repeats counted as that many fields): false when the
// entries do not reach it. Types above 170 read as 146.
bool SchemaFieldAt(const RecordSchemaView* schema, uint32_t n, SchemaField* out);

// 0 when the image is a schema this engine can read: a whole header, the
// format byte 2, its entries inside the image and the field count equal to
// what the entries add up to; else 407.
int CheckSchemaImage(const uint8_t* data, std::size_t length);

// The engine's fixed size of a type 0..108; 0 for any other type.
int FixedTypeSize(int type);

// The entry a caller's (type, length) becomes in a stored schema: type 0
// means 146; a type up to 108 takes its fixed size, a type above 145 the
// caller's length (0..65535). Returns 0, or 432 for a type from 109 to 145,
// a negative type, or a length that does not fit.
int SchemaEntryFor(int type, int32_t length, SchemaField* out);

// Bytes to skip before a field of `type` at `offset`: numeric types align
// to their own size (rounded down to a power of two), at most `alignment`
// (itself rounded down to a power of two); alignment 0 or 1, decimals,
// texts and byte strings never align.
uint32_t AlignmentPadding(int alignment, int type, uint32_t offset);

// Field n of one record image.
struct FieldSpan {
  bool present = false;    // false: the field starts at or past the record end
  std::size_t start = 0;   // where the field starts (behind its alignment)
  std::size_t data = 0;    // where its value starts (behind a length prefix)
  std::size_t length = 0;  // value bytes inside the record (no delimiter)
  SchemaField field;
};

// Finds field n in the record by stepping over the fields in front of it.
// Lengths never reach past the record end. 0, 199 without a schema, 433
// when n is not below the field count.
int LocateSchemaField(const RecordSchemaView* schema, const uint8_t* record, std::size_t length,
                      uint32_t n, FieldSpan* out);

// Field n placed without a record: every field takes its schema size, so
// fields behind a self-sizing one get the offset they have when it is at
// its largest. `alignment` -1 takes the schema's. 0, 199, 433.
int SchemaFieldOffset(const RecordSchemaView* schema, uint32_t n, int alignment, uint32_t* offset,
                      SchemaField* field);

// True when field n can lie in the variable part of a variable-length
// record whose fixed part is `fixed_length` bytes: it is self-sizing, a
// self-sizing field comes before it, or its end lies past the fixed part.
bool SchemaFieldInVariablePart(const RecordSchemaView* schema, uint32_t n, std::size_t fixed_length);

}  // namespace isam
