// Compiling, asking and freeing a data file's condition set.
#include "isam/maint/conditions/cond_index_set.h"

#include <new>

#include "isam/index/file_control_block.h"
#include "isam/maint/conditions/cond_index_image.h"
#include "isam/maint/expr/expr_compile.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {

int CondIndexFree(CondIndexSet* set) {
  if (set == nullptr) return 0;
  const int count = set->condition_count + set->further_count;
  for (int i = 0; set->entries != nullptr && i < count; ++i) {
    if (set->entries[i] == nullptr) continue;
    ExprFreeTree(set->entries[i]->tree);
    EngineFree(set->entries[i]);
  }
  EngineFree(set->entries);
  if (EngineInstance* inst = CurrentInstance()) FreeExprStack(&inst->expr_eval_stack);
  EngineFree(set);
  return 0;
}

CondIndexSet* CondIndexCompile(const uint8_t* body, std::size_t length, const RecordSchemaView* schema,
                               const ExprFieldNames& names) {
  SetEngineError(0);
  if (body == nullptr) return nullptr;
  if (schema == nullptr || !HasSchemaHeader(schema) || names.data == nullptr || names.length == 0) {
    SetEngineError(kCondNoDefinition);
    return nullptr;
  }
  CondImage image;
  if (!ParseCondImage(body, length, &image)) {
    SetEngineError(kCondDamaged);
    return nullptr;
  }
  if (image.entries.empty()) return nullptr;
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(CondIndexSet)));
  CondIndexSet* set = block ? new (block) CondIndexSet : nullptr;
  if (set != nullptr) {
    set->entries = static_cast<CondIndexEntry**>(
        EngineAlloc(static_cast<int32_t>(sizeof(CondIndexEntry*) * image.entries.size())));
  }
  if (set == nullptr || set->entries == nullptr) {
    if (set != nullptr) EngineFree(set);
    SetEngineError(kCondNoMemory);
    return nullptr;
  }
  // Counts grow with the entries made, so a failure frees exactly those.
  for (std::size_t i = 0; i < image.entries.size(); ++i) {
    const CondImageEntry& e = image.entries[i];
    void* eb = EngineAlloc(static_cast<int32_t>(sizeof(CondIndexEntry)));
    if (eb == nullptr) {
      CondIndexFree(set);
      SetEngineError(kCondNoMemory);
      return nullptr;
    }
    CondIndexEntry* entry = new (eb) CondIndexEntry;
    entry->key = e.key;
    entry->text_length = e.text_length;
    entry->word = e.word;
    set->entries[i] = entry;
    if (i < image.conditions) {
      ++set->condition_count;
    } else {
      ++set->further_count;
    }
    int code = 0;
    entry->tree = ExprCompile(schema, names, reinterpret_cast<const char*>(body + e.text_at), e.text_length, &code);
    if (entry->tree == nullptr) {
      CondIndexFree(set);
      SetEngineError(kCondBadText);
      return nullptr;
    }
  }
  return set;
}

namespace {

int Answer(const ExprNode* tree, const ExprRecord& record) {
  if (tree == nullptr || record.schema == nullptr || !HasSchemaHeader(record.schema)) {
    SetEngineError(kCondEvalFailed);
    return -kCondEvalFailed;
  }
  int code = 0;
  const int truth = ExprEvaluateRoot(tree, record, &code);
  if (code != 0) {
    SetEngineError(kCondEvalFailed);
    return -kCondEvalFailed;
  }
  return truth != 0 ? 1 : 0;
}

bool StackReady() {
  if (ExprEnsureStack()) return true;
  SetEngineError(kCondNoMemory);
  return false;
}

}  // namespace

int CondIndexEvaluate(const CondIndexSet* set, uint16_t key, const ExprRecord& record) {
  if (!StackReady()) return -kCondNoMemory;
  const ExprNode* tree = nullptr;
  for (int i = 0; set != nullptr && set->entries != nullptr && i < set->condition_count && tree == nullptr; ++i) {
    if (set->entries[i]->key == key) tree = set->entries[i]->tree;
  }
  return Answer(tree, record);
}

int CondIndexEvaluateTree(const ExprNode* tree, const ExprRecord& record) {
  if (!StackReady()) return -kCondNoMemory;
  return Answer(tree, record);
}

int CondIndexHasCondition(int16_t data_file, uint16_t key) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || data_file < 0 || data_file >= inst->files_allocated) return 0;
  const FileControlBlock* fcb = inst->files[data_file];
  if (fcb == nullptr || fcb->cond_index == nullptr) return 0;
  const CondIndexSet* set = fcb->cond_index;
  for (int i = 0; set->entries != nullptr && i < set->condition_count; ++i) {
    if (set->entries[i]->key == key) return 16;
  }
  return 0;
}

}  // namespace isam::maint
