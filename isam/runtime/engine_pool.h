// The engine's memory: 22 pool lists of fixed-size elements per instance,
// and EngineAlloc on top of them for everything the engine allocates.
//
// Every block and element is zero-filled when handed out. Blocks of up to
// 2048 bytes come from the size-class lists of the current instance (lists
// 2..9) and never touch the heap once their chunk exists; larger blocks,
// and every block asked for while no instance is current, come from the
// heap. Consistency failures (sizes out of range, double frees, foreign
// blocks) take the fatal path (engine_fatal.h) with codes 7479-7497; when a
// test hook makes that path return, the call does nothing more.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

struct EngineInstance;
struct PoolChunk;  // defined in engine_pool.cpp

constexpr int kPoolListCount = 22;
constexpr int32_t kEngineAllocMax = 0x1000000;
constexpr int32_t kLargestPoolBlock = 2048;

// Named lists of engine records.
enum PoolListId : int {
  kPoolClass16 = 2,   // EngineAlloc classes: 2..9 hold 16, 32, ... 2048 bytes
  kPoolClass2048 = 9,
  kPoolNodeBuffers = 15,   // NodeBuffer records (node cache)
  kPoolDataBuffers = 16,   // data-buffer records
  kPoolFileControl = 17,   // FileControlBlock
  kPoolNodeImages = 20,    // node images: node size + 260
  kPoolDataImages = 21,    // data-buffer images: node size
};

// One pool list (all fields are the pool's own; read them for statistics).
struct PoolList {
  int32_t element_size = 0;       // usable bytes of one element
  int32_t per_chunk = 0;          // elements in one chunk
  PoolChunk* chunks = nullptr;    // ring of chunks, current first
  int32_t chunk_count = 0;
  int32_t chunks_with_room = 0;
  int32_t total_elements = 0;
  int32_t free_elements = 0;
};

// Sets up the 22 lists of inst for its node size and buffer counts (no
// chunk is allocated yet). first_start: multiply every list's chunk size by
// the buffer factor, else only lists 20 and 21. Returns 0.
int PoolSetup(EngineInstance* inst, bool first_start);

// Zero-filled element of list (0..21) of the current instance; null and
// eng_err 68 when no chunk can be allocated (or no instance is current).
void* PoolListAlloc(int list);

// Returns an element to list. An element that is not one of a live chunk
// of this list is fatal 7495, one already free 7496.
void PoolListFree(void* element, int list);

// Frees every chunk of one list of inst (at stop).
void PoolListFreeAll(EngineInstance* inst, int list);

// The allocator. size < 0 or > 0x1000000: fatal 7490 (null). 0: null,
// nothing allocated. Above 2048: heap. Else the smallest class list that
// holds it. Null when memory runs out (eng_err untouched).
void* EngineAlloc(int32_t size);

// Frees an EngineAlloc block; null does nothing. A corrupt size prefix is
// fatal 7491 (out of range) or 7497 (0, which is also what a pool block
// freed before carries); a pool block whose chunk is not of its class
// 7495. Memory that is neither a live heap block of the allocator nor an
// element of a live chunk is never read: fatal 7495 (foreign memory, a
// heap block freed before, a pool block whose chunk went back).
void EngineFree(void* block);

// Frees *block and sets it to null.
void EngineFreeAndClear(void** block);
template <typename T>
void EngineFreeAndClear(T** block) {
  EngineFree(*block);
  *block = nullptr;
}

// The size asked for when block was allocated.
int32_t EngineBlockSize(const void* block);

// The list EngineAlloc takes a block of size from (2..9), or -1 for heap.
int PoolClassForSize(int32_t size);

}  // namespace isam
