// Sets of records: the records whose keys in one index begin with the same
// leading bytes. A set is chosen by its first or last record (or taken
// from the index's current key) and then walked with next and previous;
// the instance keeps one set at a time (its key number and leading bytes).
//
// Every call returns an ISAM error (also kept with its file number, see
// SetIsamError); variable-length records pass their length as the reads of
// isam_record.h do (in the buffer size, out the full record length; null
// for fixed records). Reads retry a record in motion (160) at most 10
// times and honour the read-lock request, as every ISAM read.
//
// Errors besides those of the reads: 101 no record of the set that way
// (also when the next key begins otherwise), 118 a step on another key
// number than the set's (or without a set), 634 a negative length, 100 no
// current key to step from or to take a set from, 48 not an ISAM index.
#pragma once

#include <cstdint>

namespace isam {

// The first (lowest) record of the set whose keys begin with the first
// `significant` bytes of target in stored form. target: a key value (at
// least `significant` bytes of it are read), transformed here as a search
// target is. 0 leading bytes make the whole index the set; a length at or
// above the key's value length (the key length, less the position suffix of
// an index with duplicates) means the whole value.
int FirstInSet(int key, const void* target, void* buffer, int32_t significant, int32_t* length);
// The last (highest) record of that set.
int LastInSet(int key, const void* target, void* buffer, int32_t significant, int32_t* length);

// The record after (before) the index's ISAM current key, when its key
// still begins with the set's leading bytes.
int NextInSet(int key, void* buffer, int32_t* length);
int PreviousInSet(int key, void* buffer, int32_t* length);

// Makes the first `significant` bytes of the index's ISAM current key the
// set (the record itself is not read).
int ChangeSet(int key, int32_t significant);

}  // namespace isam
