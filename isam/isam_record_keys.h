// Keys of the ISAM record layer: the stored key of a record for one key
// number (segments, transforms, the null-key rule, a conditional index's
// verdict and, for an index with duplicates, the record position as the
// big-endian suffix), and the transformed form of a search target.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

// Builds the stored key of `record` for key number `key` into out (room for
// 256 bytes): the key length, 0 when the record has no key in that index,
// or -code (48 not an ISAM index, the key builder's 445 / 433 / 446, the
// condition's code). Delimited-field segments (modes 4 and 5) count their
// fields from the end of the data file's fixed part.
int BuildRecordKey(int key, const uint8_t* record, std::size_t length, uint32_t position, uint8_t* out);

// The search form of a caller's target: the key length bytes of target
// transformed like a stored key; an index with duplicates gets `suffix` as
// its position part. 0 or the code.
int MakeTargetKey(int key, const void* target, uint32_t suffix, uint8_t* out);

// Key length of an ISAM index (0 when it is none).
int IsamKeyLength(int key);

}  // namespace isam
