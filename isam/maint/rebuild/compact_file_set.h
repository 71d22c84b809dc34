// Compaction: the active records and the resources of a data file are
// copied into a fresh file, which then takes the old one's place, and the
// indexes are rebuilt (RebuildFileSet).
//
// The swap never leaves the set without its data file: the fresh file is
// flushed and closed, the original renamed to its backup name (the data
// file's name with kCompactBackupSuffix behind it), the fresh file renamed
// into place, and only then the backup deleted (FinishCutShortCompaction
// puts right what a run cut short leaves). Both work names are the
// engine's own, and a file under them is touched only when it holds an
// engine file header: a file of the user's beside the data file is never
// deleted, renamed or written. On any error before the swap the original is
// left as it was and the fresh file is deleted. The fresh file, named
// beside the data file, carries the compacted flag 'c' until its indexes
// are rebuilt; a file still flagged so is compacted all the same.
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

#include <string>

namespace isam {
struct IfilBlock;
}

namespace isam::maint {

int CompactFileSet(IfilBlock* block);

// What a compaction cut short (a crash, a failed rename) left beside the
// data file put right: a backup without its data file is renamed back, a
// backup beside the data file deleted (the swap had ended), a fresh file
// that never took the name deleted; each only when it holds an engine
// file header (a fresh file also when it is shorter than one: its create
// was cut short). 0, or 67 when a rename or delete failed. Compactions and
// rebuilds call it first.
int FinishCutShortCompaction(const std::string& data_name);

// What the data file's name becomes while the fresh file takes its place.
constexpr const char* kCompactBackupSuffix = ".old~cmp";
// The fresh file's name while it is filled: beside the data file, so the
// rename stays on one volume and a run cut short leaves it where the next
// run finds and drops it.
constexpr const char* kCompactTempSuffix = ".new~cmp";

}  // namespace isam::maint
