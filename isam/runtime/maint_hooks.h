// Where the engine asks its maintenance utilities (isam/maint/) about
// index conditions: the data-file open loads a file's conditions, the
// file-set setup asks which keys carry one, the key builder evaluates
// them, the close and the stop free them. The utilities install their
// calls with SetMaintHooks; until then every hook answers as for files
// without conditions (maint_stubs.h), so the engine links and runs without
// them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

struct CondIndexSet;
struct ExprNode;
struct RecordSchemaView;

// The number a key's own tree (key-type bit 0x20) is asked under.
constexpr uint16_t kOwnConditionNumber = 0xFF97;

struct MaintHooks {
  // Data-file open: the file's compiled conditions, or null with eng_err 0
  // (none), 401 / 408 / 438 (no resource: none either) or another code
  // (the open fails, except in rebuild mode).
  CondIndexSet* (*cond_load)(int16_t data_file);
  // Close: frees a data file's set (null does nothing).
  int (*cond_free)(CondIndexSet* set);
  // Close: frees an index file's own tree (null does nothing).
  int (*tree_free)(ExprNode* tree);
  // File-set setup: 16 when data file `data_file` has a condition for its
  // key number `key` (the index's number minus the data file's), else 0.
  int (*cond_has)(int16_t data_file, uint16_t key);
  // Key build: 1 the record gets its key, 0 it does not, negative an
  // error (eng_err set). With `own` the index's own tree is asked (key
  // kOwnConditionNumber), else the set's condition for `key`.
  int (*cond_evaluate)(const CondIndexSet* set, const ExprNode* own, uint16_t key, const uint8_t* record,
                       std::size_t length, const RecordSchemaView* schema);
  // Engine stop: frees the evaluation stack and clears the pointer.
  void (*free_stack)(void** slot);
  // Engine stop and ISAM shutdown: end every batch, free the batch table /
  // free every saved context (BatchFreeAll, ContextFreeAll). Null: the
  // fallbacks, which only clear the instance's pointers.
  int (*batch_free_all)();
  int (*context_free_all)();
};

// Installs the hooks (a copy is kept); null members keep their fallback.
void SetMaintHooks(const MaintHooks& hooks);
const MaintHooks& CurrentMaintHooks();

}  // namespace isam
