// The top of the engine's layers: the ISAM start with its limits, the
// shutdown, and the function-table entries of the file-set operations.
// InstallIsamLayer installs every layer below it as well.
#pragma once

#include <cstdint>

#include "isam/record/record_layer.h"

namespace isam {

struct EngineInstance;

// Installs every layer below (records, superfiles, files, the runtime) and
// this level's function-table entries (ISAM start and shutdown, file
// sets). Call once before the first engine start (idempotent).
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


}  // namespace isam
