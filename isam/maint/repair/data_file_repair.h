// Examining a data file before its file set is rebuilt, and repairing it:
// the header is checked against the file set's definition (asking on the
// console where record length or extension size differ), and a file that
// is flagged corrupt or whose header had to change is walked whole: its
// free space and free-space index (variable-length files) or its delete
// stack (fixed-length files) and its resource chain are built anew, and
// stretches of garbage become free space. Live records are never moved or
// rewritten.
//
// Messages go to the repair console (standard output and input unless a
// test sets other streams). The windowed program never calls this code.
#pragma once

#include <cstdint>
#include <cstdio>

namespace isam {
struct FileControlBlock;
struct IfilBlock;
}  // namespace isam

namespace isam::maint {

// Error codes.
constexpr int kRepairOpenFailed = 12;
constexpr int kRepairVersion = 43;
constexpr int kRepairNumberInUse = 46;
constexpr int kRepairSuperfileMode = 48;
constexpr int kRepairMember = 116;
constexpr int kRepairFixedVariable = 122;
constexpr int kRepairTempIndex = 485;
constexpr int kRepairWalkTooLong = 512;
constexpr int kRepairNoControlBlock = 603;

// The streams the messages and the question use (null: standard output or
// input).
void SetRepairConsole(std::FILE* in, std::FILE* out);

// Asks whether the parameter value should replace the header's; reads
// lines until one begins with y, Y, n or N. The end of input answers no.
bool AskUseParameterValue(const char* label, long parameter_value, long header_value);

// Opens the data file raw at `number` (exclusive, header unchecked),
// checks and, where needed, repairs it, and closes it. 0 or the code above
// (also the ISAM error of the file), or a header read's or the repair's
// code. `file_mode` is the file set's data mode (0x4 variable length,
// 0x200 superfile host). `block` is the file set's definition (not read
// here beyond what the other arguments give).
int ExamineDataFile(int number, const char* path, int record_length, int extension_size, int file_mode,
                    const IfilBlock* block);

// A compacted file comes out of the examination marked as rebuilding (its
// indexes must be loaded anew; only a rebuild opens it so marked), every
// other file clean.
//
// Marks the data file as rebuilding (+56 = 255) before its indexes are
// started anew: an ordinary open refuses it (14) until a rebuild has
// loaded them and closed it. 0, or the raw open's or the header write's
// code.
int MarkDataFileRebuilding(int number, const char* path);

// Walks and repairs a data file opened raw: 0 or a code (512 a walk longer
// than the file allows; I/O codes). Header counts and ends are written.
int RebuildDataFile(FileControlBlock* fcb);

}  // namespace isam::maint
