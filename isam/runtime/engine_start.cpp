// Engine start and stop of one instance, the layer hooks, and the option,
// clear-error and configuration-report calls.
#include "isam/runtime/engine_start.h"

#include <cstring>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_pool.h"
#include "isam/runtime/maint_hooks.h"
#include "isam/runtime/maint_stubs.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/thread_layer.h"
#include "platform/sync.h"

namespace isam {

namespace {

constexpr int kMaxLayers = 8;
const EngineLayerHooks* g_layers[kMaxLayers] = {};
int g_layer_count = 0;

void StopLayers(EngineInstance* inst, int started) {
  for (int i = started - 1; i >= 0; --i) {
    if (g_layers[i]->stop != nullptr) g_layers[i]->stop(inst);
  }
}

void FreeRuntime(EngineInstance* inst) {
  EngineFreeAndClear(&inst->scratch);
  inst->scratch_size = 0;
  for (int list = 0; list < kPoolListCount; ++list) PoolListFreeAll(inst, list);
}

// Option bits that are never accepted, and those that only come alone.
constexpr uint32_t kRefusedOptions = 0x1C02E10;
constexpr uint32_t kKeptOnSet = 0x106010;

int ImplStart(EngineCall* call) {
  return EngineStartInstance(static_cast<const CallParameterBlock*>(call->block));
}
int ImplStop(EngineCall*) { return EngineStopInstance(); }
int ImplClearError(EngineCall*) { return EngineClearError(); }
int ImplOption(EngineCall* call) {
  return EngineOptionWord(static_cast<uint32_t>(call->extra), call->file);
}

// Configuration report: little-endian fields in a 1024-byte block.
int ImplConfigurationReport(EngineCall* call) {
  auto* out = static_cast<uint8_t*>(call->block);
  if (out == nullptr) return SetEngineError(kEngNullBuffer);
  std::memset(out, 0, 1024);
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) {
    PutLe16(out, 47);
    return 0;
  }
  PutLe16(out + 0, 0);                                     // error
  PutLe16(out + 2, static_cast<uint16_t>(inst->file_count));
  PutLe32(out + 4, static_cast<uint32_t>(inst->node_size));
  PutLe16(out + 8, static_cast<uint16_t>(inst->index_buffers));
  PutLe16(out + 10, static_cast<uint16_t>(inst->data_buffers));
  PutLe32(out + 12, static_cast<uint32_t>(inst->os_file_limit));
  PutLe16(out + 16, static_cast<uint16_t>(inst->member_name_limit));
  PutLe32(out + 20, inst->option_word);
  PutLe32(out + 24, 0x1 | 0x2);  // features: byte-range locks, superfiles
  CopyBoundedString(reinterpret_cast<char*>(out + 64), EngineVersion(), 32);
  return 0;
}

}  // namespace

int RegisterEngineLayer(const EngineLayerHooks* hooks) {
  for (int i = 0; i < g_layer_count; ++i) {
    if (g_layers[i] == hooks) return kEngOk;
  }
  if (g_layer_count >= kMaxLayers) return kEngBadArgument;
  g_layers[g_layer_count++] = hooks;
  return kEngOk;
}

int EngineStartInstance(const CallParameterBlock* block) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kEngNoInstance;
  if (inst->started) return SetEngineError(kEngAlreadyStarted);
  if (block == nullptr) return SetEngineError(kEngBadStartArguments);
  const int16_t index_buffers = block->shorts[0];
  const int16_t files = block->shorts[1];
  const int16_t sectors = block->shorts[2];
  const int16_t data_buffers = block->shorts[3];
  if (sectors <= 0 || files < 0) return SetEngineError(kEngBadStartArguments);

  inst->data_buffers = data_buffers;
  inst->node_size = sectors * 128;
  inst->index_buffers = index_buffers;
  inst->file_count = files;
  inst->member_name_limit = inst->node_size < 1024 ? 128 : 255;
  inst->member_separator = '!';
  CopyBoundedString(inst->data_extension, ".dat", sizeof inst->data_extension);
  CopyBoundedString(inst->index_extension, ".idx", sizeof inst->index_extension);
  if (inst->pool_chunk_budget == 0) inst->pool_chunk_budget = 2048;
  if (inst->sort_buffer_limit == 0) inst->sort_buffer_limit = 16000;
  inst->os_file_limit = kDefaultOsFileLimit;

  PoolSetup(inst, false);
  for (int32_t size = 2048; size >= 512 && inst->scratch == nullptr; size /= 2) {
    inst->scratch = static_cast<uint8_t*>(EngineAlloc(size));
    if (inst->scratch != nullptr) {
      inst->scratch_size = size;
      std::memset(inst->scratch, 0xFF, static_cast<size_t>(size));
    }
  }
  if (inst->scratch == nullptr) {
    FreeRuntime(inst);
    return SetEngineError(kEngStartNoMemory);
  }
  for (int i = 0; i < g_layer_count; ++i) {
    if (g_layers[i]->start != nullptr && g_layers[i]->start(inst) != 0) {
      StopLayers(inst, i);
      FreeRuntime(inst);
      return SetEngineError(kEngStartNoMemory);
    }
  }
  inst->started = true;
  return SetEngineError(kEngOk);
}

int EngineStopInstance() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return kEngNotStarted;
  if (!inst->started) return SetEngineError(kEngNotStarted);
  BatchFreeAll();
  ContextFreeAll();
  StopLayers(inst, g_layer_count);
  CurrentMaintHooks().free_stack(&inst->expr_eval_stack);
  FreeRuntime(inst);
  inst->started = false;
  inst->eng_err = 0;
  if (inst->thread_id == platform::CurrentThreadId()) EngineUnregisterInstance(0);
  return kEngOk;
}

int32_t EngineOptionWord(uint32_t bits, int action) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return -kEngNoInstance;
  if (bits & kRefusedOptions) return -SetEngineError(kEngBadArgument);
  if (bits & 0x8) {
    inst->option_value = action;
    if (action != 0) {
      inst->option_word |= 0x8;
    } else {
      inst->option_word &= ~0x8u;
    }
    return static_cast<int32_t>(inst->option_word);
  }
  if (action == 4) return inst->option_value;
  if (bits & (0x4 | 0x20)) {
    if ((bits != 0x4 && bits != 0x20) || action < 0 || action > 3) {
      return -SetEngineError(kEngBadArgument);
    }
    if (action == 1) action = 2;
  }
  switch (action) {
    case 0: inst->option_word &= ~bits; break;
    case 1: inst->option_word = (inst->option_word & kKeptOnSet) | bits; break;
    case 2: inst->option_word |= bits; break;
    case 3: break;
    default: return -SetEngineError(kEngBadArgument);
  }
  return static_cast<int32_t>(inst->option_word);
}

uint32_t TakeOptionBits24() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return 0;
  uint32_t bits = inst->option_word & 0x24;
  inst->option_word &= ~0x24u;
  return bits;
}

int EngineClearError() {
  EngineInstance* inst = CurrentInstance();
  if (inst) inst->eng_err = 0;
  return 0;
}

void InstallRuntimeFunctions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // The ISAM start of the file-set layer replaces 12655 with its own, which
  // checks its limits and then calls EngineStartInstance.
  if (FunctionTable[111] == nullptr) InstallEngineFunction(kFnIsamStart, ImplStart);
  InstallEngineFunction(kFnEngineStartOnly, ImplStart);
  InstallEngineFunction(kFnEngineStop, ImplStop);
  InstallEngineFunction(kFnClearError, ImplClearError);
  InstallEngineFunction(kFnOptionWord, ImplOption);
  InstallEngineFunction(kFnConfigurationReport, ImplConfigurationReport);
  InstallEngineFunction(kFnBatchRequest, BatchRequest);
  InstallEngineFunction(kFnCreateFromParmFile, CreateFilesFromParmFile);
  InstallEngineFunction(kFnOpenFromParmFile, OpenFilesFromParmFile);
}

namespace {

int StartWith(const CallParameterBlock& block, int16_t mode) {
  InstallRuntimeFunctions();
  EngineInstance* current = CurrentInstance();
  const bool registered =
      current == nullptr || std::strcmp(current->name, kDefaultGlobalInstanceName) != 0;
  if (registered) {
    int rc = EngineRegisterInstance(nullptr);
    if (rc != kEngOk) return rc;  // 518, 82, 600: the gate is already left
  } else {
    engserl(kFnIsamStart);
  }
  if (CurrentInstance() != nullptr) CurrentInstance()->start_mode = mode;
  EngineCall c;
  c.number = kFnIsamStart;
  c.file = 0;
  c.block = const_cast<CallParameterBlock*>(&block);
  int rc = EngineDispatchCall(&c);
  if (rc != kEngOk && registered) {
    engserl(kFnIsamStart);
    EngineUnregisterInstance(0);
    engunserl(kFnIsamStart);
  }
  return rc;
}

}  // namespace

int StartEngine(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers, int16_t mode,
                const char* owner, const char* word, const char* server) {
  CallParameterBlock b;
  b.shorts[0] = index_buffers;
  b.shorts[1] = files;
  b.shorts[2] = sectors;
  b.shorts[3] = data_buffers;
  b.shorts[4] = mode;
  CopyBoundedString(b.owner, owner, sizeof b.owner);
  CopyBoundedString(b.word, word, sizeof b.word);
  CopyBoundedString(b.path, server, sizeof b.path);
  return StartWith(b, mode);
}

}  // namespace isam
