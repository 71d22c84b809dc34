// Compaction: the active records and the resources of a data file are
// copied into a fresh file, which then takes the old one's place, and the
// indexes are rebuilt (RebuildFileSet).
//
// The swap never leaves the set without its data file: the fresh file is
// flushed and closed, the original renamed to its backup name (the data
// file's name with "~" behind it), the fresh file renamed into place, and
// only then the backup deleted. A run that finds the backup but no data
// file puts the backup back first. On any error before the swap the
// original is left as it was and the temporary file is deleted. The fresh
// file carries the compacted flag 'c' until its indexes are rebuilt.
//
// Prints the counts the run met (deleted bytes are those of free stretches
// and free-space nodes of a variable-length file; deleted records of a
// fixed one) and logs its steps in the status log.
//
// Returns 0, or (also the ISAM error): 116 a superfile member; 48 a
// superfile host; 122 the definition's fixed/variable mode differs from the
// file; 123 a bad record mark or impossible lengths (the original is kept:
// repair it with a rebuild first); 512 a walk longer than the file allows;
// open, create, copy, rename and the rebuild's codes.
#pragma once

namespace isam {
struct IfilBlock;
}

namespace isam::maint {

int CompactFileSet(IfilBlock* block);

// What the data file's name becomes while the fresh file takes its place.
constexpr const char* kCompactBackupSuffix = "~";

}  // namespace isam::maint
