// Typing of the condition language: common types, the conversion nodes
// that bring an operand to a type, and the node each operator or function
// becomes for its operands' types. Every call owns its operands: when it
// refuses them (a type the operator does not take) or memory runs out, it
// frees them and returns null.
#pragma once

#include "isam/maint/expr/expr_node.h"

namespace isam::maint {

enum class ExprBinaryOp {
  kOr, kAnd, kBitOr, kBitXor, kBitAnd, kEqual, kNotEqual, kLess, kGreater, kLessEq, kGreaterEq,
  kAdd, kSub, kMul, kDiv, kRem,
};
enum class ExprUnaryOp { kNot, kComplement, kMinus };

// Text if either is text, else double, else unsigned, else int.
int ExprBinaryType(int a, int b);

// The node converted to `type` (itself when it already has it); a text
// cannot be converted, nor anything into text.
ExprNode* ExprToType(ExprNode* node, int type);

ExprNode* ExprBinary(ExprBinaryOp op, ExprNode* left, ExprNode* right);
ExprNode* ExprUnary(ExprUnaryOp op, ExprNode* operand);
// The root over a whole condition: a truth node by its type.
ExprNode* ExprTruth(ExprNode* expression);
// A function node (kind, result type) over `count` arguments: the leading
// ones of arg_type (text, or converted to double or int), a third (the
// count of memcmp, strncmp, strnicmp) converted to int. Three arguments put
// the first two under an argument pair.
ExprNode* ExprFunction(int kind, int result_type, int count, int arg_type, ExprNode* const* args);

}  // namespace isam::maint
