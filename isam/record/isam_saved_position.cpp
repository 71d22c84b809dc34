#include "isam/record/isam_saved_position.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "isam/index/file_control_block.h"
#include "isam/index/key_search.h"
#include "isam/record/isam_record_internal.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {

using isam_record::Fail;

namespace {

constexpr int kHighestNumber = 0x7FFF;
constexpr uint32_t kHeaderSize = (sizeof(SavedIsamPosition) + 7u) & ~7u;

// What the table keeps per data file number: its active saved position
// (-1 none) and which file the number's positions were saved for (a hash of
// its name), so that a number reused by another file never takes them.
struct FileSlot {
  int16_t active = -1;
  uint32_t identity = 0;
};

// The instance's table: the buckets, the last number assigned, and the
// slots of the data file numbers, grown on demand.
struct SavedPositionTable {
  SavedIsamPosition* buckets[kSavedPositionBuckets] = {};
  int16_t last_assigned = 0;
  FileSlot* slots = nullptr;
  int32_t slot_count = 0;
};

uint32_t IdentityOf(const FileControlBlock* fcb) {
  uint32_t h = 2166136261u;
  for (const char* c = fcb->name; *c != '\0'; ++c) h = (h ^ static_cast<uint8_t>(*c)) * 16777619u;
  return h;
}

SavedPositionTable* TableOf(EngineInstance* inst, bool create) {
  if (inst == nullptr) return nullptr;
  if (inst->saved_positions == nullptr && create) {
    void* block = EngineAlloc(static_cast<int32_t>(sizeof(SavedPositionTable)));
    if (block != nullptr) inst->saved_positions = new (block) SavedPositionTable;
  }
  return static_cast<SavedPositionTable*>(inst->saved_positions);
}

SavedPositionTable* Table(bool create = false) { return TableOf(CurrentInstance(), create); }

SavedIsamPosition** BucketOf(SavedPositionTable* t, int number) {
  return &t->buckets[static_cast<unsigned>(number) % kSavedPositionBuckets];
}

SavedIsamPosition* Find(SavedPositionTable* t, int number) {
  if (t == nullptr) return nullptr;
  for (SavedIsamPosition* p = *BucketOf(t, number); p != nullptr; p = p->next)
    if (p->number == number) return p;
  return nullptr;
}

// The slot of a data file, or null when it cannot be had (no memory).
FileSlot* SlotOf(SavedPositionTable* t, int data_file) {
  if (data_file < 0) return nullptr;
  if (data_file >= t->slot_count) {
    const int32_t count = std::max<int32_t>(data_file + 1, t->slot_count * 2);
    void* block = EngineAlloc(count * static_cast<int32_t>(sizeof(FileSlot)));
    if (block == nullptr) return nullptr;
    auto* grown = static_cast<FileSlot*>(block);
    for (int32_t i = 0; i < count; ++i) new (grown + i) FileSlot(i < t->slot_count ? t->slots[i] : FileSlot());
    EngineFree(t->slots);
    t->slots = grown;
    t->slot_count = count;
  }
  return &t->slots[data_file];
}

int ActiveOf(SavedPositionTable* t, int data_file) {
  return (data_file >= 0 && data_file < t->slot_count) ? t->slots[data_file].active : -1;
}

void ClearActive(SavedPositionTable* t, const SavedIsamPosition* p) {
  if (ActiveOf(t, p->data_file) == p->number) t->slots[p->data_file].active = -1;
}

// One key entry's fields.
struct KeyEntry {
  uint8_t* at;
  uint16_t key() const { return GetLe16(at); }
  uint16_t length() const { return GetLe16(at + 2); }
  bool valid() const { return at[4] != 0; }
  uint8_t* image() const { return at + 5; }
};

template <typename Visit>
void ForEachEntry(SavedIsamPosition* p, Visit visit) {
  uint8_t* at = p->entries;
  for (int i = 0; i < p->entry_count; ++i) {
    KeyEntry e{at};
    visit(e);
    at += SavedKeyEntrySize(e.length());
  }
}

// Copies the data file's current state into p (its listed keys only). An
// index whose key length changed since cannot be copied: its entry is
// marked invalid.
void CaptureInto(SavedIsamPosition* p, const IsamFileRow& row) {
  IsamTables* tables = CurrentIsamTables();
  p->record = row.current;
  ForEachEntry(p, [&](KeyEntry e) {
    const auto k = static_cast<std::size_t>(e.key());
    const bool known = k < tables->keys.size();
    const std::vector<uint8_t>* current = known ? &tables->keys[k].current_key : nullptr;
    const bool fits = current != nullptr && current->size() == e.length();
    e.at[4] = fits ? 1 : 0;
    if (fits) std::memcpy(e.image(), current->data(), e.length());
    else std::memset(e.image(), 0, e.length());
  });
}

// Whether every listed index still belongs to the data file with the key
// length it had when saved.
bool StillFits(SavedIsamPosition* p, const IsamFileRow& row) {
  IsamTables* tables = CurrentIsamTables();
  bool fits = true;
  ForEachEntry(p, [&](KeyEntry e) {
    const int16_t k = static_cast<int16_t>(e.key());
    const bool listed = std::find(row.keys.begin(), row.keys.end(), k) != row.keys.end();
    fits = fits && listed && static_cast<std::size_t>(k) < tables->keys.size() &&
           tables->keys[static_cast<std::size_t>(k)].def.key_length == e.length();
  });
  return fits;
}

void Apply(SavedIsamPosition* p, IsamFileRow* row) {
  IsamTables* tables = CurrentIsamTables();
  row->current = p->record;
  ForEachEntry(p, [&](KeyEntry e) {
    IsamKeyRow& kr = tables->Key(e.key());
    if (!e.valid()) {
      kr.current_key.clear();
      return;
    }
    kr.current_key.assign(e.image(), e.image() + e.length());
    SetSearchKey(e.key(), e.image());
  });
}

// The data file row a saved position belongs to, when its number is still
// open as the same data file of an ISAM file set.
IsamFileRow* RowOfPosition(SavedPositionTable* t, const SavedIsamPosition* p) {
  IsamTables* tables = CurrentIsamTables();
  const FileControlBlock* fcb = CheckFileNumber(p->data_file);
  if (tables == nullptr || fcb == nullptr || p->data_file >= static_cast<int>(tables->files.size()) ||
      p->data_file >= t->slot_count || t->slots[p->data_file].identity != IdentityOf(fcb))
    return nullptr;
  IsamFileRow& row = tables->files[static_cast<std::size_t>(p->data_file)];
  return row.is_data ? &row : nullptr;
}

void Unlink(SavedPositionTable* t, SavedIsamPosition* p) {
  for (SavedIsamPosition** link = BucketOf(t, p->number); *link != nullptr; link = &(*link)->next) {
    if (*link == p) {
      *link = p->next;
      break;
    }
  }
  ClearActive(t, p);
  EngineFree(p);
}

// The next free number after the last one assigned, wrapping to 0; -1
// when every number is taken.
int NextFreeNumber(SavedPositionTable* t) {
  int n = t->last_assigned;
  for (int tries = 0; tries <= kHighestNumber; ++tries) {
    n = n >= kHighestNumber ? 0 : n + 1;
    if (Find(t, n) == nullptr) return n;
  }
  return -1;
}

void FreeAll(EngineInstance* inst) {
  SavedPositionTable* t = TableOf(inst, false);
  if (t == nullptr) return;
  for (SavedIsamPosition*& head : t->buckets) {
    while (head != nullptr) {
      SavedIsamPosition* next = head->next;
      EngineFree(head);
      head = next;
    }
  }
  EngineFree(t->slots);
  t->~SavedPositionTable();
  EngineFree(t);
  inst->saved_positions = nullptr;
}

int LayerStart(EngineInstance*) { return 0; }

void LayerStop(EngineInstance* inst) {
  FreeAll(inst);
  inst->isam_set_key = -1;
  inst->isam_set_length = 0;
}

const EngineLayerHooks kSavedPositionHooks = {"isam saved positions", LayerStart, LayerStop};

}  // namespace

int SaveIsamPosition(int data_file, int key, int number) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = isam_record::DataRow(data_file, &fcb);
  if (row == nullptr) return -CurrentInstance()->isam_error;
  if (number < kNextFreeSavedPosition || number > kHighestNumber) return -Fail(116, data_file);
  std::vector<int16_t> keys;
  if (key == kSaveAllKeys) {
    keys = row->keys;
  } else if (std::find(row->keys.begin(), row->keys.end(), key) != row->keys.end()) {
    keys.push_back(static_cast<int16_t>(key));
  } else {
    return -Fail(48, key);
  }
  SavedPositionTable* t = Table(true);
  if (t == nullptr) return -Fail(83, data_file);
  FileSlot* slot = SlotOf(t, data_file);
  if (slot == nullptr) return -Fail(83, data_file);
  // Positions saved while this number was another file are of no use now.
  if (slot->identity != IdentityOf(fcb)) {
    FreeIsamPositionsOfFile(data_file);
    slot->identity = IdentityOf(fcb);
  }
  if (number == kNextFreeSavedPosition) {
    number = NextFreeNumber(t);
    if (number < 0) return -Fail(592, data_file);
  } else if (Find(t, number) != nullptr) {
    return -Fail(592, number);
  }
  IsamTables* tables = CurrentIsamTables();
  uint32_t size = kHeaderSize;
  for (int16_t k : keys) size += SavedKeyEntrySize(tables->Key(k).def.key_length);
  void* block = EngineAlloc(static_cast<int32_t>(size));
  if (block == nullptr) return -Fail(83, data_file);
  auto* p = new (block) SavedIsamPosition;
  p->entries = static_cast<uint8_t*>(block) + kHeaderSize;
  p->number = static_cast<int16_t>(number);
  p->data_file = static_cast<int16_t>(data_file);
  p->entry_count = static_cast<int16_t>(keys.size());
  uint8_t* at = p->entries;
  for (int16_t k : keys) {
    const uint16_t length = tables->Key(k).def.key_length;
    PutLe16(at, static_cast<uint16_t>(k));
    PutLe16(at + 2, length);
    at += SavedKeyEntrySize(length);
  }
  CaptureInto(p, *row);
  SavedIsamPosition** bucket = BucketOf(t, number);
  p->next = *bucket;
  *bucket = p;
  t->last_assigned = static_cast<int16_t>(number);
  slot->active = static_cast<int16_t>(number);
  Fail(0, data_file);
  return number;
}

int RestoreIsamPosition(int number) {
  SavedPositionTable* t = Table();
  SavedIsamPosition* p = Find(t, number);
  if (p == nullptr) return Fail(590, number);
  IsamFileRow* row = RowOfPosition(t, p);
  if (row == nullptr) return Fail(591, number);
  // The place left is kept in the file's active position first.
  SavedIsamPosition* previous = nullptr;
  if (ActiveOf(t, p->data_file) != number) previous = Find(t, ActiveOf(t, p->data_file));
  if (previous != nullptr) CaptureInto(previous, *row);
  if (!StillFits(p, *row)) {
    if (previous != nullptr && StillFits(previous, *row)) Apply(previous, row);
    return Fail(591, number);
  }
  Apply(p, row);
  t->slots[p->data_file].active = static_cast<int16_t>(number);
  return Fail(0, p->data_file);
}

int FreeIsamPosition(int number) {
  SavedPositionTable* t = Table();
  SavedIsamPosition* p = Find(t, number);
  if (p == nullptr) return Fail(590, number);
  Unlink(t, p);
  return Fail(0, number);
}

int FreeIsamPositionsOfFile(int data_file) {
  SavedPositionTable* t = Table();
  if (t != nullptr) {
    for (SavedIsamPosition*& head : t->buckets) {
      for (SavedIsamPosition** link = &head; *link != nullptr;) {
        SavedIsamPosition* p = *link;
        if (p->data_file != data_file) {
          link = &p->next;
          continue;
        }
        *link = p->next;
        ClearActive(t, p);
        EngineFree(p);
      }
    }
  }
  return Fail(0, data_file);
}

int SavedIsamPositionCount() {
  SavedPositionTable* t = Table();
  int n = 0;
  if (t != nullptr)
    for (SavedIsamPosition* head : t->buckets)
      for (SavedIsamPosition* p = head; p != nullptr; p = p->next) ++n;
  return n;
}

void InstallSavedPositionLayer() { RegisterEngineLayer(&kSavedPositionHooks); }

}  // namespace isam
