// The ISAM level's place in the engine: its start and stop hooks (record
// locks, transactions and the ISAM tables live and die with the engine
// instance), the ISAM start with its limits, the shutdown, and the
// function-table entries of the record, resource and file-set operations.
#pragma once

#include <cstdint>

namespace isam {

struct EngineInstance;

// Installs the file layer and everything of this level: start and stop
// hooks and the function-table entries. Call once before the first engine
// start (idempotent).
void InstallIsamLayer();

// File numbers a started engine offers at least, whatever the start asked
// for: a program keeps many calendars open, each a host with several
// members, and the table only grows within the start's count.
constexpr int kMinimumIsamFiles = 105;

// The limits of the ISAM start: 104 more than 110 files, 182 more than 107;
// 0 otherwise. (The start itself then runs the engine start.)
int CheckIsamStartLimits(int files);

// Closes every ISAM file (data files and indexes first, then superfile
// hosts and member directories), frees the ISAM state and stops the engine.
// Returns the first close error, or 0. Nothing without a started engine.
int IsamShutdown();

// For tests and the maintenance utilities: the hooks run at engine start
// and stop.
int IsamLayerStart(EngineInstance* inst);
void IsamLayerStop(EngineInstance* inst);

}  // namespace isam
