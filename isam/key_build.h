// Building a key from a record image: the key segments of a key number are
// copied out of the record (by offset, by delimited field or by schema field),
// each is transformed so that raw byte order is value order, and the null-key
// rule decides whether the record has a key at all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "isam/key_segment.h"

namespace isam {

constexpr int kMaxKeySegments = 12;

// Key flags: low 4 bits null-key rule; 0x10 own condition, 0x20 the data
// file's common condition.
constexpr uint16_t kKeyNullRuleMask = 0x0F;
constexpr uint16_t kKeyOwnCondition = 0x10;
constexpr uint16_t kKeyCommonCondition = 0x20;

// One row of the key table: what a key number is made of.
struct KeyDefinition {
  int16_t data_file = -1;   // negative: no data file
  uint16_t flags = 0;
  uint8_t null_byte = 0;
  uint16_t key_length = 0;  // index key length, duplicate suffix included
  bool duplicates = false;
  KeySegment segments[kMaxKeySegments];  // ends at the first negative offset
};

// A decoded record schema: 16-byte header, then 4-byte field entries.
struct RecordSchemaView {
  const uint8_t* data = nullptr;
  std::size_t length = 0;
};

// Pad byte and delimiter of a schema (32 and 0 without one).
uint8_t SchemaPadByte(const RecordSchemaView* schema);
uint8_t SchemaDelimiter(const RecordSchemaView* schema);

// Asked for the condition of a key; the answer is > 0 when the record has a
// key, 0 when it has none, negative (minus an error code) on failure.
using KeyConditionFn = int (*)(void* context, const KeyDefinition& key,
                               const uint8_t* record, std::size_t record_length);

struct KeyBuildResult {
  int error = 0;   // 0, 445, 199, 433, 446 or the condition's code
  int length = 0;  // key bytes built (sum of the segment lengths); 0 = no key
};

// Copies the segments of `key` out of `record` into `out` (room for the key
// length) and applies the segment transforms. The record is not changed.
// `collation` may be null. `condition` may be null (no condition tested).
// Errors: 445 a fixed segment past the record end, 199 a schema segment
// without schema, 433 a field number beyond the schema, 446 an unknown mode.
KeyBuildResult BuildKeyImage(const KeyDefinition& key, const RecordSchemaView* schema,
                             const uint8_t* record, std::size_t record_length,
                             const uint16_t* collation, uint8_t* out,
                             KeyConditionFn condition = nullptr, void* context = nullptr);

// Transforms a key value (the segment values in segment order) in place and,
// when `with_position` is set and the index has duplicates, writes `position`
// big-endian into the 4 bytes behind the segments. Returns 0 or 446.
int TransformTargetKey(const KeyDefinition& key, const RecordSchemaView* schema,
                       uint8_t* value, uint32_t position, bool with_position,
                       const uint16_t* collation);

// Turns a stored key back into its value form, segment by segment. Returns 0
// or 446 (modes 6, 7 and unknown modes).
int KeyToValueForm(const KeyDefinition& key, const RecordSchemaView* schema, uint8_t* stored);

}  // namespace isam
