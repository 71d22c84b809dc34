// Path names as the program compares and completes them: the full form of
// a path (so two spellings of one file can be told apart from two files)
// and the folder the program file lives in.
#pragma once

#include <string>

namespace platform {

// The full form of a path, relative to the current folder. Win32: the
// system's full path name (buffer of 1000 characters; "." and ".." are
// resolved, the drive letter and case kept as given). POSIX: made absolute
// against the current folder and "." / ".." removed lexically, without
// following links. A path the system refuses comes back unchanged.
std::string FullPath(const std::string& path);

// The folder of the running program file, ending in the side's separator
// ("\" on Win32, lower-cased there as the program has always kept it; "/"
// on POSIX). Empty when the system does not say.
std::string ProgramFolder();

// True when the path names a folder part (holds a separator: "\" on both
// sides, "/" too on POSIX), false for a bare file name.
bool HasFolderPart(const std::string& path);

}  // namespace platform
