// Installing the maintenance utilities into the engine.
#include "isam/maint/maint_layer.h"

#include "isam/maint/conditions/cond_index_set.h"
#include "isam/maint/conditions/cond_index_store.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/maint_hooks.h"

namespace isam::maint {
namespace {

// Number 293: file = the index, block = the text (null or empty removes).
int SetTextCall(EngineCall* call) {
  return CondIndexSetText(call->file, static_cast<const char*>(call->block));
}

// Number 1407: file = the data file, block = the body, value2 = its length.
int StoreCall(EngineCall* call) {
  const int32_t length = call->value2 != nullptr ? *call->value2 : 0;
  return CondIndexStore(call->file, call->block, length);
}

int Evaluate(const CondIndexSet* set, const ExprNode* own, uint16_t key, const uint8_t* record, std::size_t length,
             const RecordSchemaView* schema) {
  const ExprRecord r{record, length, schema};
  return key == kOwnConditionNumber ? CondIndexEvaluateTree(own, r) : CondIndexEvaluate(set, key, r);
}

}  // namespace

int InstallMaintLayer() {
  MaintHooks hooks{};
  hooks.cond_load = CondIndexLoad;
  hooks.cond_free = CondIndexFree;
  hooks.tree_free = ExprFreeTree;
  hooks.cond_has = CondIndexHasCondition;
  hooks.cond_evaluate = Evaluate;
  hooks.free_stack = FreeExprStack;
  SetMaintHooks(hooks);
  InstallEngineFunction(293, SetTextCall);
  InstallEngineFunction(1407, StoreCall);
  return 0;
}

}  // namespace isam::maint
