// Rebuilding a file set from its data: the data file is examined (and
// repaired when flagged or changed), every index file is started empty
// from its definition (created when it was missing or did not open), the
// data file is walked once and each index's keys are sorted and loaded
// bottom-up. Keys a unique index rejects (an equal key of a record further
// on in key order) are listed in a reject file, or with the purge option
// the records are deleted from the data file and every index.
//
// Progress and results go to standard output ("\nIndex file rebuild
// complete (%ld entries added).", "\nAdditional index member rebuild
// complete (%ld entries added).", the reject lines) and the status log.
//
// The block's data-file-number field is an option word on entry and is
// restored before return: -99 store the definition again, -101 purge
// rejected records, -200 both; any other value none. The run opens the
// files exclusive (the shared bit of the modes is dropped for it), and on
// every way out the instance's rebuild mode, the block's fields and the
// rebuild record buffer are restored, and a reject file that holds nothing
// is deleted.
//
// Returns 0, or (also the ISAM error, with the file concerned): 107 more
// than 32 indexes; 48 a superfile host; 123 a bad record mark met while
// walking the data file (the data file is flagged corrupt, so the next
// rebuild repairs it first); 652 keys were rejected and listed; 650 the
// rejected records were purged; 651 the purge failed part way; the codes
// of the data-file examination, of the index creates and opens, of the
// sort (370 + its code) and of the bulk load.
#pragma once

namespace isam {
struct IfilBlock;
}

namespace isam::maint {

int RebuildFileSet(IfilBlock* block);

// The name of the last reject list a rebuild kept (empty when none).
const char* LastRejectFileName();

// Where the last rebuild of this thread spent its time (the benchmark):
// the data walk with the sorts' input, and the sorted output with the
// loads, in seconds.
struct RebuildTimes {
  double walk_and_sort = 0;
  double load = 0;
};
RebuildTimes LastRebuildTimes();

}  // namespace isam::maint
