// The function-table entries of the ISAM record, resource and file-set
// operations: each unpacks the call record the way engine_api.cpp packs it.
#include <algorithm>

#include "isam/engine_instance.h"
#include "isam/file_set.h"
#include "isam/function_table.h"
#include "isam/isam_record.h"
#include "isam/isam_record_tables.h"
#include "isam/record_lock.h"
#include "isam/resource_chain.h"

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

IfilBlock* BlockOf(EngineCall* c) {
  auto* p = static_cast<CallParameterBlock*>(c->block);
  return p ? const_cast<IfilBlock*>(static_cast<const IfilBlock*>(p->pointer)) : nullptr;
}
int FnCreateSet(EngineCall* c) { return CreateFileSetFromIfil(BlockOf(c)); }
int FnOpenSet(EngineCall* c) { return OpenFileSetFromIfil(BlockOf(c)); }
int FnCloseSet(EngineCall* c) { return CloseFileSet(static_cast<IfilBlock*>(c->block)); }

}  // namespace

void InstallIsamRecordFunctions() {
  InstallEngineFunction(kFnIsamReadVarEqual, FnReadEqual);
  InstallEngineFunction(kFnIsamReadVarAtLeast, FnReadAtLeast);
  InstallEngineFunction(kFnIsamFirstVarRecord, FnFirst);
  InstallEngineFunction(kFnIsamNextVarRecord, FnNext);
  InstallEngineFunction(kFnIsamAddVarRecord, FnAdd);
  InstallEngineFunction(kFnIsamRewriteVarRecord, FnRewrite);
  InstallEngineFunction(kFnIsamRereadVarRecord, FnReread);
  InstallEngineFunction(kFnSetLockMode, FnSetLockMode);
  InstallEngineFunction(kFnGetResource, FnGetResource);
  InstallEngineFunction(kFnAddResource, FnAddResource);
  InstallEngineFunction(kFnUpdateResource, FnUpdateResource);
  InstallEngineFunction(kFnIsamCreateFileSet, FnCreateSet);
  InstallEngineFunction(kFnIsamOpenFileSet, FnOpenSet);
  InstallEngineFunction(kFnIsamCloseFileSet, FnCloseSet);
}

}  // namespace isam
