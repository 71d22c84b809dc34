// The maintenance hooks and their fallbacks (the stubs of maint_stubs.h).
#include "isam/runtime/maint_hooks.h"

#include "isam/runtime/engine_instance.h"
#include "isam/runtime/maint_stubs.h"

namespace isam {
namespace {

int NoEvaluation(const CondIndexSet* set, const ExprNode* own, uint16_t key, const uint8_t* record, std::size_t length,
                 const RecordSchemaView* schema) {
  (void)own;
  (void)length;
  (void)schema;
  return CondIndexEvaluate(set, key, record, nullptr);
}

MaintHooks Fallbacks() {
  MaintHooks h;
  h.cond_load = CondIndexLoad;
  h.cond_free = CondIndexFree;
  h.tree_free = ExprFreeTree;
  h.cond_has = CondIndexHasCondition;
  h.cond_evaluate = NoEvaluation;
  h.free_stack = FreeExprStack;
  return h;
}

MaintHooks& Hooks() {
  static MaintHooks hooks = Fallbacks();
  return hooks;
}

}  // namespace

void SetMaintHooks(const MaintHooks& hooks) {
  const MaintHooks fallback = Fallbacks();
  MaintHooks& h = Hooks();
  h.cond_load = hooks.cond_load ? hooks.cond_load : fallback.cond_load;
  h.cond_free = hooks.cond_free ? hooks.cond_free : fallback.cond_free;
  h.tree_free = hooks.tree_free ? hooks.tree_free : fallback.tree_free;
  h.cond_has = hooks.cond_has ? hooks.cond_has : fallback.cond_has;
  h.cond_evaluate = hooks.cond_evaluate ? hooks.cond_evaluate : fallback.cond_evaluate;
  h.free_stack = hooks.free_stack ? hooks.free_stack : fallback.free_stack;
  h.batch_free_all = hooks.batch_free_all;
  h.context_free_all = hooks.context_free_all;
}

const MaintHooks& CurrentMaintHooks() { return Hooks(); }

}  // namespace isam
