// Copying an engine file byte for byte into a new OS file (backups, and
// calendars handed on as files).
#pragma once

#include <cstdint>

namespace isam {

constexpr uint32_t kDefaultCopyChunk = 0xC000;

// Copies open file `file`, up to its OS size, into a new file at `path`
// (an existing file of that name is replaced), `chunk_size` bytes at a
// time (0: 0xC000). A superfile member or an index member has no OS file
// of its own: the whole file that holds it (the host) is copied. Without
// `keep_header` the copy's u32 at header offset 32 is written as 0. The
// copy is an engine file again: it opens like the original.
// Returns the engine code (also in eng_err): 0; 26 / 22 the file is not
// open; 62 the file is open shared and the instance has not allowed such
// copies; 82 no chunk buffer (also for a chunk above the allocator's
// 16 MB); 657 the new file cannot be opened; 658 a write to it fails; 659
// fewer bytes could be read than the file holds (a short read ends the
// copy as the end of the file; the count decides); the read's I/O code. On
// any failure the partial copy is deleted again.
int CopyFileToPath(int file, const char* path, uint32_t chunk_size, bool keep_header);

// Whether this instance may copy files open shared (off at start). A file
// that other processes share may change while it is copied, so the caller
// takes that on knowingly (a backup of an open calendar does).
void AllowSharedFileCopy(bool allowed);

}  // namespace isam
