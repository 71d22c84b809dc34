// Stand-ins for the maintenance utilities' hooks, answering as the real
// ones do for files without conditions, batches or saved contexts.
#include "isam/runtime/maint_stubs.h"

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/maint_hooks.h"

namespace isam {

int BatchFreeAll() {
  if (int (*fn)() = CurrentMaintHooks().batch_free_all; fn != nullptr) return fn();
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr) {
    inst->batch_table = nullptr;
    inst->batch_entry = nullptr;
    inst->batch_state = nullptr;
    inst->isam_error = 0;
  }
  return 0;
}

int BatchRequest(EngineCall* call) {
  return SetIsamError(kEngBatchNotSetUp, call ? call->file : 0);
}

int CondIndexEvaluate(const CondIndexSet* set, uint16_t key_number, const void* record,
                      const void* schema) {
  (void)key_number;
  (void)schema;
  if (set == nullptr || record == nullptr) {
    SetEngineError(kEngCondEvalFailed);
    return -kEngCondEvalFailed;
  }
  // A set exists only once conditions are built; none has a condition yet.
  SetEngineError(kEngCondEvalFailed);
  return -kEngCondEvalFailed;
}

int CondIndexFree(CondIndexSet* set) {
  (void)set;
  return 0;
}

int CondIndexHasCondition(int16_t data_file, uint16_t key_number) {
  (void)data_file;
  (void)key_number;
  return 0;
}

CondIndexSet* CondIndexLoad(int16_t data_file) {
  (void)data_file;
  SetEngineError(kEngOk);
  return nullptr;
}

int ContextFreeAll() {
  if (int (*fn)() = CurrentMaintHooks().context_free_all; fn != nullptr) return fn();
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr) {
    inst->context_table = nullptr;
    inst->position_context = nullptr;
  }
  return 0;
}

int CreateFilesFromParmFile(EngineCall* call) {
  (void)call;
  return SetEngineError(kEngNotInThisBuild);
}

int OpenFilesFromParmFile(EngineCall* call) {
  (void)call;
  return SetEngineError(kEngNotInThisBuild);
}

int ExprFreeTree(ExprNode* tree) {
  (void)tree;
  return 0;
}

void FreeExprStack(void** slot) {
  if (slot != nullptr && *slot != nullptr) EngineFreeAndClear(slot);
}

}  // namespace isam
