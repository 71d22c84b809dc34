// Finding keys in a B-link tree: by comparison mode, first and last, next and
// previous from the index's current key, counts and positional lookups.
// Searches take no locks: moving right along right links covers a split that
// happened meanwhile, and a node marked 0xFFFFFFFF restarts the search.
//
// Every search returns the record position of the key it found, or 0 when
// nothing qualifies (eng_err 0) or on an error (eng_err set: 26 / 22 not
// open, 48 not an index, kErrFileDamaged or 240 for a tree that cannot be
// real, the node cache's codes). The found key (key length bytes) is copied
// to `out` when out is not null.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// Mode letters of fndkey.
constexpr char kFindEqual = 'E';
constexpr char kFindAtLeast = 'G';
constexpr char kFindGreater = 'H';
constexpr char kFindAtMost = 'M';
constexpr char kFindLess = 'N';

// The core search. Sets the index's current key when a key is found. An
// unknown mode letter: 0 with 116.
uint32_t fndkey(FileControlBlock* fcb, const uint8_t* target, char mode, uint8_t* out);

// fndkey on a file number with its mode letter.
uint32_t FindKeyByMode(int file, const uint8_t* target, char mode, uint8_t* out);
uint32_t FindKeyEqual(int file, const uint8_t* target, uint8_t* out);
uint32_t FindKeyAtLeast(int file, const uint8_t* target, uint8_t* out);
uint32_t FindKeyGreater(int file, const uint8_t* target, uint8_t* out);
uint32_t FindKeyAtMost(int file, const uint8_t* target, uint8_t* out);
uint32_t FindKeyLess(int file, const uint8_t* target, uint8_t* out);
// FindKeyGreater (forward) or FindKeyLess; when target is the index's
// current key, the step starts from the leaf that held it (checked still to
// hold it, as IndexNextKey does) instead of a descent from the root: the
// same answer, without reading the inner nodes again.
uint32_t FindKeyAfter(int file, const uint8_t* target, bool forward, uint8_t* out);

// First and last key; both clear the current key on an empty index.
uint32_t frskey(int file, uint8_t* out);
uint32_t lstkey(int file, uint8_t* out);

// Step from the current key. At either end: 0, and the current key stays
// on the last (first) entry. Without a current key: 0 with eng_err 0.
// IndexPreviousKey: 34 when back links disagree 10 times.
uint32_t IndexNextKey(int file, uint8_t* out);
uint32_t IndexPreviousKey(int file, uint8_t* out);

// Makes key (key length bytes) the index's current key without looking for
// it: the next IndexNextKey / IndexPreviousKey goes on from that key
// wherever it lies now (or from where it would lie, when it is gone).
void SetSearchKey(int file, const uint8_t* key);

// Keys from the first key >= low through the last key <= high (0 for an
// empty index or an error).
int32_t KeyRangeCount(int file, const uint8_t* low, const uint8_t* high);

// The key n entries behind the first key >= target (n = 0: that key); sets
// the current key. 0 when the index ends first.
uint32_t KeyAtOffsetFrom(int file, const uint8_t* target, int32_t n, uint8_t* out);

// The key at that fraction of the tree: 0 the first, 100 the last; 60 for a
// value outside 0..100.
uint32_t KeyAtPercent(int file, uint8_t* out, int percent);

// The approximate percentage (0..100) at which target lies in the index:
// from `start` (limited to 0..100), the key at the current percentage is
// compared with target and the percentage moves up (target greater) or down
// by the step, halved each round, while the step is above 2. The short form
// starts at 50 with step 50. 0 on an empty index or an error.
int KeyPercentOf(int file, const uint8_t* target);
int KeyPercentOf(int file, int step, int start, const uint8_t* target);

// (key count x |p2 - p1| + key count / 2) / 100 for the percentages of the
// two keys.
int32_t EstimateKeysBetween(int file, const uint8_t* key1, const uint8_t* key2);

}  // namespace isam
