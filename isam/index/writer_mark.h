// The mark that tells an open whether the last writers of a file closed it
// cleanly. Header bytes +72..+75 (u32, little-endian; 0 at create) count the
// openers that have updated the file and not yet closed it: an opener adds
// itself under the header lock just before its first update, and its clean
// close takes itself out again and stores the time at +112. A count above
// zero that no live opener accounts for is what a writer that died leaves,
// and the next opener that finds itself alone mends the file and sets it
// back to zero. Readers never touch it, so a sound file costs an open only
// the header it reads anyway.
#pragma once

#include <cstdint>

#include "isam/index/file_control_block.h"

namespace isam {

// Counts this opener in before its first update (nothing on later calls),
// and flushes the header so the count is on the disk before any update:
// 0, or the header lock's, write's or flush's code (the update must not go on).
int MarkWriter(FileControlBlock* fcb);

// For the clean close (which flushes the file first when this opener
// counted itself in), with the header lock held and the header fresh: takes
// this opener out of the count (when it counted itself in) and stores the
// close time at +112 in the image the close then writes.
void UnmarkWriterForClose(FileControlBlock* fcb);

// Writers the header counts that did not close cleanly, from the disk (the
// header is re-read); -1 when it cannot be read.
int64_t UncleanWriters(FileControlBlock* fcb);

// After a mend by an opener alone: the count back to 0 (this opener has not
// updated yet). 0 or the header lock's or write's code.
int ClearWriterMarks(FileControlBlock* fcb);

}  // namespace isam
