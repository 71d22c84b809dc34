#include "isam/fileset/isam_start.h"

#include "isam/fileset/file_set.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/isam_saved_position.h"
#include "isam/record/record_layer.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/maint_stubs.h"

namespace isam {
namespace {

int ImplIsamStart(EngineCall* call) {
  auto* block = static_cast<CallParameterBlock*>(call->block);
  if (block == nullptr) return SetEngineError(11);
  EngineInstance* inst = CurrentInstance();
  if (inst != nullptr && inst->started) return SetEngineError(125);
  if (int rc = CheckIsamStartLimits(block->shorts[1])) return SetEngineError(rc);
  CallParameterBlock wider = *block;
  if (wider.shorts[1] < kMinimumIsamFiles) wider.shorts[1] = kMinimumIsamFiles;
  return EngineStartInstance(&wider);
}

int ImplIsamShutdown(EngineCall*) { return IsamShutdown(); }

IfilBlock* BlockOf(EngineCall* c) {
  auto* p = static_cast<CallParameterBlock*>(c->block);
  return p ? const_cast<IfilBlock*>(static_cast<const IfilBlock*>(p->pointer)) : nullptr;
}
int FnCreateSet(EngineCall* c) { return CreateFileSetFromIfil(BlockOf(c)); }
int FnOpenSet(EngineCall* c) { return OpenFileSetFromIfil(BlockOf(c)); }
int FnCloseSet(EngineCall* c) { return CloseFileSet(static_cast<IfilBlock*>(c->block)); }


}  // namespace

int CheckIsamStartLimits(int files) {
  if (files > 110) return 104;
  if (files > 107) return 182;
  return 0;
}

int IsamShutdown() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || !inst->started) return 0;
  BatchFreeAll();
  ContextFreeAll();
  int first = 0;
  // Plain files first: a host goes only when none of its members is open.
  for (int pass = 0; pass < 2; ++pass) {
    for (int n = 0; n < inst->files_allocated; ++n) {
      FileControlBlock* fcb = inst->files[n];
      if (fcb == nullptr || fcb->state == kStateFree || fcb->state == kStateReservedMember) continue;
      if (fcb->header.member_number != 0) continue;  // closes with its index
      const bool host_like = fcb->header.file_class == kClassSuperHost ||
                             fcb->header.file_class == kClassMemberDirectory;
      if (host_like != (pass == 1)) continue;
      ForgetFileLocks(n);
      ForgetIsamFile(n);
      const int rc = CloseFileEntry(n);
      if (first == 0) first = rc;
    }
  }
  EngineStopInstance();
  return first;
}

void InstallIsamLayer() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  InstallRecordLayer();
  InstallRuntimeFunctions();
  InstallEngineFunction(kFnIsamStart, ImplIsamStart);
  InstallEngineFunction(kFnIsamShutdown, ImplIsamShutdown);
  InstallEngineFunction(kFnIsamCreateFileSet, FnCreateSet);
  InstallEngineFunction(kFnIsamOpenFileSet, FnOpenSet);
  InstallEngineFunction(kFnIsamCloseFileSet, FnCloseSet);
}

}  // namespace isam
