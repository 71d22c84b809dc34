// Bringing one index in line with the condition it now carries: after a
// condition is set, replaced or removed, the index holds exactly the keys
// of the records the condition grants.
#pragma once

namespace isam::maint {

// A data file whose index could not be brought in line carries this
// rebuild status: the next open refuses it until a rebuild mends it.
constexpr unsigned char kRebuildStatusCorrupt = 1;

// Marks the data file before a condition change reaches it, so that a
// process dying anywhere in the change leaves a set the next open does not
// take as sound: a variable-length file counts this process as a writer
// (the open's mend then brings every index in line with the stored
// conditions), a fixed-length one is marked corrupt (kRebuildStatusCorrupt)
// until RekeyIndex succeeds. 0, or the header lock's or write's code (the
// change must not go on).
int MarkRekeyPending(int data_file);

// Empties index `index` and adds the key of every live record of its data
// file that has one (conditions applied), under the mark above (taken here
// when the caller has not). 0, or the first failing code; on a failure the
// data file is marked corrupt (kRebuildStatusCorrupt).
int RekeyIndex(int index);

}  // namespace isam::maint
