// Segment transforms: each turns a segment's bytes, as they lie in a record,
// into a stored form whose raw byte order is the order of the values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

// Segment mode flags, applied after the mode's own transform in the order
// 0x40, 0x20, 0x10.
constexpr uint16_t kSegRightAnchored = 0x40;
constexpr uint16_t kSegAltCollation = 0x20;
constexpr uint16_t kSegDescending = 0x10;
// A mode with this bit names no transform (446); bit 0x80 is ignored.
constexpr uint16_t kSegUnknownBit = 0x100;

struct KeySegment {
  int16_t offset = -1;  // record offset, delimited-field number or schema field
  int16_t length = 0;
  int16_t mode = 0;
};

// The base mode of a segment (its low four bits).
inline int SegmentBaseMode(int mode) { return mode & 0x0F; }

// The value transform a schema field type selects for the schema modes 12-15
// (0 none, 1, 2, 8, 9 or 10).
int SchemaTypeTransform(int field_type, int segment_mode);

// Applies the transform of `mode` (its base mode, then the flags) to the
// segment's `length` bytes in place. For the schema modes `schema_transform`
// is the transform of the field's type (SchemaTypeTransform). `collation` is
// the index's 256-entry table for flag 0x20, or null (the flag then does
// nothing). Returns 0, or 446 for an unknown mode.
int TransformSegment(int mode, uint8_t* bytes, std::size_t length, uint8_t pad,
                     const uint16_t* collation, int schema_transform = 0);

// Turns a stored segment back into its value form in place: the flags 0x10
// and 0x40 are undone (0x20 cannot be), then the mode's transform. Modes 0,
// 2, 4 and 5 stay as stored. Returns 0, or 446 for modes 6, 7 and unknown
// modes.
int SegmentToValueForm(int mode, uint8_t* bytes, std::size_t length, uint8_t pad,
                       int schema_transform = 0);

}  // namespace isam
