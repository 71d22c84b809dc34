// The record layer's place in the engine: its start and stop (record
// locks, transactions and the ISAM tables live and die with the engine
// instance), the hooks it gives the file layer, and the function-table
// entries of the ISAM record and resource operations, each unpacking the
// call record the way engine_api.cpp packs it.
#include "isam/record/record_layer.h"

#include <algorithm>

#include "isam/index/file_state_hooks.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/isam_saved_position.h"
#include "isam/record/record_lock.h"
#include "isam/record/resource_chain.h"
#include "isam/record/resource_definition.h"
#include "isam/record/transaction.h"
#include "isam/record/write_batch.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/superfile/superfile_layer.h"

namespace isam {
namespace {

int32_t* Length(EngineCall* c) { return c->value2; }

int FnReadEqual(EngineCall* c) {
  return IsamRecordReadByKey(c->file, c->block, kReadEqual, c->block2, Length(c));
}
int FnReadAtLeast(EngineCall* c) {
  return IsamRecordReadByKey(c->file, c->block, kReadAtLeast, c->block2, Length(c));
}
int FnFirst(EngineCall* c) { return IsamRecordFirst(c->file, c->block, Length(c)); }
int FnNext(EngineCall* c) { return IsamRecordNext(c->file, c->block, Length(c)); }
int FnAdd(EngineCall* c) { return IsamRecordAdd(c->file, c->block, c->value2 ? *c->value2 : 0); }
int FnRewrite(EngineCall* c) { return IsamRecordRewrite(c->file, c->block, c->value2 ? *c->value2 : 0); }
int FnReread(EngineCall* c) { return IsamRecordReread(c->file, c->block, c->value2 ? *c->value2 : 0); }

int FnSetLockMode(EngineCall* c) { return IsamSetLockMode(c->file); }

int FnWriteBatch(EngineCall* c) {
  IoStepScope step;
  return c->extra != 0 ? BeginWriteBatch(c->file) : EndWriteBatch(c->file);
}

int FnGetResource(EngineCall* c) {
  const int32_t size = c->value2 ? *c->value2 : 0;
  int32_t used = 0;
  const uint32_t at = ResourceRecordFind(c->file, c->block2, c->block, size, c->extra, &used);
  if (at == 0) return 0;
  return std::min(used, size);
}
int FnAddResource(EngineCall* c) { return AddResourceEntry(c->file, c->block, c->value2 ? *c->value2 : 0); }
int FnUpdateResource(EngineCall* c) {
  return ResourceRecordUpdate(c->file, c->block, c->value2 ? *c->value2 : 0);
}

void UnlockFreedRecord(int file, uint32_t position) {
  if (CheckRecordLocked(file, kLockWrite, position) == 0 || CheckRecordLocked(file, kLockRead, position) == 0)
    LockRecord(file, kLockUnlock, position);
}

const EngineLayerHooks kIsamLayerHooks = {"isam records", IsamLayerStart, IsamLayerStop};

}  // namespace

int IsamLayerStart(EngineInstance* inst) {
  SetCurrentInstance(inst);
  if (CreateIsamTables(inst) != 0) return 83;
  EnableRecordLocking(true);
  return RecordLockingEnabled() ? 0 : 83;
}

void IsamLayerStop(EngineInstance* inst) {
  FreeRecordLockTable(inst);
  FreeIsamTables(inst);
}

void InstallRecordLayer() {
  InstallSuperfileLayer();
  FileStateHooks hooks{};
  hooks.forget_file_locks = ForgetFileLocks;
  hooks.free_saved_positions = FreeIsamPositionsOfFile;
  hooks.forget_isam_file = ForgetIsamFile;
  hooks.transaction_active = TransactionActive;
  hooks.definition_resource = GetDefinitionResource;
  hooks.release_record_lock = UnlockFreedRecord;
  SetFileStateHooks(hooks);
  RegisterEngineLayer(&kIsamLayerHooks);
  InstallSavedPositionLayer();
  InstallEngineFunction(kFnIsamReadVarEqual, FnReadEqual);
  InstallEngineFunction(kFnIsamReadVarAtLeast, FnReadAtLeast);
  InstallEngineFunction(kFnIsamFirstVarRecord, FnFirst);
  InstallEngineFunction(kFnIsamNextVarRecord, FnNext);
  InstallEngineFunction(kFnIsamAddVarRecord, FnAdd);
  InstallEngineFunction(kFnIsamRewriteVarRecord, FnRewrite);
  InstallEngineFunction(kFnIsamRereadVarRecord, FnReread);
  InstallEngineFunction(kFnSetLockMode, FnSetLockMode);
  InstallEngineFunction(kFnIsamWriteBatch, FnWriteBatch);
  InstallEngineFunction(kFnGetResource, FnGetResource);
  InstallEngineFunction(kFnAddResource, FnAddResource);
  InstallEngineFunction(kFnUpdateResource, FnUpdateResource);
}

}  // namespace isam
