// A full consistency check of an open variable-length file set: every
// stretch of the data file is walked, every free stretch must have its
// free-space key (and every key its stretch), and every index must hold
// exactly one key for each live record, pointing at it, that a search from
// the index's root finds where its leaves hold it, and that a walk along
// the leaves meets in order both ways. Reopening after a
// crash or a failed write uses it to tell a sound file set from a damaged
// one; the soak and crash tests use it as their oracle.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace isam {

using IndexEntries = std::vector<std::pair<std::vector<uint8_t>, uint32_t>>;  // key, record position

struct FileSetReport {
  int32_t records = 0;          // live records
  int32_t unfilled = 0;         // stretches claimed for a record never written
  int32_t free_stretches = 0;
  int32_t free_keys = 0;
  uint64_t live_bytes = 0;      // record data bytes
  uint64_t free_bytes = 0;
  int32_t resources = 0;
  const char* problem = nullptr;  // the first inconsistency found (static text)
};

// 0 when the set is consistent; kErrFileDamaged (with report->problem) when
// not; another code when a read failed.
int CheckFileSet(int data_file, FileSetReport* report);

// Whether what a walk of the index's leaves gave (`entries`, in walk order)
// is what searches see: keys rising strictly, each found from the root at
// the record its leaf names. A node torn between two pages can leave leaves
// that still chain in order while an inner node sends searches elsewhere.
// 0, or kErrFileDamaged (also for a search that fails).
int CheckEntriesSearchable(int16_t index, const IndexEntries& entries);

// Whether a walk of the index from its last key back along the leaves' left
// links gives `entries` (a forward walk's, in its order) in reverse, as a
// reader stepping backwards meets them: a leaf whose left link names a node
// never written breaks that walk although the forward one and every search
// find their keys. 0, or kErrFileDamaged (also for a step that fails).
int CheckEntriesWalkBack(int16_t index, const IndexEntries& entries);

}  // namespace isam
