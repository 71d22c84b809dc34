#include "isam/index/file_layer.h"

#include "isam/index/btree_update.h"
#include "isam/index/file_attributes.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"

namespace isam {
namespace {

int FileLayerStart(EngineInstance* inst) {
  if (inst->file_count > 0 && GrowFileTable(0) != 0) return 10;
  return NodeCacheStart(inst);
}

void FileLayerStop(EngineInstance* inst) {
  CloseAllFiles();
  if (inst->files != nullptr) {
    for (int n = 0; n < inst->files_allocated; ++n) delete inst->files[n];
    delete[] inst->files;
  }
  inst->files = nullptr;
  inst->files_allocated = 0;
  NodeCacheStop(inst);
}

const EngineLayerHooks kFileLayerHooks = {"files and indexes", FileLayerStart, FileLayerStop};

const CallParameterBlock* Params(const EngineCall* c) {
  return static_cast<const CallParameterBlock*>(c->block);
}

int FnFindFree(EngineCall* c) {
  const int first = FindFreeFileNumbers(c->file);
  if (c->short_out != nullptr) *c->short_out = static_cast<int16_t>(first);
  return first < 0 ? SetEngineError(46) : SetEngineError(0);
}

int FnCreateData(EngineCall* c) {
  const CallParameterBlock* p = Params(c);
  if (p == nullptr) return SetEngineError(116);
  return CreateDataFile(c->file, p->path, p->shorts[0], static_cast<uint16_t>(p->shorts[1]),
                        static_cast<uint16_t>(p->shorts[2]));
}

int FnCreateIndex(EngineCall* c) {
  const CallParameterBlock* p = Params(c);
  if (p == nullptr) return SetEngineError(116);
  return CreateIndexFile(c->file, p->path, p->shorts[0], p->shorts[3], p->shorts[4], p->shorts[5],
                         static_cast<uint16_t>(p->shorts[1]), static_cast<uint16_t>(p->shorts[2]));
}

int FnOpen(EngineCall* c) {
  const CallParameterBlock* p = Params(c);
  if (p == nullptr) return SetEngineError(116);
  return OpenFileEntry(c->file, p->path, static_cast<uint16_t>(p->shorts[2]));
}

int FnClose(EngineCall* c) { return CloseFileEntry(c->file); }

int FnAddMember(EngineCall* c) {
  const CallParameterBlock* p = Params(c);
  if (p == nullptr) return SetEngineError(116);
  return AddIndexMember(c->file, p->shorts[0], p->shorts[3], p->shorts[4], p->shorts[5]);
}

int FnFlush(EngineCall* c) { return FlushEngineFile(c->file); }

int FnAddKey(EngineCall* c) {
  return AddKeyEntry(c->file, static_cast<const uint8_t*>(c->block),
                     c->value1 ? static_cast<uint32_t>(*c->value1) : 0, c->extra);
}

int FnDeleteKey(EngineCall* c) {
  return DeleteKeyEntry(c->file, static_cast<const uint8_t*>(c->block),
                        c->value1 ? static_cast<uint32_t>(*c->value1) : 0);
}

}  // namespace

int InstallFileLayer() {
  RegisterEngineLayer(&kFileLayerHooks);
  InstallEngineFunction(kFnFindFreeFileNumbers, FnFindFree);
  InstallEngineFunction(kFnCreateDataFile, FnCreateData);
  InstallEngineFunction(kFnCreateIndexFile, FnCreateIndex);
  InstallEngineFunction(kFnOpenFile, FnOpen);
  InstallEngineFunction(kFnCloseFile, FnClose);
  InstallEngineFunction(kFnAddIndexMember, FnAddMember);
  InstallEngineFunction(kFnFlushFiles, FnFlush);
  InstallEngineFunction(642, FnAddKey);
  InstallEngineFunction(644, FnDeleteKey);
  InstallFileAttributeFunctions();
  return 0;
}

}  // namespace isam
