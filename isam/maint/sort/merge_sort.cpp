// The sort's entry points: the context and its memory, adding keys, and
// delivering them.
#include "isam/maint/sort/merge_sort.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

#include "isam/maint/sort/sort_context.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {
namespace {

constexpr int32_t kDefaultBlockLimit = 16000;

void FreeMemory(SortContext* c) {
  for (uint8_t*& b : c->blocks) EngineFreeAndClear(&b);
  EngineFreeAndClear(&c->pointers);
  EngineFreeAndClear(&c->output);
}

void FreeContext(SortContext* c) {
  FreeMemory(c);
  c->~SortContext();
  EngineFree(c);
}

// Output buffer, pointer array and `order` blocks, halving the block size
// while memory runs short: 0 or 112.
int SetUpMemory(SortContext* c) {
  EngineInstance* inst = CurrentInstance();
  int32_t limit = inst != nullptr && inst->sort_buffer_limit > 0 ? inst->sort_buffer_limit : kDefaultBlockLimit;
  int32_t block = 1024000 / (c->order + 5);
  if (block > limit) block = limit;
  if (block > 0xFFFF) block = 0xFFFF;  // the block size is a 16-bit quantity
  while (block >= c->key_length) {
    const int32_t pointer_bytes = limit < 4 * block ? limit : 4 * block;
    c->output = static_cast<uint8_t*>(EngineAlloc(block));
    c->pointers = static_cast<uint8_t**>(EngineAlloc(pointer_bytes));
    bool ok = c->output != nullptr && c->pointers != nullptr;
    for (int i = 0; ok && i < c->order; ++i) ok = (c->blocks[i] = static_cast<uint8_t*>(EngineAlloc(block))) != nullptr;
    // Pointers are as wide as the platform's: the capacity counts them so.
    const int32_t capacity = pointer_bytes / static_cast<int32_t>(sizeof(uint8_t*));
    if (ok && capacity > 0) {
      c->block_size = block;
      c->capacity = capacity;
      c->stats.block_size = block;
      c->stats.pointer_capacity = capacity;
      return 0;
    }
    FreeMemory(c);
    block /= 2;
  }
  return kSortNoMemory;
}

}  // namespace

int SortFail(SortContext* c, int code) {
  if (c != nullptr && c->error == 0) c->error = static_cast<int16_t>(code);
  SetEngineError(kSortErrorBase + code);
  return code;
}

std::string SortWorkFileName(uint32_t seconds, int run) {
  static const char kHex[] = "0123456789ABCDEF";
  char name[16] = "sw000000.";
  for (int i = 0; i < 6; ++i) name[2 + i] = kHex[(seconds >> (4 * i)) & 0xF];
  std::snprintf(name + 9, sizeof name - 9, "%03d", run % 1000);
  return name;
}

SortContext* SortCreate(int key_length, int order) {
  if (key_length <= 0 || key_length > 0xFFFF) {
    SortFail(nullptr, kSortKeyTooLong);
    return nullptr;
  }
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(SortContext)));
  if (block == nullptr) {
    SetEngineError(kSortNoContextMemory);
    return nullptr;
  }
  SortContext* c = new (block) SortContext;
  c->key_length = key_length;
  c->order = order < 3 ? 3 : order > kSortMaxOrder ? kSortMaxOrder : order;
  c->base_time = static_cast<uint32_t>(std::time(nullptr));
  if (int rc = SetUpMemory(c)) {
    FreeContext(c);
    SortFail(nullptr, rc);
    return nullptr;
  }
  SetEngineError(0);
  return c;
}

int SortAddKey(SortContext* c, const void* key) {
  if (c == nullptr) return SortFail(nullptr, kSortNotCreated);
  if (c->error != 0) return SortFail(c, c->error);
  if (c->input_closed) return SortFail(c, kSortInputClosed);
  if (key == nullptr) return SortFail(c, kSortKeyTooLong);
  const bool room_in_block = c->block_used + c->key_length <= c->block_size;
  if (c->in_memory >= c->capacity || (!room_in_block && c->block_in_use + 1 >= c->order)) {
    if (int rc = SortSpill(c)) return rc;
  } else if (!room_in_block) {
    ++c->block_in_use;
    c->block_used = 0;
  }
  uint8_t* at = c->blocks[c->block_in_use] + c->block_used;
  std::memcpy(at, key, static_cast<std::size_t>(c->key_length));
  c->block_used += c->key_length;
  c->pointers[c->in_memory++] = at;
  SetEngineError(0);
  return 0;
}

int SortNextKey(SortContext* c, void* out) {
  if (c == nullptr || out == nullptr) return SortFail(nullptr, kSortNextNotCreated);
  if (c->error != 0) return SortFail(c, c->error);
  if (!c->input_closed) {
    c->input_closed = true;
    if (c->run_count == 0) {
      // Everything fits in memory: no work file is ever touched.
      SortPointers(c->pointers, c->in_memory, c->key_length);
      c->all_in_memory = true;
    } else {
      if (c->in_memory > 0) {
        if (int rc = SortSpill(c)) return rc;
      }
      if (int rc = SortPrepareFinal(c)) return rc;
    }
  }
  if (c->all_in_memory) {
    if (c->delivered < c->in_memory) {
      std::memcpy(out, c->pointers[c->delivered++], static_cast<std::size_t>(c->key_length));
      SetEngineError(0);
      return 0;
    }
    FreeContext(c);
    SetEngineError(0);
    return 1;
  }
  bool done = false;
  if (int rc = SortNextFromRuns(c, static_cast<uint8_t*>(out), &done)) return rc;
  if (!done) {
    SetEngineError(0);
    return 0;
  }
  if (int d = SortDeleteWorkFiles(c)) SortFail(c, d);
  const int rc = c->error;
  FreeContext(c);
  if (rc != 0) return SortFail(nullptr, rc);
  SetEngineError(0);
  return 1;
}

int SortAbort(SortContext* c) {
  if (c == nullptr) return 0;
  const int failed = SortDeleteWorkFiles(c);
  int rc = c->error;
  if (rc == 0 && failed != 0) rc = kSortDeleteAtAbort;
  FreeContext(c);
  return rc;
}

SortStats SortStatsOf(const SortContext* c) { return c != nullptr ? c->stats : SortStats{}; }

}  // namespace isam::maint
