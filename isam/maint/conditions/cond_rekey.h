// Bringing one index in line with the condition it now carries: after a
// condition is set, replaced or removed, the index holds exactly the keys
// of the records the condition grants.
#pragma once

namespace isam::maint {

// A data file whose index could not be brought in line carries this
// rebuild status: the next open refuses it until a rebuild mends it.
constexpr unsigned char kRebuildStatusCorrupt = 1;

// Empties index `index` and adds the key of every live record of its data
// file that has one (conditions applied). 0, or the first failing code;
// on a failure the data file is marked corrupt (kRebuildStatusCorrupt).
int RekeyIndex(int index);

}  // namespace isam::maint
