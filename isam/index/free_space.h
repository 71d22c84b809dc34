// Space of variable-length data files: a stretch for a new record (the
// smallest free stretch that fits, the lowest position among equals, or new
// space at the end of the file), and giving a stretch back (joined with a
// free stretch directly behind it). Free stretches are marked 0xFDFD and
// keyed in the file's free-space index (free_space_index.h).
//
// Claiming and freeing run wholly under the data file's header lock, so two
// processes never hand out the same stretch.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// Allocation kinds.
constexpr int kAllocBestFit = 0;
constexpr int kAllocAtEnd = 2;  // end of the file only (resources)

// (member, total, position) as a free-space key into key; returns 12.
int BuildSpaceKey(const FileControlBlock* fcb, uint8_t* key, uint32_t total, uint32_t position);

// A stretch for a record of `length` data bytes, marked 0xFAFA with used
// length 0. A superfile member takes a free stretch only when it is less
// than twice the size it needs (its stretches are never split), else new
// space. Its position, or 0 with eng_err: 48 not a variable-length file,
// 140 length plus header overflows, 147 a free-space key names a stretch
// that is not free (status-log line "mark=%xx pos=%lxx" and the name), 146
// a free-space key could not be removed, 44 the record count could not be
// raised, extension and I/O codes. `counted` raises the header's serial
// counter and active count (records do, resources and nodes do not).
uint32_t AllocVarSpace(FileControlBlock* fcb, uint32_t length, int kind, bool counted);
// AllocVarSpace on a file number, counted, best fit.
uint32_t NewVarRecordSpace(int file, uint32_t length);

// Gives the stretch at position back: 159 position 0; 123 a mark that is
// not a record or resource (freeing free space twice is refused, the stretch
// is left as it was); 146 the free stretch behind could not be taken out of
// the index; I/O codes. `counted` lowers the active count.
int FreeVarSpace(FileControlBlock* fcb, uint32_t position, bool counted);
int ReleaseVarRecordSpace(int file, uint32_t position);

// Marks the stretch [position, position + total) free and keys it, joining
// the free stretch directly behind it. For stretches that are not (or no
// longer) records: the split-off rest of a record, a half-made stretch.
int FreeRawStretch(FileControlBlock* fcb, uint32_t position, uint32_t total);

}  // namespace isam
