// Stand-ins for the maintenance utilities (conditional indexes, batch
// retrieval, saved contexts, parameter files), answering as they do for
// files without conditions, batches or contexts: nothing loaded, nothing
// to free, every record gets its key. The condition calls are the
// fallbacks of maint_hooks.h until isam/maint/ installs its own; batch
// retrieval, contexts and parameter files are still these.
#pragma once

#include <cstdint>

namespace isam {

struct CondIndexSet;
struct ExprNode;
struct EngineCall;

// Ends batch retrieval and frees the batch table; clears the ISAM error; 0.
// Calls the installed hook (maint_hooks.h) when there is one.
int BatchFreeAll();
// Number 1483 until isam/maint/ installs its own: answers 426 (batches are
// not set up).
int BatchRequest(EngineCall* call);
// >0 key, 0 no key, <0 error. Without conditions: -598 (eng_err 598) for a
// missing set, which the key builder never asks for.
int CondIndexEvaluate(const CondIndexSet* set, uint16_t key_number, const void* record,
                      const void* schema);
int CondIndexFree(CondIndexSet* set);           // 0
int CondIndexHasCondition(int16_t data_file, uint16_t key_number);  // 0
CondIndexSet* CondIndexLoad(int16_t data_file);  // null, eng_err 0
int ContextFreeAll();  // 0; the installed hook when there is one
// Numbers 12634 and 12635: not in this build (6).
int CreateFilesFromParmFile(EngineCall* call);
int OpenFilesFromParmFile(EngineCall* call);
int ExprFreeTree(ExprNode* tree);                // 0
void FreeExprStack(void** slot);

constexpr int kEngBatchNotSetUp = 426;
constexpr int kEngCondEvalFailed = 598;

}  // namespace isam
