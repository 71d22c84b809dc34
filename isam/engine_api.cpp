// The API functions. How each packs its arguments into the call record is
// the contract with the layer that implements the number:
//   start (12655, 12398): block = CallParameterBlock, shorts = index
//     buffers, files, sectors, data buffers, mode; owner, word, path=server.
//   find free numbers (8393): file = count; the impl writes the first
//     number into *short_out and returns the error code.
//   create data file (8332): file, block = CallParameterBlock with path,
//     shorts = record length, extension size, mode.
//   open (8394): file, block = CallParameterBlock with path, shorts[2] = mode.
//   close (12), set lock mode (8452): file (the mode for 8452).
//   get resource (1702): file, block = buffer, block2 = resource id,
//     *value2 = buffer length, extra = mode; returns the length read.
//   add / update resource (1150 / 1149): file, block = buffer, *value2 = length.
//   file sets (8543, 8545): block = CallParameterBlock with pointer = the
//     IfilBlock (extension texts, word and owner empty); close (352):
//     block = the IfilBlock.
//   reads by key (325, 326): file = key, block = target, block2 = buffer,
//     value2 = length in/out.
//   first / next (2410 / 2408): file, block = buffer, value2 = length in/out.
//   add / rewrite / re-read (1400 / 1401 / 3450): file, block = buffer,
//     *value2 = the record length.
//   write batch (1402): file, extra = 1 begin, 0 end.
//   dump index keys (17047): file = member, block = IndexKeyDumpBlock; the
//     count comes back in the block.
#include "isam/engine_api.h"

#include <cstring>

#include "isam/index/file_attributes.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/thread_layer.h"
#include "isam/superfile/index_key_dump.h"

namespace isam {

namespace {

int Call(EngineCall& call) {
  engserl(call.number);
  return EngineDispatchCall(&call);
}

EngineCall Make(EngineFunctionNumber n, int16_t file, void* block) {
  EngineCall c;
  c.number = n;
  c.file = file;
  c.block = block;
  return c;
}

}  // namespace

int EngineStart(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers,
                int16_t mode, const char* owner, const char* word, const char* server) {
  InstallFileAttributeFunctions();
  return StartEngine(index_buffers, files, sectors, data_buffers, mode, owner, word, server);
}

int EngineStartShort(int16_t index_buffers, int16_t files, int16_t sectors) {
  return EngineStart(index_buffers, files, sectors, index_buffers, 33, nullptr, nullptr, nullptr);
}

int EngineStop() {
  EngineCall c = Make(kFnEngineStop, 0, nullptr);
  return Call(c);
}

int EngineFindFreeFileNumbers(int16_t count) {
  int16_t first = -1;
  EngineCall c = Make(kFnFindFreeFileNumbers, count, nullptr);
  c.short_out = &first;
  int rc = Call(c);
  return rc == kEngOk ? first : -1;
}

int EngineCreateDataFile(int16_t file, const char* path, int16_t record_length,
                         int16_t extension_size, int16_t mode) {
  CallParameterBlock b;
  b.shorts[0] = record_length;
  b.shorts[1] = extension_size;
  b.shorts[2] = mode;
  CopyBoundedString(b.path, path, sizeof b.path);
  EngineCall c = Make(kFnCreateDataFile, file, &b);
  return Call(c);
}

int EngineOpenFile(int16_t file, const char* path, int16_t mode) {
  CallParameterBlock b;
  b.shorts[2] = mode;
  CopyBoundedString(b.path, path, sizeof b.path);
  EngineCall c = Make(kFnOpenFile, file, &b);
  return Call(c);
}

int EngineCloseFile(int16_t file) {
  EngineCall c = Make(kFnCloseFile, file, nullptr);
  return Call(c);
}

int EngineSetLockMode(int16_t mode) {
  EngineCall c = Make(kFnSetLockMode, mode, nullptr);
  return Call(c);
}

int32_t EngineGetResource(int16_t file, const void* resource_id, void* buffer, int32_t length,
                          int16_t mode) {
  int32_t result = 0;
  EngineCall c = Make(kFnGetResource, file, buffer);
  c.block2 = const_cast<void*>(resource_id);
  c.value1 = &result;
  c.value2 = &length;
  c.extra = mode;
  Call(c);
  return result;
}

int EngineAddResource(int16_t file, const void* buffer, int32_t length) {
  EngineCall c = Make(kFnAddResource, file, const_cast<void*>(buffer));
  c.value2 = &length;
  return Call(c);
}

int EngineUpdateResource(int16_t file, const void* buffer, int32_t length) {
  EngineCall c = Make(kFnUpdateResource, file, const_cast<void*>(buffer));
  c.value2 = &length;
  return Call(c);
}

int IsamCreateFileSet(IfilBlock* ifil) {
  CallParameterBlock b;
  b.pointer = ifil;
  EngineCall c = Make(kFnIsamCreateFileSet, 0, &b);
  return Call(c);
}

int IsamOpenFileSet(IfilBlock* ifil) {
  CallParameterBlock b;
  b.pointer = ifil;
  EngineCall c = Make(kFnIsamOpenFileSet, 0, &b);
  return Call(c);
}

int IsamCloseFileSet(IfilBlock* ifil) {
  EngineCall c = Make(kFnIsamCloseFileSet, 0, ifil);
  return Call(c);
}

int IsamReadVarRecordEqual(int16_t key, const void* target, void* buffer, int32_t* length) {
  EngineCall c = Make(kFnIsamReadVarEqual, key, const_cast<void*>(target));
  c.block2 = buffer;
  c.value2 = length;
  return Call(c);
}

int IsamReadVarRecordAtLeast(int16_t key, const void* target, void* buffer, int32_t* length) {
  EngineCall c = Make(kFnIsamReadVarAtLeast, key, const_cast<void*>(target));
  c.block2 = buffer;
  c.value2 = length;
  return Call(c);
}

int IsamFirstVarRecord(int16_t file, void* buffer, int32_t* length) {
  EngineCall c = Make(kFnIsamFirstVarRecord, file, buffer);
  c.value2 = length;
  return Call(c);
}

int IsamNextVarRecord(int16_t file, void* buffer, int32_t* length) {
  EngineCall c = Make(kFnIsamNextVarRecord, file, buffer);
  c.value2 = length;
  return Call(c);
}

int IsamAddVarRecord(int16_t file, const void* buffer, int32_t length) {
  EngineCall c = Make(kFnIsamAddVarRecord, file, const_cast<void*>(buffer));
  c.value2 = &length;
  return Call(c);
}

int IsamRewriteVarRecord(int16_t file, const void* buffer, int32_t length) {
  EngineCall c = Make(kFnIsamRewriteVarRecord, file, const_cast<void*>(buffer));
  c.value2 = &length;
  return Call(c);
}

int IsamWriteBatch(int16_t file, int16_t begin) {
  EngineCall c = Make(kFnIsamWriteBatch, file, nullptr);
  c.extra = begin;
  return Call(c);
}

int IsamRereadVarRecord(int16_t file, void* buffer, int32_t length) {
  EngineCall c = Make(kFnIsamRereadVarRecord, file, buffer);
  c.value2 = &length;
  return Call(c);
}

int32_t EngineDumpIndexKeys(int16_t member, IndexKeyDumpBlock* block) {
  if (block != nullptr) block->key_count = 0;
  EngineCall c = Make(kFnDumpIndexKeys, member, block);
  Call(c);
  return block != nullptr ? block->key_count : 0;
}

const char* EngineCurrentInstanceNameCall() { return EngineCurrentInstanceName(); }

int EngineCallNumber(uint16_t number, int16_t file, void* block, int32_t* value1,
                     int16_t* short_out, int32_t* value2, int32_t extra) {
  engserl(number);
  return EngineDispatch(number, file, block, value1, short_out, value2, extra);
}

}  // namespace isam
