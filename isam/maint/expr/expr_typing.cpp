// Typing and coercion of condition operands (see expr_typing.h).
#include "isam/maint/expr/expr_typing.h"

namespace isam::maint {
namespace {

ExprNode* Make(int kind, int type, ExprNode* left, ExprNode* right) {
  ExprNode* n = ExprMakeNode(kind, type, left, right);
  if (n == nullptr) {
    ExprFreeTree(left);
    ExprFreeTree(right);
  }
  return n;
}

ExprNode* Refuse(ExprNode* a, ExprNode* b) {
  ExprFreeTree(a);
  ExprFreeTree(b);
  return nullptr;
}

// Base kind of the int form and which forms an operator has.
struct BinaryShape {
  int base;
  bool arithmetic;  // int/unsigned/double, result int (double for the double form)
  bool compare;     // int/unsigned/double, result int
  bool bitwise;     // int/unsigned, result of that type
  bool logical;     // int/unsigned/double/text, result int
};

BinaryShape ShapeOf(ExprBinaryOp op) {
  switch (op) {
    case ExprBinaryOp::kOr: return {kExprOrInt, false, false, false, true};
    case ExprBinaryOp::kAnd: return {kExprAndInt, false, false, false, true};
    case ExprBinaryOp::kBitOr: return {kExprBitOrInt, false, false, true, false};
    case ExprBinaryOp::kBitXor: return {kExprBitXorInt, false, false, true, false};
    case ExprBinaryOp::kBitAnd: return {kExprBitAndInt, false, false, true, false};
    case ExprBinaryOp::kEqual: return {kExprEqualInt, false, true, false, false};
    case ExprBinaryOp::kNotEqual: return {kExprNotEqualInt, false, true, false, false};
    case ExprBinaryOp::kLess: return {kExprLessInt, false, true, false, false};
    case ExprBinaryOp::kGreater: return {kExprGreaterInt, false, true, false, false};
    case ExprBinaryOp::kLessEq: return {kExprLessEqInt, false, true, false, false};
    case ExprBinaryOp::kGreaterEq: return {kExprGreaterEqInt, false, true, false, false};
    case ExprBinaryOp::kAdd: return {kExprAddInt, true, false, false, false};
    case ExprBinaryOp::kSub: return {kExprSubInt, true, false, false, false};
    case ExprBinaryOp::kMul: return {kExprMulInt, true, false, false, false};
    case ExprBinaryOp::kDiv: return {kExprDivInt, true, false, false, false};
    case ExprBinaryOp::kRem: return {kExprRemInt, true, false, false, false};
  }
  return {0, false, false, false, false};
}

}  // namespace

int ExprBinaryType(int a, int b) {
  if (a == kExprText || b == kExprText) return kExprText;
  if (a == kExprDouble || b == kExprDouble) return kExprDouble;
  if (a == kExprUnsigned || b == kExprUnsigned) return kExprUnsigned;
  return kExprInt;
}

ExprNode* ExprToType(ExprNode* node, int type) {
  if (node == nullptr) return nullptr;
  if (node->type == type) return node;
  int kind = 0;
  switch (node->type * 16 + type) {
    case kExprInt * 16 + kExprDouble: kind = kExprIntToDouble; break;
    case kExprInt * 16 + kExprUnsigned: kind = kExprIntToUnsigned; break;
    case kExprUnsigned * 16 + kExprDouble: kind = kExprUnsignedToDouble; break;
    case kExprUnsigned * 16 + kExprInt: kind = kExprUnsignedToInt; break;
    case kExprDouble * 16 + kExprInt: kind = kExprDoubleToInt; break;
    case kExprDouble * 16 + kExprUnsigned: kind = kExprDoubleToUnsigned; break;
    default: return Refuse(node, nullptr);
  }
  return Make(kind, type, node, nullptr);
}

ExprNode* ExprBinary(ExprBinaryOp op, ExprNode* left, ExprNode* right) {
  if (left == nullptr || right == nullptr) return Refuse(left, right);
  const BinaryShape s = ShapeOf(op);
  const int common = ExprBinaryType(left->type, right->type);
  if (common == kExprText) {
    // Texts take only && and ||, and only with each other.
    if (!s.logical || left->type != kExprText || right->type != kExprText) return Refuse(left, right);
    return Make(s.base + ExprTypeForm(kExprText), kExprInt, left, right);
  }
  if (s.bitwise && common == kExprDouble) return Refuse(left, right);
  left = ExprToType(left, common);
  if (left == nullptr) return Refuse(nullptr, right);
  right = ExprToType(right, common);
  if (right == nullptr) return Refuse(left, nullptr);
  int result = kExprInt;
  if (s.arithmetic && common == kExprDouble) result = kExprDouble;
  if (s.bitwise) result = common;
  return Make(s.base + ExprTypeForm(common), result, left, right);
}

ExprNode* ExprUnary(ExprUnaryOp op, ExprNode* operand) {
  if (operand == nullptr) return nullptr;
  switch (op) {
    case ExprUnaryOp::kNot:
      return Make(kExprNotInt + ExprTypeForm(operand->type), kExprInt, operand, nullptr);
    case ExprUnaryOp::kComplement:
      operand = ExprToType(operand, kExprInt);
      return operand ? Make(kExprComplement, kExprInt, operand, nullptr) : nullptr;
    case ExprUnaryOp::kMinus:
      if (operand->type == kExprDouble) return Make(kExprNegDouble, kExprDouble, operand, nullptr);
      operand = ExprToType(operand, kExprInt);
      return operand ? Make(kExprNegInt, kExprInt, operand, nullptr) : nullptr;
  }
  return Refuse(operand, nullptr);
}

ExprNode* ExprTruth(ExprNode* expression) {
  if (expression == nullptr) return nullptr;
  return Make(kExprTruthInt + ExprTypeForm(expression->type), kExprInt, expression, nullptr);
}

ExprNode* ExprFunction(int kind, int result_type, int count, int arg_type, ExprNode* const* args) {
  ExprNode* a[3] = {args[0], count > 1 ? args[1] : nullptr, count > 2 ? args[2] : nullptr};
  const int leading = count == 3 ? 2 : count;
  bool ok = true;
  for (int i = 0; i < leading; ++i) {
    if (arg_type == kExprText) {
      ok = ok && a[i]->type == kExprText;
    } else if (ok) {
      a[i] = ExprToType(a[i], arg_type);
      ok = a[i] != nullptr;
      if (!ok) a[i] = nullptr;
    }
  }
  if (ok && count == 3) {
    a[2] = ExprToType(a[2], kExprInt);
    ok = a[2] != nullptr;
  }
  if (!ok) {
    for (ExprNode* n : a) ExprFreeTree(n);
    return nullptr;
  }
  if (count == 3) {
    ExprNode* pair = Make(kExprArgPair, kExprText, a[0], a[1]);
    if (pair == nullptr) return Refuse(a[2], nullptr);
    return Make(kind, result_type, pair, a[2]);
  }
  return Make(kind, result_type, a[0], a[1]);
}

}  // namespace isam::maint
