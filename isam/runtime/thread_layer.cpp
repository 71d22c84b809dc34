// The thread layer: two parallel tables (block pointer, thread id) under
// one critical section, with a one-entry cache of the last lookup.
#include "isam/runtime/thread_layer.h"

#include <cstdlib>
#include <mutex>
#include <new>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "platform/sync.h"

namespace isam {

namespace {

struct ThreadTables {
  platform::CriticalSection* lock = nullptr;
  bool started = false;
  EngineInstance** blocks = nullptr;
  uint32_t* ids = nullptr;
  int slots = 0;        // entries in both tables
  int grow_by = 0;      // 0: fixed size
  int in_use = 0;
  int cache_slot = -1;
  uint32_t cache_id = 0;
};

ThreadTables g_tables;
EngineMutex g_gate_mutex;
// Guards the lazy creation of mutexes also before the layer is started.
std::mutex g_create_guard;

class LayerLock {
 public:
  LayerLock() {
    if (g_tables.lock) platform::EnterCriticalSection(g_tables.lock);
  }
  ~LayerLock() {
    if (g_tables.lock) platform::LeaveCriticalSection(g_tables.lock);
  }
  LayerLock(const LayerLock&) = delete;
  LayerLock& operator=(const LayerLock&) = delete;
};

int FindSlot(uint32_t id) {
  if (g_tables.cache_slot >= 0 && g_tables.cache_id == id &&
      g_tables.blocks[g_tables.cache_slot] != nullptr) {
    return g_tables.cache_slot;
  }
  for (int i = 0; i < g_tables.slots; ++i) {
    if (g_tables.blocks[i] != nullptr && g_tables.ids[i] == id) {
      g_tables.cache_slot = i;
      g_tables.cache_id = id;
      return i;
    }
  }
  return -1;
}

void KeepOsError(int code) {
  EngineInstance* inst = CurrentInstance();
  if (inst) inst->os_error = static_cast<int16_t>(code);
}

}  // namespace

int EngineThreadLayerStart(int slots, int flags) {
  if (g_tables.started) return kEngAlreadyStarted;
  if (slots < 1) slots = 1;
  int count = slots + ((flags & 1) ? 1 : 0);
  platform::CriticalSection* lock = platform::CreateCriticalSection();
  auto* blocks = static_cast<EngineInstance**>(std::calloc(count, sizeof(EngineInstance*)));
  auto* ids = static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t)));
  if (lock == nullptr || blocks == nullptr || ids == nullptr) {
    platform::DeleteCriticalSection(lock);
    std::free(blocks);
    std::free(ids);
    return kEngNoThreadMemory;
  }
  g_tables.lock = lock;
  g_tables.blocks = blocks;
  g_tables.ids = ids;
  g_tables.slots = count;
  g_tables.grow_by = (flags & 1) ? 0 : slots;
  g_tables.in_use = 0;
  g_tables.cache_slot = -1;
  g_tables.started = true;
  return kEngOk;
}

void EngineThreadLayerShutdown() {
  if (!g_tables.started) return;
  EngineForgetAllInstances();
  for (int i = 0; i < g_tables.slots; ++i) delete g_tables.blocks[i];
  std::free(g_tables.blocks);
  std::free(g_tables.ids);
  platform::DeleteCriticalSection(g_tables.lock);
  g_tables = ThreadTables();
}

bool EngineThreadLayerStarted() { return g_tables.started; }

EngineInstance* ThreadBlock() {
  if (!g_tables.started) return nullptr;
  LayerLock hold;
  int slot = FindSlot(platform::CurrentThreadId());
  return slot < 0 ? nullptr : g_tables.blocks[slot];
}

int AllocThreadBlock(EngineInstance** block) {
  *block = nullptr;
  if (!g_tables.started) return kEngNoThreadMemory;
  LayerLock hold;
  uint32_t id = platform::CurrentThreadId();
  int slot = FindSlot(id);
  if (slot >= 0) {
    *block = g_tables.blocks[slot];
    return kEngOk;
  }
  for (int i = 0; i < g_tables.slots && slot < 0; ++i) {
    if (g_tables.blocks[i] == nullptr) slot = i;
  }
  if (slot < 0) {
    if (g_tables.grow_by == 0) return kEngThreadTableFull;
    int bigger = g_tables.slots + g_tables.grow_by;
    auto* blocks = static_cast<EngineInstance**>(
        std::realloc(g_tables.blocks, bigger * sizeof(EngineInstance*)));
    if (blocks != nullptr) g_tables.blocks = blocks;
    auto* ids = static_cast<uint32_t*>(std::realloc(g_tables.ids, bigger * sizeof(uint32_t)));
    if (ids != nullptr) g_tables.ids = ids;
    // Both tables must have grown, or neither may be used at the new size.
    if (blocks == nullptr || ids == nullptr) return kEngThreadTableFull;
    for (int i = g_tables.slots; i < bigger; ++i) {
      g_tables.blocks[i] = nullptr;
      g_tables.ids[i] = 0;
    }
    slot = g_tables.slots;
    g_tables.slots = bigger;
  }
  EngineInstance* fresh = new (std::nothrow) EngineInstance();
  if (fresh == nullptr) return kEngNoThreadMemory;
  g_tables.blocks[slot] = fresh;
  g_tables.ids[slot] = id;
  g_tables.in_use += 1;
  g_tables.cache_slot = slot;
  g_tables.cache_id = id;
  *block = fresh;
  return kEngOk;
}

void FreeThreadBlock() {
  if (!g_tables.started) return;
  LayerLock hold;
  g_tables.cache_slot = -1;
  int slot = FindSlot(platform::CurrentThreadId());
  g_tables.cache_slot = -1;
  if (slot < 0) return;
  delete g_tables.blocks[slot];
  g_tables.blocks[slot] = nullptr;
  g_tables.ids[slot] = 0;
  g_tables.in_use -= 1;
}

int ThreadBlocksInUse() { return g_tables.in_use; }

uint32_t ThreadUserValue() {
  EngineInstance* block = ThreadBlock();
  return block ? block->user_value : 0;
}

int SetThreadUserValue(uint32_t value) {
  EngineInstance* block = ThreadBlock();
  if (block == nullptr) return kEngNoUserValue;
  block->user_value = value;
  return kEngOk;
}

EngineMutex* EngineGateMutex() { return &g_gate_mutex; }

int MutexLock(EngineMutex* mutex, bool wait) {
  if (!mutex->created) {
    std::lock_guard<std::mutex> guard(g_create_guard);
    LayerLock hold;
    if (!mutex->created) {
      mutex->handle = platform::CreateProcessMutex();
      if (mutex->handle == nullptr) {
        KeepOsError(platform::LastSyncError());
        return kEngMutexCreate;
      }
      mutex->created = true;
    }
  }
  switch (platform::WaitProcessMutex(mutex->handle, wait ? platform::kWaitForever : 0)) {
    case platform::kMutexOwned: return kEngOk;
    case platform::kMutexTimeout: return kEngMutexTimeout;
    default:
      KeepOsError(platform::LastSyncError());
      return kEngMutexWait;
  }
}

int MutexUnlock(EngineMutex* mutex) {
  if (!mutex->created || !platform::ReleaseProcessMutex(mutex->handle)) {
    KeepOsError(platform::LastSyncError());
    return kEngMutexRelease;
  }
  return kEngOk;
}

int MutexClose(EngineMutex* mutex) {
  if (!mutex->created) return kEngOk;
  if (!platform::CloseProcessMutex(mutex->handle)) {
    KeepOsError(platform::LastSyncError());
    return kEngMutexClose;
  }
  mutex->handle = nullptr;
  mutex->created = false;
  return kEngOk;
}

void EngineSleep(uint32_t milliseconds) {
  // Nobody may wait on this thread's step locks while it pauses.
  ReleaseIoSteps();
  platform::SleepMilliseconds(milliseconds);
}

}  // namespace isam
