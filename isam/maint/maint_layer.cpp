// Installing the maintenance utilities into the engine.
#include "isam/maint/maint_layer.h"

#include "isam/maint/conditions/cond_index_set.h"
#include "isam/fileset/file_set.h"
#include "isam/maint/conditions/cond_index_store.h"
#include "isam/maint/parm/parm_file.h"
#include "isam/maint/rebuild/add_index_members.h"
#include "isam/maint/rebuild/bulk_load.h"
#include "isam/maint/rebuild/compact_file_set.h"
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/maint/tables/batch.h"
#include "isam/maint/tables/position_context.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
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

// Number 349: block = the IfilBlock.
int RebuildCall(EngineCall* call) { return RebuildFileSet(static_cast<IfilBlock*>(call->block)); }
// Number 350: block = the IfilBlock.
int CompactCall(EngineCall* call) { return CompactFileSet(static_cast<IfilBlock*>(call->block)); }
// Number 351: block = the IfilBlock of the new indexes.
int AddIndexesCall(EngineCall* call) { return AddIndexMembers(static_cast<IfilBlock*>(call->block)); }
// Number 643: file = the key number, block = the key, *value2 = the record
// position, extra = the mode.
int BulkAddCall(EngineCall* call) {
  const uint32_t position = call->value2 != nullptr ? static_cast<uint32_t>(*call->value2) : 0;
  return IndexBulkAddKey(call->file, static_cast<const uint8_t*>(call->block), position, call->extra);
}
int ContextInitCall(EngineCall*) { return ContextTableInit(); }
int ContextSelectCall(EngineCall* call) { return ContextSelect(call->file); }
int ContextFreeCall(EngineCall*) { return ContextFreeAll(); }
int BatchInitCall(EngineCall*) { return BatchTableInit(); }
int BatchSelectCall(EngineCall* call) { return BatchSelect(call->file); }
int BatchFreeCall(EngineCall*) { return BatchFreeAll(); }

}  // namespace

int InstallMaintLayer() {
  // The runtime installs its stand-ins once; ours must come after them.
  InstallRuntimeFunctions();
  MaintHooks hooks{};
  hooks.cond_load = CondIndexLoad;
  hooks.cond_free = CondIndexFree;
  hooks.tree_free = ExprFreeTree;
  hooks.cond_has = CondIndexHasCondition;
  hooks.cond_evaluate = Evaluate;
  hooks.free_stack = FreeExprStack;
  hooks.batch_free_all = BatchFreeAll;
  hooks.context_free_all = ContextFreeAll;
  SetMaintHooks(hooks);
  InstallEngineFunction(kFnBatchRequest, BatchRequestCall);
  InstallEngineFunction(kFnContextTableInit, ContextInitCall);
  InstallEngineFunction(kFnContextSelect, ContextSelectCall);
  InstallEngineFunction(kFnContextFreeAll, ContextFreeCall);
  InstallEngineFunction(kFnBatchTableInit, BatchInitCall);
  InstallEngineFunction(kFnBatchSelect, BatchSelectCall);
  InstallEngineFunction(kFnBatchFreeAll, BatchFreeCall);
  InstallEngineFunction(kFnRebuildFileSet, RebuildCall);
  InstallEngineFunction(kFnCompactFileSet, CompactCall);
  InstallEngineFunction(kFnAddIndexMembers, AddIndexesCall);
  InstallEngineFunction(kFnIndexBulkAddKey, BulkAddCall);
  InstallEngineFunction(kFnCreateFromParmFile, CreateFilesFromParmFileCall);
  InstallEngineFunction(kFnOpenFromParmFile, OpenFilesFromParmFileCall);
  InstallEngineFunction(293, SetTextCall);
  InstallEngineFunction(1407, StoreCall);
  return 0;
}

}  // namespace isam::maint
