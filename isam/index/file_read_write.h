// Record-sized I/O on an open file's control block.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// FilePositionedIo on the block's OS file (mode 0 read, 1 write); a length
// of 0 means the file's record length. 469 for a negative length; else
// the codes of FilePositionedIo (35, 36, 37, 38).
int FileReadWrite(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, int32_t length,
                  int32_t* count);

}  // namespace isam
