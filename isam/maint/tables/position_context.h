// Numbered ISAM positions of one engine instance: a caller walking an index
// in several interleaved sequences gives each its number, and selecting a
// number saves the instance's ISAM position into the context that was
// current and restores the one saved under the new number.
//
// A position is everything a walk continues from: the key number the last
// read came through, every data file's current and saved record, every
// index's current and saved key. A fresh number restores the empty
// position (no key in progress, no current records, no current keys).
//
// Codes (also kept as the ISAM error): 184 the table exists already
// (ContextTableInit only), 185 no memory.
#pragma once

#include <cstdint>

namespace isam::maint {

struct PositionContext;
struct ContextTable;

// Creates the table of the current instance with max(1, hash_size)
// buckets; no context is current. 0, 184 or 185.
int ContextTableInit();
// Makes `number` (any 16-bit value, negative ones too) the current context:
// creates the table on first use, saves the position into the current
// context, finds or makes the context of `number` and restores it. The
// current number again: 0 and nothing changes. 0 or 185.
int ContextSelect(int16_t number);
// Frees every context and the table, clears the key in progress, the
// current context and the ISAM error; 0.
int ContextFreeAll();
// The current context's number, or -1 with none (tests).
int CurrentContextNumber(bool* has_one);

}  // namespace isam::maint
