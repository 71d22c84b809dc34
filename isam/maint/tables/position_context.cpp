// Saved position contexts: a hash table of numbered copies of the ISAM
// position, kept in the engine instance.
#include "isam/maint/tables/position_context.h"

#include <new>
#include <vector>

#include "isam/index/key_search.h"
#include "isam/maint/tables/table_hash.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {

struct PositionContext {
  PositionContext* next = nullptr;
  int16_t number = 0;
  int16_t key_in_progress = -1;
  std::vector<uint32_t> current, saved;                   // per file number
  std::vector<std::vector<uint8_t>> current_key, saved_key;  // per key number
};

struct ContextTable {
  int32_t bucket_count = 1;
  PositionContext** heads = nullptr;
};

namespace {

constexpr int kTableExists = 184;
constexpr int kNoMemory = 185;

ContextTable* TableOf(EngineInstance* inst) { return static_cast<ContextTable*>(inst->context_table); }

void Save(PositionContext* c) {
  const IsamTables* t = CurrentIsamTables();
  c->current.clear();
  c->saved.clear();
  c->current_key.clear();
  c->saved_key.clear();
  c->key_in_progress = -1;
  if (t == nullptr) return;
  c->key_in_progress = t->key_in_progress;
  for (const IsamFileRow& f : t->files) {
    c->current.push_back(f.current);
    c->saved.push_back(f.saved);
  }
  for (const IsamKeyRow& k : t->keys) {
    c->current_key.push_back(k.current_key);
    c->saved_key.push_back(k.saved_key);
  }
}

// A key image is only given back to an index whose key length it still
// has: the number may name another file by now.
bool Fits(const IsamKeyRow& row, const std::vector<uint8_t>& image) {
  return !image.empty() && row.def.data_file >= 0 && image.size() == row.def.key_length;
}

void Restore(const PositionContext* c) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr) return;
  t->key_in_progress = c->key_in_progress;
  for (std::size_t i = 0; i < t->files.size(); ++i) {
    t->files[i].current = i < c->current.size() ? c->current[i] : 0;
    t->files[i].saved = i < c->saved.size() ? c->saved[i] : 0;
  }
  for (std::size_t i = 0; i < t->keys.size(); ++i) {
    IsamKeyRow& row = t->keys[i];
    const std::vector<uint8_t>* cur = i < c->current_key.size() ? &c->current_key[i] : nullptr;
    const std::vector<uint8_t>* sav = i < c->saved_key.size() ? &c->saved_key[i] : nullptr;
    row.saved_key = sav != nullptr && Fits(row, *sav) ? *sav : std::vector<uint8_t>{};
    if (cur != nullptr && Fits(row, *cur)) {
      row.current_key = *cur;
      SetSearchKey(static_cast<int>(i), row.current_key.data());
    } else {
      row.current_key.clear();
    }
  }
}

PositionContext* NewContext(int16_t number) {
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(PositionContext)));
  if (block == nullptr) return nullptr;
  auto* c = new (block) PositionContext;
  c->number = number;
  return c;
}

void FreeContext(PositionContext* c) {
  c->~PositionContext();
  EngineFree(c);
}

int MakeTable(EngineInstance* inst) {
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(ContextTable)));
  if (block == nullptr) return SetIsamError(kNoMemory, 0);
  auto* table = new (block) ContextTable;
  table->bucket_count = BucketCount(inst->hash_size);
  table->heads = static_cast<PositionContext**>(
      EngineAlloc(static_cast<int32_t>(sizeof(PositionContext*) * static_cast<std::size_t>(table->bucket_count))));
  if (table->heads == nullptr) {
    EngineFree(table);
    return SetIsamError(kNoMemory, 0);
  }
  inst->context_table = table;
  inst->position_context = nullptr;
  return SetIsamError(0, 0);
}

}  // namespace

int ContextTableInit() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kNoMemory;
  SetIsamError(0, 0);
  if (inst->context_table != nullptr) return SetIsamError(kTableExists, 0);
  return MakeTable(inst);
}

int ContextSelect(int16_t number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kNoMemory;
  if (inst->context_table == nullptr) {
    if (const int rc = MakeTable(inst); rc != 0) return rc;
  } else {
    SetIsamError(0, 0);
  }
  ContextTable* table = TableOf(inst);
  auto* current = static_cast<PositionContext*>(inst->position_context);
  if (current != nullptr && current->number == number) return 0;
  PositionContext** link = &table->heads[BucketOf(number, table->bucket_count)];
  while (*link != nullptr && (*link)->number != number) link = &(*link)->next;
  PositionContext* target = *link;
  if (target == nullptr) {
    target = NewContext(number);
    if (target == nullptr) return SetIsamError(kNoMemory, 0);
    *link = target;
  }
  if (current != nullptr) Save(current);
  inst->position_context = target;
  Restore(target);
  return 0;
}

int ContextFreeAll() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return 0;
  if (ContextTable* table = TableOf(inst); table != nullptr) {
    for (int32_t b = 0; b < table->bucket_count; ++b) {
      for (PositionContext* c = table->heads[b]; c != nullptr;) {
        PositionContext* next = c->next;
        FreeContext(c);
        c = next;
      }
    }
    EngineFree(table->heads);
    table->~ContextTable();
    EngineFree(table);
  }
  inst->context_table = nullptr;
  inst->position_context = nullptr;
  if (IsamTables* t = CurrentIsamTables(); t != nullptr) t->key_in_progress = -1;
  SetIsamError(0, 0);
  return 0;
}

int CurrentContextNumber(bool* has_one) {
  EngineInstance* inst = CurrentInstance();
  const auto* c = inst != nullptr ? static_cast<const PositionContext*>(inst->position_context) : nullptr;
  if (has_one != nullptr) *has_one = c != nullptr;
  return c != nullptr ? c->number : -1;
}

}  // namespace isam::maint
