// Opening an engine file at a file number: the OS open, the header checks in
// their fixed order, the members of an index file, and the mode the file is
// kept open with.
#pragma once

#include <cstdint>

namespace isam {

// Function 8394. Errors, first failure wins: 22 number out of range; 46
// number in use; for a member name 413 / 411 (no open host), 418, 12 (no
// such member or no free member slot); 12 the OS open failed; then the header checks of CheckHeaderForOpen (550, 13, 40,
// 48, 417, 418, 43, 45, 15, 23, 53); 606 a non-zero word at +116;
// kErrFileDamaged header ends or index geometry that cannot be real; 52 a
// member header with key type bits 0x1/0x2; 14 rebuild status not 0 without
// mode 0x4000 (with it the status becomes 'R'); 46 a member number in use;
// for an index with resources, a failed read of its collating tables (their
// absence, 401 / 408 / 438, is no failure); the write code when the header
// of a file opened for writing must be written back (a new open mode, the
// mirror bit cleared) and the write fails.
// On any error the OS file is closed again and the number stays free; a
// header that is blank (all 0x00 or all 0xFF) leaves -539 in the OS error.
int OpenFileEntry(int number, const char* name, uint16_t mode);
// The same open under the name the engine's own layers use.
inline int OpenEngineFile(int number, const char* name, uint16_t mode) {
  return OpenFileEntry(number, name, mode);
}

}  // namespace isam
