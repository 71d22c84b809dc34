// The compiled conditions of one open data file (CondIndexSet, held by its
// control block from open to close) and the calls the key builder and the
// file-set setup make on it.
#pragma once

#include <cstdint>

#include "isam/maint/expr/expr_compile.h"
#include "isam/maint/expr/expr_eval.h"
#include "isam/maint/expr/expr_node.h"

namespace isam {

struct CondIndexEntry {
  uint16_t key = 0;          // the index's key number within the data file
  uint16_t text_length = 0;  // zero included
  uint32_t word = 0;         // carried over from the stored body
  ExprNode* tree = nullptr;
};

struct CondIndexSet {
  uint16_t condition_count = 0;
  uint16_t further_count = 0;
  CondIndexEntry** entries = nullptr;  // conditions, then the further entries
};

}  // namespace isam

namespace isam::maint {

// The key number that asks an index file's own tree.
constexpr uint16_t kOwnConditionKey = 0xFF97;

// Error codes of the condition calls.
constexpr int kCondNoMemory = 435;
constexpr int kCondNoDefinition = 596;   // no record schema or no field names
constexpr int kCondBadText = 597;        // a condition does not compile
constexpr int kCondEvalFailed = 598;     // evaluation failed, or no condition for the key
constexpr int kCondShortImage = 595;
constexpr int kCondNotIsamIndex = 614;
constexpr int kCondStoreNoMemory = 83;
constexpr int kCondDamaged = 690;        // a stored body whose entries reach past it

// Builds a set from a body: null with eng_err 0 for a null body or no
// entries; 596 without schema or names; 690 a body that does not hold its
// entries; 597 a text that does not compile (what was built is freed); 435
// no memory.
CondIndexSet* CondIndexCompile(const uint8_t* body, std::size_t length, const RecordSchemaView* schema,
                               const ExprFieldNames& names);

// Frees the set (every tree and entry) and the evaluation stack; null does
// nothing. Returns 0.
int CondIndexFree(CondIndexSet* set);

// 1 when the record satisfies the condition of `key`, 0 when not, -435
// (eng_err 435) without an evaluation stack, -598 (eng_err 598) for a
// missing set or schema, a key without condition, or a failed evaluation
// (expr_last_error tells which).
int CondIndexEvaluate(const CondIndexSet* set, uint16_t key, const ExprRecord& record);
// The same for an index file's own tree.
int CondIndexEvaluateTree(const ExprNode* tree, const ExprRecord& record);

// 16 when open data file `data_file` has a condition for `key`, else 0.
// Leaves eng_err as it was.
int CondIndexHasCondition(int16_t data_file, uint16_t key);

// The compiled conditions of open data file `data_file`: null with eng_err
// 0 when it has none; 401 / 408 / 438 when it has no such resource (not a
// failure for the open); otherwise the codes of CondIndexCompile and the
// resource reads.
CondIndexSet* CondIndexLoad(int16_t data_file);

}  // namespace isam::maint
