// Function numbers, the FunctionTable and the dispatcher.
//
// An engine function number is 16 bits: the low byte selects the table
// slot (1..229), the high byte the argument pattern, and three of its bits
// mean the same for every number (see below). Each implementation in the
// table has one signature: it receives the whole call record and reads the
// arguments its number carries. Operations this build lacks point at the
// stubs (eng_err 6). Layers install their implementations by number at
// run time, so the dispatcher needs no link-time knowledge of them.
#pragma once

#include <cstdint>

namespace isam {

using EngineFunctionNumber = uint16_t;

// Bits of the high byte with a fixed meaning.
constexpr EngineFunctionNumber kFnIsamLevel = 0x0100;  // returns the ISAM error
constexpr EngineFunctionNumber kFnValue1InOut = 0x0200;
constexpr EngineFunctionNumber kFnValue2InOut = 0x0400;

// Numbers of the operations the application calls, and the start/stop.
enum : EngineFunctionNumber {
  kFnCloseFile = 12,
  kFnIsamReadVarEqual = 325,
  kFnIsamReadVarAtLeast = 326,
  kFnIsamCloseFileSet = 352,
  kFnUpdateResource = 1149,
  kFnAddResource = 1150,
  kFnIsamAddVarRecord = 1400,
  kFnIsamRewriteVarRecord = 1401,
  kFnIsamWriteBatch = 1402,  // file; extra 1 begins, 0 ends (isam/record/write_batch.h)
  kFnGetResource = 1702,
  kFnIsamNextVarRecord = 2408,
  kFnIsamFirstVarRecord = 2410,
  kFnIsamRereadVarRecord = 3450,
  kFnEngineStop = 8202,
  kFnFlushFiles = 8221,
  kFnClearError = 8307,
  kFnCreateDataFile = 8332,
  kFnCreateIndexFile = 8333,
  kFnFindFreeFileNumbers = 8393,
  kFnOpenFile = 8394,
  kFnSetLockMode = 8452,
  kFnIsamShutdown = 8457,
  kFnIsamCreateFileSet = 8543,
  kFnIsamOpenFileSet = 8545,
  kFnOptionWord = 9864,
  kFnConfigurationReport = 10455,
  kFnEngineStartOnly = 12398,
  kFnCreateFromParmFile = 12634,
  kFnOpenFromParmFile = 12635,
  kFnIsamStart = 12655,
  kFnAddIndexMember = 142,
  kFnSetFileMode = 1,
  kFnGetCurrentKey = 19108,
  kFnTempFileName = 11461,
  kFnBatchRequest = 1483,
  // Saved position contexts and batch tables (isam/maint): file = the
  // context or batch number where one is taken.
  kFnContextTableInit = 8454,
  kFnContextSelect = 8455,
  kFnContextFreeAll = 8459,
  kFnBatchTableInit = 8467,
  kFnBatchSelect = 8468,
  kFnBatchFreeAll = 8469,
  // Maintenance (isam/maint): rebuild, compaction and added indexes of a
  // file set (block = IfilBlock);
  // bulk key load (file = key number, block = key, value2 = position,
  // extra = mode).
  kFnRebuildFileSet = 349,
  kFnCompactFileSet = 350,
  kFnAddIndexMembers = 351,
  kFnIndexBulkAddKey = 643,
  kFnCurrentInstanceName = 230,
};

// The arguments of one dispatched call. The dispatcher's seven arguments,
// plus block2: a second pointer that calls with two buffers need (the
// 32-bit original squeezed it into an int, which a 64-bit build cannot).
struct EngineCall {
  EngineFunctionNumber number = 0;
  int16_t file = 0;            // file or key number (for some calls a count or mode)
  void* block = nullptr;       // record buffer, key target, CallParameterBlock, IfilBlock
  int32_t* value1 = nullptr;   // never null inside an impl for 0x0200 numbers
  int16_t* short_out = nullptr;
  int32_t* value2 = nullptr;   // never null inside an impl for 0x0400 numbers;
                               // the explicit length of add/rewrite/re-read/resource calls
  int32_t extra = 0;
  void* block2 = nullptr;
};

// An implementation: reads what it needs from call, sets eng_err (through
// SetEngineError / SetIsamError) and returns its result: the error code for
// most numbers; for value-result numbers (see FunctionNumberInfo) the value
// the dispatcher stores into value1 or value2.
using EngineFunction = int (*)(EngineCall* call);

// Where the dispatcher puts an implementation's result.
enum class ResultForm : uint8_t {
  kError,      // the result is an error code (eng_err, or ISAM error with 0x0100)
  kValue1,     // *value1 = result; the call still returns eng_err / ISAM error
  kValue2,     // *value2 = result
  kOwnReturn,  // engine stop and ISAM shutdown: the implementation's own return
};

struct FunctionNumberInfo {
  EngineFunctionNumber number;
  int16_t slot;       // FunctionTable slot, or -1 for a number dispatched explicitly
  ResultForm form;
};

constexpr int kFunctionTableSlots = 165;  // slots 0..164

// The table itself. Slot 0 and every slot nothing was installed in hold a
// stub: eng_err 6, returns 6 (returns 0 for value-result numbers and for
// slots 152 and 155, so no stub's 6 is ever read as a length or count).
extern EngineFunction FunctionTable[kFunctionTableSlots];

// What the dispatcher knows about number; null for an unknown number.
const FunctionNumberInfo* LookupFunctionNumber(EngineFunctionNumber number);

// Installs fn for number (its slot, or its explicit entry). Returns 0, or
// 170 when the number is unknown or is one of the not-in-this-build
// numbers. Installing null restores the stub. Not thread-safe: layers
// install before the engine is started.
int InstallEngineFunction(EngineFunctionNumber number, EngineFunction fn);

// The stubs (also usable by layers for operations they leave out).
int StubNotInThisBuild(EngineCall* call);      // eng_err 6, returns 6
int StubNotInThisBuildZero(EngineCall* call);  // eng_err 6, returns 0

// The dispatcher. Must be entered after engserl(number); passes engunserl
// on every way out. Returns (low 16 bits):
//   129 no instance is current for the calling thread;
//   170 low byte 0 or 230 and more (no log line), or an unknown number
//       (status log "Bad raw function #. fn" with the number);
//   454 / 513 / 6 for the numbers this build does not support;
//   for 0x0100 numbers the ISAM error (eng_err copied into it when the
//   implementation left it 0; cleared on entry, so an earlier call's
//   error never comes back); for engine stop and shutdown the
//   implementation's own return; otherwise eng_err.
int EngineDispatchCall(EngineCall* call);
int EngineDispatch(EngineFunctionNumber number, int16_t file, void* block, int32_t* value1,
                   int16_t* short_out, int32_t* value2, int32_t extra);

// Fixed-size argument record of the file and start calls. Text fields are
// filled with CopyBoundedString (runtime_utils.h), so they are always
// terminated and a null text is all zeros.
struct CallParameterBlock {
  // Start: index buffers, files, sectors, data buffers, mode.
  // File calls: record or key length, extension size, mode, key type,
  // duplicates flag, members (in that order, as the call uses them).
  int16_t shorts[8] = {};
  int32_t value = 0;
  const void* pointer = nullptr;  // IfilBlock, resource id
  char owner[32] = {};
  char word[10] = {};
  char path[256] = {};            // file path, or the start's server text
  char data_extension[8] = {};
  char index_extension[8] = {};
};

}  // namespace isam
