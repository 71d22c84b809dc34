// Engine start, stop and the per-instance options.
//
// Layers above the runtime (files, node cache, records, file sets) hook
// into start and stop through RegisterEngineLayer, so the start here
// allocates only what the runtime owns and calls their hooks in order.
#pragma once

#include <cstdint>

#include "isam/runtime/engine_instance.h"
#include "isam/runtime/function_table.h"

namespace isam {

// A layer's part of the engine start and stop. start runs after the pool
// is set up, in registration order; a non-zero return fails the start
// with 10 after the stop hooks of the layers already started ran (in
// reverse order). stop runs at EngineStop, in reverse order, before the
// pool is freed; it must close what its layer holds.
struct EngineLayerHooks {
  const char* name;
  int (*start)(EngineInstance* inst);
  void (*stop)(EngineInstance* inst);
};

// Adds a layer (at most 8; the same hooks twice are kept once). Returns 0,
// or 116 when the list is full. Call before the engine starts.
int RegisterEngineLayer(const EngineLayerHooks* hooks);

// The start of the current instance (number 12398; the ISAM start calls
// it): 125 already started; 11 sectors not above 0 or files negative;
// 10 when a table cannot be allocated (everything freed again); else 0
// with the instance started. block: CallParameterBlock whose shorts are
// index buffers, files, sectors, data buffers, mode.
int EngineStartInstance(const CallParameterBlock* block);

// Stop of the current instance (number 8202): 410 when there is none or
// it was not started; else frees everything, clears started, unregisters
// the instance of this thread and returns 0. Also stored in eng_err.
int EngineStopInstance();

// The option call (number 9864), see engine_start.cpp for the bit rules:
// returns the option word (or the stored action value), or -116 with
// eng_err 116 for a refused action or bit.
int32_t EngineOptionWord(uint32_t bits, int action);

// Test and clear of option bits 0x24 for the ISAM reads: returns the bits
// of 0x24 that were set and clears them.
uint32_t TakeOptionBits24();

// Clear-error call (number 8307): eng_err = 0.
int EngineClearError();

// EngineStart of the API (engine_api.h gives the contract): registers an
// instance for the calling thread unless the current one is the global
// default, dispatches the ISAM start (12655) and unregisters the instance
// again when the start fails. Installs the runtime's functions first.
int StartEngine(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers, int16_t mode,
                const char* owner, const char* word, const char* server);

// Installs the runtime's own implementations (start, stop, option word,
// clear error, configuration report). EngineStart calls it; idempotent.
void InstallRuntimeFunctions();

}  // namespace isam
