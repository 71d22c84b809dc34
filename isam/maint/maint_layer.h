// The maintenance utilities' place in the engine: InstallMaintLayer puts
// the condition hooks (data-file open, key build, file-set setup, close,
// stop) and the numbered calls (293 condition text of an index, 1407 store
// conditions) in place. Without it the engine finds no conditions
// anywhere.
#pragma once

namespace isam::maint {

// Call before the first engine start; idempotent. Returns 0.
int InstallMaintLayer();

}  // namespace isam::maint
