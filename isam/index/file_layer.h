// The files-and-indexes layer's place in the engine: its start and stop
// (the file table, the node cache) and its function numbers (create, open,
// close, flush, index members, key add and delete, file attributes).
#pragma once

namespace isam {

// Registers the start and stop hooks of the file layer and the node cache
// and installs the file and key operations in the function table. Call once
// before the first engine start (idempotent). Returns 0.
int InstallFileLayer();

}  // namespace isam
