// The maintenance utilities' place in the engine: InstallMaintLayer puts
// the condition hooks (data-file open, key build, file-set setup, close,
// stop) and the numbered calls (293 condition text of an index, 1407 store
// conditions, 349 / 350 / 351 rebuild, compaction and added
// indexes, 643 bulk key load, 1483
// batch requests, 8454 / 8455 / 8459 context table init,
// select and free, 8467 / 8468 / 8469 the same for batches) in place. Without it the engine finds no conditions
// anywhere.
#pragma once

namespace isam::maint {

// Call before the first engine start; idempotent. Returns 0.
int InstallMaintLayer();

}  // namespace isam::maint
