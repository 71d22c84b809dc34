// The numbered batches of an engine instance and the end of one batch.
#include <new>

#include "isam/maint/tables/batch.h"
#include "isam/maint/tables/batch_state.h"
#include "isam/maint/tables/table_hash.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {
namespace {

constexpr int kTableExists = 184;
constexpr int kNoMemory = 185;

struct BatchSlot {
  BatchSlot* next = nullptr;
  BatchState state;
  int16_t number = 0;
};

struct BatchTable {
  int32_t bucket_count = 1;
  BatchSlot** heads = nullptr;
};

template <typename T>
T* Make() {
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(T)));
  return block != nullptr ? new (block) T : nullptr;
}

template <typename T>
void Destroy(T* p) {
  p->~T();
  EngineFree(p);
}

BatchTable* TableOf(EngineInstance* inst) { return static_cast<BatchTable*>(inst->batch_table); }

BatchSlot* NewSlot(BatchTable* t, int16_t number) {
  BatchSlot* slot = Make<BatchSlot>();
  if (slot == nullptr) return nullptr;
  slot->number = number;
  BatchSlot** link = &t->heads[BucketOf(number, t->bucket_count)];
  while (*link != nullptr) link = &(*link)->next;
  *link = slot;
  return slot;
}

void MakeCurrent(EngineInstance* inst, BatchSlot* slot) {
  inst->batch_entry = slot;
  inst->batch_state = &slot->state;
}

}  // namespace

BatchState* CurrentBatch(bool create) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return nullptr;
  if (inst->batch_state == nullptr && create) inst->batch_state = Make<BatchState>();
  return static_cast<BatchState*>(inst->batch_state);
}

void EndBatch(BatchState* b) {
  for (const BatchEntry& e : b->entries) {
    // 41 (not locked) and a closed file are no reason to keep the others.
    if (e.locked) LockRecord(b->data_file, kLockUnlock, e.position);
  }
  const int16_t file = b->file;
  *b = BatchState{};
  b->file = file;
}

int BatchTableInit() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kNoMemory;
  SetIsamError(0, 0);
  if (inst->batch_table != nullptr) return SetIsamError(kTableExists, 0);
  BatchTable* t = Make<BatchTable>();
  if (t == nullptr) return SetIsamError(kNoMemory, 0);
  t->bucket_count = BucketCount(inst->hash_size);
  t->heads = static_cast<BatchSlot**>(
      EngineAlloc(static_cast<int32_t>(sizeof(BatchSlot*) * static_cast<std::size_t>(t->bucket_count))));
  BatchSlot* zero = t->heads != nullptr ? NewSlot(t, 0) : nullptr;
  if (zero == nullptr) {
    if (t->heads != nullptr) EngineFree(t->heads);
    Destroy(t);
    return SetIsamError(kNoMemory, 0);
  }
  // A batch started before the table becomes batch 0.
  if (auto* loose = static_cast<BatchState*>(inst->batch_state); loose != nullptr) {
    zero->state = std::move(*loose);
    Destroy(loose);
  }
  inst->batch_table = t;
  MakeCurrent(inst, zero);
  return 0;
}

int BatchSelect(int16_t number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kNoMemory;
  if (inst->batch_table == nullptr) {
    if (const int rc = BatchTableInit(); rc != 0) return rc;
  }
  SetIsamError(0, 0);
  BatchTable* t = TableOf(inst);
  auto* current = static_cast<BatchSlot*>(inst->batch_entry);
  if (current != nullptr && current->number == number) return 0;
  BatchSlot* slot = t->heads[BucketOf(number, t->bucket_count)];
  while (slot != nullptr && slot->number != number) slot = slot->next;
  if (slot == nullptr) slot = NewSlot(t, number);
  if (slot == nullptr) return SetIsamError(kNoMemory, 0);
  MakeCurrent(inst, slot);
  return 0;
}

int BatchFreeAll() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return 0;
  if (BatchTable* t = TableOf(inst); t != nullptr) {
    for (int32_t i = 0; i < t->bucket_count; ++i) {
      for (BatchSlot* s = t->heads[i]; s != nullptr;) {
        BatchSlot* next = s->next;
        EndBatch(&s->state);
        Destroy(s);
        s = next;
      }
    }
    EngineFree(t->heads);
    Destroy(t);
  } else if (auto* loose = static_cast<BatchState*>(inst->batch_state); loose != nullptr) {
    EndBatch(loose);
    Destroy(loose);
  }
  inst->batch_table = nullptr;
  inst->batch_entry = nullptr;
  inst->batch_state = nullptr;
  SetIsamError(0, 0);
  return 0;
}

}  // namespace isam::maint
