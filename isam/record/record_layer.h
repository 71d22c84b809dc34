// The record layer's place in the engine (records, record locks,
// transactions, resources, the ISAM record level).
#pragma once

namespace isam {

struct EngineInstance;

// Installs the superfile layer below, the file-state hooks of the file
// layer (index/file_state_hooks.h), this layer's start and stop hooks and
// its function numbers (ISAM record reads and writes, lock mode,
// resources). Idempotent; call before the first engine start.
void InstallRecordLayer();

// For tests and the maintenance utilities: the hooks run at engine start
// (the ISAM tables and record locking; 83 when they cannot be set up) and
// at stop.
int IsamLayerStart(EngineInstance* inst);
void IsamLayerStop(EngineInstance* inst);

}  // namespace isam
