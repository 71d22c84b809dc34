// Keys of the ISAM record layer, in two steps: the key value of a record
// for one key number (its segments copied out of the record, the index's
// condition and the null-key rule applied), and the transform that turns a
// value into the stored form (segment transforms, and for an index with
// duplicates the record position as the big-endian suffix). A search target
// is a value too and goes through the same transform.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

struct IsamKeyRow;

// The ISAM row of an index: null when the number is no index of an open
// ISAM file set.
const IsamKeyRow* IsamIndexRow(int key);

// The key value of `record` (length bytes) for key number `key`: the
// segment values in segment order, untransformed, into out (room for 256
// bytes). Returns the sum of the segment lengths, 0 when the record has no
// key in that index (its condition is false, or null-key rule 1 and every
// byte is the null byte), or 0 with the ISAM error set (file = key):
//   80  key number negative, beyond the key table or without data file
//   445 a fixed segment runs past the record end
//   199 a schema-field segment (modes 12-15) on a data file that stores no
//       record schema, 433 its field number is beyond the schema
//   115 segments longer than the key, 33 null record or out, 634 negative
//       length; a condition's own code.
// Delimited-field segments (modes 4 and 5) count their fields from the end
// of the data file's fixed part. Pad byte and delimiter are the stored
// schema's (without one: the index's pad byte and delimiter 0).
int BuildKeyOfRecord(int key, const void* record, uint8_t* out, int32_t length);

// Applies the segment transforms of key number `key` to value in place and,
// when with_position is set and the index has duplicates, writes position
// (0 when none is given) big-endian into the 4 bytes behind the segments.
// 0, or the ISAM error: 80 bad key number, 446 an unknown segment mode,
// 199 / 433 as above, 115 segments that run into the position suffix.
int TransformTargetKey(int key, uint8_t* value, uint32_t position, bool with_position);

// BuildKeyOfRecord then TransformTargetKey with position, without touching
// the ISAM error: the stored key's length (the index key length), 0 when
// the record has no key, or -code (the codes above).
int BuildRecordKey(int key, const uint8_t* record, std::size_t length, uint32_t position, uint8_t* out);

// The search form of a caller's target: its key length bytes transformed
// like a stored key, an index with duplicates gets `suffix` as its position
// part (0 lands a 'G' search on the first of equal keys). Unless the tables
// say targets come transformed already. 0 or the code (48 not an ISAM
// index, 33 no target, 446).
int MakeTargetKey(int key, const void* target, uint32_t suffix, uint8_t* out);

// Key length of an ISAM index (0 when it is none).
int IsamKeyLength(int key);

// The key after (direction 1) or before (any other direction) the ISAM
// current key of the index (isam_record.h), by FindKeyGreater / FindKeyLess
// on it; the search position follows. 0 with eng_err 48 when the file is no
// ISAM index, 100 when the index has no ISAM current key, 0 with eng_err 0
// at either end.
uint32_t StepFromIsamKey(int file, uint8_t* out, int direction);

}  // namespace isam
