// The engine's thread layer: one zero-filled block per calling thread
// (it becomes the thread's EngineInstance), the process-wide engine mutex
// the gate holds around every call, and waiting.
#pragma once

#include <cstdint>

namespace platform {
struct ProcessMutex;
}

namespace isam {

struct EngineInstance;

// 125 when already started (the first tables stay); otherwise sets up the
// layer lock and two tables of slots (+1 when flags bit 0 is set, which
// also fixes the size; without it a full table grows by slots); 82 when
// the tables cannot be allocated; 0.
int EngineThreadLayerStart(int slots, int flags);

// Ends the layer: frees the tables and every block still held. The program
// never calls it; tests do, to start the layer afresh.
void EngineThreadLayerShutdown();

bool EngineThreadLayerStarted();

// The calling thread's block, or null (also when the layer is not started).
EngineInstance* ThreadBlock();

// Gives the calling thread a zero-filled block in the first free slot:
// 0 with *block set; 82 no memory (or layer not started); 600 when a fixed
// table is full or growth fails. A thread that has a block gets it back.
int AllocThreadBlock(EngineInstance** block);

// Frees the calling thread's block (nothing when it has none).
void FreeThreadBlock();

// Blocks in use.
int ThreadBlocksInUse();

// A word kept in the calling thread's block across re-registration:
// ThreadUserValue returns 0 and SetThreadUserValue 535 when the thread has
// no block.
uint32_t ThreadUserValue();
int SetThreadUserValue(uint32_t value);

// A mutex created on first use (under the layer lock).
struct EngineMutex {
  platform::ProcessMutex* handle = nullptr;
  bool created = false;
};

// The engine mutex of the gate.
EngineMutex* EngineGateMutex();

// wait true: without limit; false: one try. 0 owned; 156 time-out; 635
// creation failed; 636 wait failed (OS error kept in the current instance).
int MutexLock(EngineMutex* mutex, bool wait);
// 637 when the release fails (the thread does not own it).
int MutexUnlock(EngineMutex* mutex);
// 641 when closing fails; a mutex never created closes fine.
int MutexClose(EngineMutex* mutex);

void EngineSleep(uint32_t milliseconds);

}  // namespace isam
