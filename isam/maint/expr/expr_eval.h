// Evaluating compiled conditions against one record image.
//
// Values live on the instance's evaluation stack: 512 slots of 8 bytes (one
// 4096-byte engine block, made on first need). An int or unsigned takes the
// first 4 bytes of a slot, a double all 8; a text takes two slots, its
// length and then a pointer to its first byte (into the record or to a
// literal's copy). Every operation evaluates its operands (left, then
// right; always both), then combines the top slots into the lowest of them.
//
// Arithmetic never traps: int operations wrap through 32-bit unsigned,
// INT_MIN / -1 is INT_MIN and x % -1 is 0, a zero divisor gives 0 with
// error 9, doubles become integers saturated (NaN 0) before their low 32
// bits are kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "isam/index/record_schema.h"
#include "isam/maint/expr/expr_node.h"

namespace isam::maint {

// Evaluation results (expr_last_error).
constexpr int kExprStackFull = 6;
constexpr int kExprTooFewSlots = 7;
constexpr int kExprBadNode = 8;
constexpr int kExprDivideByZero = 9;
constexpr int kExprBadField = 10;  // no schema, a field the schema lacks or the record does not hold, an unknown type
constexpr int kExprNoRecord = 11;

constexpr int kExprStackSlots = 512;
constexpr int32_t kExprStackBytes = kExprStackSlots * 8;

// A record image and the schema its fields are found by.
struct ExprRecord {
  const uint8_t* data = nullptr;
  std::size_t length = 0;
  const RecordSchemaView* schema = nullptr;
};

// Makes sure the current instance has its evaluation stack: false when no
// instance is current or memory runs out.
bool ExprEnsureStack();
// Frees the instance's evaluation stack and clears the pointer; a null
// slot or a null stack does nothing.
void FreeExprStack(void** slot);

// Runs one node (and its operands) on the current stack: 0 or a code
// above. The stack must exist.
int ExprEvaluate(const ExprNode* node, const ExprRecord& record);

// Evaluates a whole tree: the code goes to expr_last_error (and *code);
// on success the low 16 bits of the top slot (the root's truth value) are
// returned, else 0. The stack is left empty.
int ExprEvaluateRoot(const ExprNode* tree, const ExprRecord& record, int* code = nullptr);

}  // namespace isam::maint
