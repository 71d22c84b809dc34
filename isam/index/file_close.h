// Closing an engine file at a file number, with its index members.
#pragma once

namespace isam {

// Function 12. 26 when the number is not open; 23 for an index member (it
// closes with its index). Releases the file's header lock and cached nodes
// and, for a data file, this instance's record locks,
// writes each member's header (a shared file's under the header lock, so
// other openers' counts survive) unless read-only, frees the conditional
// index data and closes the OS file. A rebuild status of 255 is cleared with
// the close time stored. Returns 0 or the first write error (the file is
// closed all the same).
int CloseFileEntry(int number);
// The same close under the name the engine's own layers use.
inline int CloseEngineFile(int number) { return CloseFileEntry(number); }

// Closes every open non-member file of the current instance, superfile
// hosts last (engine stop).
void CloseAllFiles();

}  // namespace isam
