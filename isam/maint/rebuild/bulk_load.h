// Loading keys into an index in ascending order, bottom-up: each leaf is
// filled and written through the node cache as it fills (its high key its
// last key, linked both ways to its neighbours), its last key carried up
// as the entry of the level above, and so on. Finishing writes the open
// node of every level, the rightmost entries of the inner levels carrying
// the all-0xFF top key, and puts root and key count in the header.
//
// An index that already holds keys takes the new ones through the ordinary
// insert, each greater than its last key.
#pragma once

#include <cstdint>

namespace isam::maint {

constexpr int kBulkStart = 0;   // the first key (starts a load)
constexpr int kBulkNext = 1;    // a further key
constexpr int kBulkFinish = 2;  // writes the tree (key and position unused)

// Key (key length bytes; for an index with duplicates the last four are
// replaced by the position) with its record position. 0, or the code (also
// eng_err): 48 not an index; 62 the index is open shared or read-only; 58
// a load of another key number is in progress (or none for modes 1 and 2);
// 59 the key is not greater than the one before (or than the index's last
// key); 116 another mode; 28 position 0; 240 the tree would need more than
// the kMaxTreeDepth inner levels a search may pass; node write and header codes. A
// failed load is ended: what it wrote is not reachable from the header.
int IndexBulkAddKey(int key, const uint8_t* image, uint32_t position, int mode);

// Ends a load without finishing it (a rebuild that gives up).
void IndexBulkAbandon();

}  // namespace isam::maint
