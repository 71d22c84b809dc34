// Pool lists and the engine allocator.
//
// A chunk is a header followed by capacity slots; each slot starts with an
// element head (the owning chunk, and the free-chain link, which holds a
// marker while the element is in use) and then the element's bytes. An
// EngineAlloc block carries a 16-byte prefix (size, origin) so that its
// user area stays 16-byte aligned on every build.
#include "isam/runtime/engine_pool.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

struct alignas(16) ElementHead {
  PoolChunk* chunk;
  ElementHead* next_free;
};

struct alignas(16) PoolChunk {
  PoolChunk* prev;
  PoolChunk* next;
  int list;
  int32_t capacity;
  int32_t stride;
  int32_t never_used;   // slots never handed out, from never_used_at on
  int32_t free_count;   // never used + on the free chain
  uint8_t* never_used_at;
  ElementHead* free_chain;
};

namespace {

ElementHead* const kInUse = reinterpret_cast<ElementHead*>(static_cast<uintptr_t>(1));

constexpr int32_t kPrefix = 16;
constexpr int32_t kOriginPool = 0x504F4F4C;  // distinct words, so a stray value is unlikely
constexpr int32_t kOriginHeap = 0x48454150;

struct BlockPrefix {
  int32_t size;
  int32_t origin;
  int32_t pad[2];
};
static_assert(sizeof(BlockPrefix) == kPrefix, "prefix keeps 16-byte alignment");

// Usable element bytes of the record lists; 0 marks the lists computed
// from the node size (20, 21) and the allocator classes (2..9).
const int32_t kRecordSizes[kPoolListCount] = {32, 32, 0, 0, 0, 0, 0, 0, 0, 0, 8,
                                              12, 32, 32, 32, 364, 44, 568, 24, 32, 0, 0};

bool g_first_start_done = false;

// Every live chunk (start to end address) and every live heap block, so a
// free can tell the allocator's own memory from foreign or already freed
// memory before it reads a byte of it: a heap block freed twice, or a pool
// block whose chunk went back to the heap, is answered by the fatal path
// instead of a read of freed memory.
struct Registry {
  std::mutex lock;
  std::map<uintptr_t, uintptr_t> chunks;  // start -> end (one past)
  std::set<uintptr_t> heap_blocks;        // prefix addresses
};
Registry& Known() {
  static Registry* registry = new Registry;  // outlives every static user
  return *registry;
}

void RegisterChunk(PoolChunk* c, size_t bytes) {
  Registry& r = Known();
  std::lock_guard<std::mutex> hold(r.lock);
  r.chunks[reinterpret_cast<uintptr_t>(c)] = reinterpret_cast<uintptr_t>(c) + bytes;
}

void FreeChunk(PoolChunk* c) {
  {
    Registry& r = Known();
    std::lock_guard<std::mutex> hold(r.lock);
    r.chunks.erase(reinterpret_cast<uintptr_t>(c));
  }
  std::free(c);
}

// The live chunk whose element area holds an element head at p, or null.
PoolChunk* ChunkOfElement(const void* p) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(p);
  Registry& r = Known();
  std::lock_guard<std::mutex> hold(r.lock);
  auto it = r.chunks.upper_bound(a);
  if (it == r.chunks.begin()) return nullptr;
  --it;
  const uintptr_t first = it->first + sizeof(PoolChunk);
  if (a < first || a >= it->second) return nullptr;
  auto* c = reinterpret_cast<PoolChunk*>(it->first);
  if ((a - first) % static_cast<uintptr_t>(c->stride) != 0) return nullptr;
  return c;
}

bool IsLiveHeapBlock(const void* prefix) {
  Registry& r = Known();
  std::lock_guard<std::mutex> hold(r.lock);
  return r.heap_blocks.count(reinterpret_cast<uintptr_t>(prefix)) != 0;
}

void SetHeapBlock(const void* prefix, bool live) {
  Registry& r = Known();
  std::lock_guard<std::mutex> hold(r.lock);
  if (live) {
    r.heap_blocks.insert(reinterpret_cast<uintptr_t>(prefix));
  } else {
    r.heap_blocks.erase(reinterpret_cast<uintptr_t>(prefix));
  }
}

int32_t RoundUp(int32_t v, int32_t to) { return (v + to - 1) / to * to; }

int32_t ClassBytes(int list) { return 16 << (list - kPoolClass16); }

int32_t StrideOf(const PoolList& l) {
  return RoundUp(static_cast<int32_t>(sizeof(ElementHead)) + l.element_size, 16);
}

bool ChunkInList(const PoolList& l, const PoolChunk* c) {
  const PoolChunk* p = l.chunks;
  if (p == nullptr) return false;
  int guard = l.chunk_count + 1;
  do {
    if (p == c) return true;
    p = p->next;
  } while (p != l.chunks && --guard > 0);
  return false;
}

void Unlink(PoolList& l, PoolChunk* c) {
  if (c->next == c) {
    l.chunks = nullptr;
  } else {
    c->prev->next = c->next;
    c->next->prev = c->prev;
    if (l.chunks == c) l.chunks = c->next;
  }
}

void* AllocFrom(EngineInstance* inst, int list) {
  PoolList& l = inst->pools[list];
  PoolChunk* c = l.chunks;
  if (c == nullptr || c->free_count == 0) {
    if (l.free_elements > 0) {
      PoolChunk* p = c;
      PoolChunk* found = nullptr;
      int guard = l.chunk_count;
      while (p != nullptr && guard-- > 0) {
        if (p->free_count > 0) {
          found = p;
          break;
        }
        p = p->next;
      }
      if (found == nullptr) {
        EngineFatalError(kFatalNoChunkWithRoom);
        return nullptr;
      }
      l.chunks = found;
      c = found;
    } else {
      if (l.per_chunk <= 0 || l.element_size <= 0) {
        SetEngineError(kEngPoolNoMemory);
        return nullptr;
      }
      int32_t stride = StrideOf(l);
      size_t bytes = sizeof(PoolChunk) + static_cast<size_t>(stride) * l.per_chunk;
      c = static_cast<PoolChunk*>(std::calloc(1, bytes));
      if (c == nullptr) {
        SetEngineError(kEngPoolNoMemory);
        return nullptr;
      }
      RegisterChunk(c, bytes);
      c->list = list;
      c->capacity = l.per_chunk;
      c->stride = stride;
      c->never_used = l.per_chunk;
      c->free_count = l.per_chunk;
      c->never_used_at = reinterpret_cast<uint8_t*>(c + 1);
      if (l.chunks == nullptr) {
        c->prev = c->next = c;
      } else {
        c->next = l.chunks;
        c->prev = l.chunks->prev;
        c->prev->next = c;
        l.chunks->prev = c;
      }
      l.chunks = c;
      l.chunk_count += 1;
      l.chunks_with_room += 1;
      l.total_elements += c->capacity;
      l.free_elements += c->capacity;
    }
  }
  ElementHead* head;
  if (c->never_used > 0) {
    head = reinterpret_cast<ElementHead*>(c->never_used_at);
    c->never_used_at += c->stride;
    c->never_used -= 1;
  } else if (c->free_chain != nullptr) {
    head = c->free_chain;
    c->free_chain = head->next_free;
  } else {
    EngineFatalError(kFatalChunkNoFree);
    return nullptr;
  }
  head->chunk = c;
  head->next_free = kInUse;
  std::memset(head + 1, 0, static_cast<size_t>(c->stride) - sizeof(ElementHead));
  c->free_count -= 1;
  if (c->free_count == 0) l.chunks_with_room -= 1;
  l.free_elements -= 1;
  if (l.free_elements < 0) EngineFatalError(kFatalListFreeCount);
  return head + 1;
}

// The instance whose list `list` owns chunk: the current one first, then
// the rest of the ring. Only pointers are compared, nothing foreign is
// read through.
EngineInstance* OwnerOf(const PoolChunk* chunk, int list) {
  EngineInstance* start = CurrentInstance();
  if (start == nullptr) return nullptr;
  EngineInstance* inst = start;
  do {
    if (ChunkInList(inst->pools[list], chunk)) return inst;
    inst = inst->next;
  } while (inst != nullptr && inst != start);
  return nullptr;
}

// Checks and frees; false (after the fatal path) when element is not an
// in-use element of list.
bool FreeTo(void* element, int list) {
  if (list < 0 || list >= kPoolListCount) {
    EngineFatalError(kFatalForeignElement);
    return false;
  }
  ElementHead* head = static_cast<ElementHead*>(element) - 1;
  PoolChunk* chunk = ChunkOfElement(head);
  EngineInstance* inst = chunk != nullptr && head->chunk == chunk ? OwnerOf(chunk, list) : nullptr;
  if (inst == nullptr) {
    EngineFatalError(kFatalForeignElement);
    return false;
  }
  if (head->next_free != kInUse) {
    EngineFatalError(kFatalElementFreedTwice);
    return false;
  }
  PoolList& l = inst->pools[list];
  PoolChunk* c = head->chunk;
  head->next_free = c->free_chain;
  c->free_chain = head;
  c->free_count += 1;
  if (c->free_count == 1) l.chunks_with_room += 1;
  l.free_elements += 1;
  if (c->free_count == c->capacity && l.chunks_with_room >= 2) {
    if (c->next == c) {
      EngineFatalError(kFatalChunkLast);
      return true;
    }
    Unlink(l, c);
    l.chunk_count -= 1;
    l.chunks_with_room -= 1;
    l.total_elements -= c->capacity;
    l.free_elements -= c->capacity;
    if (l.chunk_count < 0 || l.chunks_with_room < 0 || l.free_elements < 0) {
      EngineFatalError(kFatalChunkCounts);
    }
    FreeChunk(c);
  }
  return true;
}

}  // namespace

int PoolSetup(EngineInstance* inst, bool first_start) {
  if (inst->pool_chunk_budget <= 0) inst->pool_chunk_budget = 2048;
  first_start = first_start || !g_first_start_done;
  g_first_start_done = true;
  const int32_t node_image = RoundUp(inst->node_size + 260, 4);
  const int32_t data_image = RoundUp(inst->node_size, 4);
  int32_t m = (node_image * inst->index_buffers + data_image * inst->data_buffers) / 65536 + 1;
  if (m > 4) m = 4;
  for (int list = 0; list < kPoolListCount; ++list) {
    PoolList& l = inst->pools[list];
    if (l.chunks != nullptr) continue;  // a list in use keeps its shape
    int32_t size = kRecordSizes[list];
    if (list >= kPoolClass16 && list <= kPoolClass2048) size = ClassBytes(list) + kPrefix;
    if (list == kPoolNodeImages) size = node_image;
    if (list == kPoolDataImages) size = data_image;
    int32_t per = 3;
    if (list < kPoolNodeImages) {
      per = inst->pool_chunk_budget / size;
      if (per < 4) per = 4;
    }
    if (first_start || list >= kPoolNodeImages) per *= m;
    if (list >= kPoolNodeImages) {
      while (per > 1 && per * size > 64000) --per;
    }
    l = PoolList();
    l.element_size = size;
    l.per_chunk = per;
  }
  return kEngOk;
}

void* PoolListAlloc(int list) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || list < 0 || list >= kPoolListCount) {
    SetEngineError(kEngPoolNoMemory);
    return nullptr;
  }
  return AllocFrom(inst, list);
}

void PoolListFree(void* element, int list) {
  if (element != nullptr) FreeTo(element, list);
}

void PoolListFreeAll(EngineInstance* inst, int list) {
  PoolList& l = inst->pools[list];
  PoolChunk* c = l.chunks;
  for (int i = 0; c != nullptr && i < l.chunk_count; ++i) {
    PoolChunk* next = c->next;
    FreeChunk(c);
    c = next;
  }
  int32_t size = l.element_size;
  int32_t per = l.per_chunk;
  l = PoolList();
  l.element_size = size;
  l.per_chunk = per;
}

int PoolClassForSize(int32_t size) {
  if (size <= 0 || size > kLargestPoolBlock) return -1;
  int list = kPoolClass16;
  while (ClassBytes(list) < size) ++list;
  return list;
}

void* EngineAlloc(int32_t size) {
  if (size < 0 || size > kEngineAllocMax) {
    EngineFatalError(kFatalAllocSize);
    return nullptr;
  }
  if (size == 0) return nullptr;
  EngineInstance* inst = CurrentInstance();
  int list = PoolClassForSize(size);
  BlockPrefix* prefix;
  if (list < 0 || inst == nullptr || inst->pools[list].per_chunk <= 0) {
    prefix = static_cast<BlockPrefix*>(std::calloc(1, kPrefix + static_cast<size_t>(size)));
    if (prefix == nullptr) return nullptr;
    prefix->origin = kOriginHeap;
    SetHeapBlock(prefix, true);
  } else {
    int16_t saved = inst->eng_err;
    prefix = static_cast<BlockPrefix*>(AllocFrom(inst, list));
    inst->eng_err = saved;
    if (prefix == nullptr) return nullptr;
    prefix->origin = kOriginPool;
  }
  prefix->size = size;
  return prefix + 1;
}

void EngineFree(void* block) {
  if (block == nullptr) return;
  BlockPrefix* prefix = static_cast<BlockPrefix*>(block) - 1;
  const bool heap = IsLiveHeapBlock(prefix);
  // Nothing is read from memory that is neither a live heap block nor an
  // element of a live chunk: it is foreign, or it was freed before.
  if (!heap && ChunkOfElement(reinterpret_cast<ElementHead*>(prefix) - 1) == nullptr) {
    EngineFatalError(kFatalForeignElement);
    return;
  }
  if (prefix->size < 0 || prefix->size > kEngineAllocMax) {
    EngineFatalError(kFatalFreePrefix);
    return;
  }
  if (prefix->size == 0) {
    EngineFatalError(kFatalFreeZeroPrefix);
    return;
  }
  if (heap) {
    SetHeapBlock(prefix, false);
    prefix->size = 0;
    std::free(prefix);
    return;
  }
  int list = PoolClassForSize(prefix->size);
  if (prefix->origin != kOriginPool || list < 0) {
    EngineFatalError(kFatalForeignElement);
    return;
  }
  int32_t size = prefix->size;
  prefix->size = 0;  // a second free of this block meets a zero prefix
  if (!FreeTo(prefix, list)) prefix->size = size;
}

void EngineFreeAndClear(void** block) {
  EngineFree(*block);
  *block = nullptr;
}

int32_t EngineBlockSize(const void* block) {
  return block == nullptr ? 0 : (static_cast<const BlockPrefix*>(block) - 1)->size;
}

}  // namespace isam
