// Building a key from a record image: the key segments of a key number are
// copied out of the record (by offset, by delimited field or by schema field),
// each is transformed so that raw byte order is value order, and the null-key
// rule decides whether the record has a key at all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "isam/index/key_segment.h"
#include "isam/index/record_schema.h"

namespace isam {

constexpr int kMaxKeySegments = 12;
// Longest key value (an index key is below 256 bytes).
constexpr std::size_t kMaxKeyValueLength = 255;
// A key definition whose segments add up to more than its key length.
constexpr int kErrBadKeyDefinition = 115;

// Key flags: low 4 bits null-key rule; 0x10 the key's condition in the data
// file's set (asked under the key's number within the data file), 0x20 the
// index file's own condition tree.
constexpr uint16_t kKeyNullRuleMask = 0x0F;
constexpr uint16_t kKeyCommonCondition = 0x10;
constexpr uint16_t kKeyOwnCondition = 0x20;

// One row of the key table: what a key number is made of.
struct KeyDefinition {
  int16_t data_file = -1;   // negative: no data file
  uint16_t flags = 0;
  uint8_t null_byte = 0;
  uint16_t key_length = 0;  // index key length, duplicate suffix included
  bool duplicates = false;
  KeySegment segments[kMaxKeySegments];  // ends at the first negative offset
};

// Pad byte and delimiter come from the schema (32 and 0 without one).

// Asked for the condition of a key; the answer is > 0 when the record has a
// key, 0 when it has none, negative (minus an error code) on failure.
using KeyConditionFn = int (*)(void* context, const KeyDefinition& key,
                               const uint8_t* record, std::size_t record_length);

struct KeyBuildResult {
  int error = 0;   // 0, 445, 199, 433, 446 or the condition's code
  int length = 0;  // key bytes built (sum of the segment lengths); 0 = no key
  bool ended = false;  // a schema field began at or past the record end
};

// BuildKeyImage's default fixed part: the end of the furthest fixed segment.
constexpr std::size_t kFixedPartOfSegments = static_cast<std::size_t>(-1);

// The key value of a record: the segments of `key` copied out of `record`
// into `out` (room for the key length) in segment order, untransformed. The
// record is not changed. Delimited fields (modes 4, 5) are counted from
// `fixed_part`. Schema fields (modes 12-15) are found through `schema` and
// copied as their type says: delimited texts up to the delimiter,
// length-prefixed texts their stored length (never past the record end),
// fixed fields their size, all padded with the pad byte. A schema field that
// begins at or past the record end ends the key: it and every later segment
// are pad bytes and `ended` is set. `length` is the sum of the segment
// lengths. Errors: 445 a fixed segment past the record end, 199 a schema
// segment without schema, 433 a field number beyond the schema, 115 segments
// longer together than the key length (or than 255 bytes).
KeyBuildResult CopyKeyValue(const KeyDefinition& key, const RecordSchemaView* schema, const uint8_t* record,
                            std::size_t record_length, uint8_t* out,
                            std::size_t fixed_part = kFixedPartOfSegments);

// CopyKeyValue, then the segment transforms (TransformTargetKey without
// position), the condition and the null-key rule (on the value as the record
// holds it: a key of null bytes only is no key, whatever its transform).
// `collation` may be null. `condition` may be null (no condition tested).
// Errors: CopyKeyValue's, 446 an unknown mode, the condition's code.
KeyBuildResult BuildKeyImage(const KeyDefinition& key, const RecordSchemaView* schema,
                             const uint8_t* record, std::size_t record_length,
                             const uint16_t* collation, uint8_t* out,
                             KeyConditionFn condition = nullptr, void* context = nullptr,
                             std::size_t fixed_part = kFixedPartOfSegments);

// Transforms a key value (the segment values in segment order) in place and,
// when `with_position` is set and the index has duplicates, writes `position`
// big-endian into the 4 bytes behind the segments. Returns 0, 446, or for a
// schema segment 199 (no schema) / 433 (field beyond the schema).
int TransformTargetKey(const KeyDefinition& key, const RecordSchemaView* schema,
                       uint8_t* value, uint32_t position, bool with_position,
                       const uint16_t* collation);

// Turns a stored key back into its value form, segment by segment; schema
// segments by the transform their field's type class gives. Returns 0, 446
// (modes 6, 7 and unknown modes), 199 / 433 as TransformTargetKey.
int KeyToValueForm(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* stored);

}  // namespace isam
