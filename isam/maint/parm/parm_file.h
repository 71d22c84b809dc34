// File sets opened or created from a text parameter file. Values are
// separated by any whitespace, so lines are only a convention:
//
//   header:      index-buffers index-files sectors data-files
//   per data file:
//     number name record-length extension mode index-count    (<= 32 indexes)
//     text1 text2                                  (the set's two names)
//     per index file:
//       number name key-length key-type duplicates members extension
//         mode null-key-mode fill-byte segment-count           (<= 12)
//       index-name, then per segment: offset length segment-mode
//       per member: number key-length key-type duplicates null-key-mode
//         fill-byte segment-count, member-name, its segments
//
// Numbers are 16-bit decimals (a value outside -32768..32767 or a word
// where a number belongs is a bad entry of its line); words are at most
// 255 characters (a longer one is a bad entry of its line too).
//
// The indexes of a data file take the numbers after it, in order: index
// files and their members numbered otherwise are refused with 22.
//
// Both start the ISAM level (index buffers, index files + data files,
// sectors, index buffers again, start mode) unless the calling thread's
// engine runs already. On any error the files opened or created so far are
// closed, an engine started here is stopped, and the code is returned
// (also the ISAM error):
//   102 file not readable; 103 bad header; 106 bad data-file line (or its
//   name too long); 107 more than 32 indexes; 108 member number out of
//   sequence; 109 more than 12 segments; 110 bad segment; 111 bad index
//   line (or its name too long); 115 segment lengths do not add up to the
//   key length (less 4 with duplicates); 117 bad member line; 124 an index
//   file on disk has another member count; 180 index name missing or too
//   long; 183 the data file's names missing or too long; 22 a number out
//   of range or out of order; 46 a number in use; 608 a member's key length
//   or duplicates flag differs on disk; open and create codes pass through.
#pragma once

#include <cstdint>

namespace isam {
struct EngineCall;
}

namespace isam::maint {

constexpr int16_t kParmDefaultStartMode = 33;

int OpenFilesFromParmFile(const char* name, int16_t start_mode = kParmDefaultStartMode);
int CreateFilesFromParmFile(const char* name, int16_t start_mode = kParmDefaultStartMode);

// Numbers 12635 / 12634: block = CallParameterBlock, path = the parameter
// file, shorts[4] = the start mode (0: 33).
int OpenFilesFromParmFileCall(EngineCall* call);
int CreateFilesFromParmFileCall(EngineCall* call);

}  // namespace isam::maint
