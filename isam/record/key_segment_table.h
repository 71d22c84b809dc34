// Reading and changing the key table directly: the segments of a key number
// and its key table entry (null-key rule and condition flags, null byte,
// data file). The file-set calls fill the table from a definition; these
// calls let a caller adjust one segment or one entry afterwards, or define
// a key by hand.
#pragma once

#include <cstdint>

namespace isam {

// Segment numbers with this bit address the key table entry instead.
constexpr int kKeyTableEntry = 0x8000;

// Segment selectors of GetKeySegment.
constexpr int kSegmentLength = 1;
constexpr int kSegmentMode = 2;
constexpr int kSegmentOffset = 3;

// Sets segment `segment` (0..11) of key number `key` to (offset, length,
// mode). With kKeyTableEntry in `segment` it sets the key table entry
// instead: flags = first, null byte = second (low byte), data file = third.
// 0, or the ISAM error: 80 the key number is negative or not below the file
// count, 83 no ISAM tables (the ISAM layer is not started), 109 segment
// number beyond the twelve, 116 a negative length.
int SetKeySegment(int key, int segment, int first, int second, int third);

// The length (1), mode (2) or offset (3) of a segment; 0xFFFF for another
// selector, -1 for a selector with bit 0x8000, -1 with the ISAM error set
// (80, 83, 109 as above).
int32_t GetKeySegment(int key, int segment, int selector);

// Clears a segment (offset -1), which ends the key's segment list there.
// 0 or the ISAM error (80, 83, 109).
int ClearKeySegment(int key, int segment);

}  // namespace isam
