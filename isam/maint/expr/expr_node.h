// The compiled form of a condition: a tree of ExprNode blocks taken from
// the engine allocator. Leaves are fields and constants; every other node
// is an operator, conversion or function over `left` (and `right`).
//
// Trees never grow deeper than kExprMaxDepth: the compiler refuses deeper
// ones (code 4), so the walks over a tree (evaluation, free) may recurse.
#pragma once

#include <cstdint>

namespace isam {

// Value types a node yields.
enum ExprValueType : int16_t {
  kExprInt = 2,
  kExprUnsigned = 3,
  kExprDouble = 4,
  kExprText = 5,
};

// Node kinds (the evaluator's operation numbers). Where a kind has int,
// unsigned, double (and text) forms they follow each other in that order.
enum ExprNodeKind : int16_t {
  kExprField = 1,
  kExprConstInt = 2,
  kExprConstUnsigned = 3,
  kExprConstDouble = 4,
  kExprConstText = 5,
  kExprIntToDouble = 6,
  kExprIntToUnsigned = 7,
  kExprUnsignedToDouble = 8,
  kExprUnsignedToInt = 9,
  kExprDoubleToInt = 10,
  kExprDoubleToUnsigned = 11,
  kExprArgPair = 12,
  kExprStrnicmp = 13,
  kExprStrncmp = 14,
  kExprStricmp = 15,
  kExprStrcmp = 16,
  kExprStrlen = 17,
  kExprFmod = 18,
  kExprFloor = 19,
  kExprCeil = 20,
  kExprFabs = 21,
  kExprLabs = 22,
  kExprAbs = 23,
  kExprAtol = 24,
  kExprAtoi = 25,
  kExprAtof = 26,
  kExprNegInt = 27,
  kExprNegDouble = 28,
  kExprComplement = 29,
  kExprNotInt = 30,     // .. 33 text
  kExprAddInt = 34,     // add 34-36, subtract 37-39, multiply 40-42,
  kExprSubInt = 37,     // divide 43-45, remainder 46-48
  kExprMulInt = 40,
  kExprDivInt = 43,
  kExprRemInt = 46,
  kExprLessInt = 49,    // <, <=, ==, !=, >, >= : 49, 52, 55, 58, 61, 64
  kExprLessEqInt = 52,
  kExprEqualInt = 55,
  kExprNotEqualInt = 58,
  kExprGreaterInt = 61,
  kExprGreaterEqInt = 64,
  kExprBitAndInt = 67,  // & | ^ : 67, 69, 71 (int, unsigned)
  kExprBitOrInt = 69,
  kExprBitXorInt = 71,
  kExprAndInt = 73,     // && 73-76, || 77-80 (int, unsigned, double, text)
  kExprOrInt = 77,
  kExprTruthInt = 81,   // 81-84 (int, unsigned, double, text)
  kExprMemcmp = 85,
};

constexpr int kExprKindCount = 85;
constexpr int kExprMaxDepth = 200;

struct ExprNode {
  int16_t kind = 0;
  int16_t type = 0;
  uint16_t depth = 1;         // levels of the subtree, this node included
  union {
    int32_t i;
    uint32_t u;
    double d;
  } value{};                  // constants; a field's ordinal in value.u
  char* text = nullptr;       // text constant: its own copy (engine block)
  int32_t text_length = 0;    // bytes of that copy without its zero
  ExprNode* left = nullptr;
  ExprNode* right = nullptr;
};

}  // namespace isam

namespace isam::maint {

// Offset of a kind's form for a value type: int 0, unsigned 1, double 2,
// text 3.
inline int ExprTypeForm(int type) { return type - kExprInt; }

// A new node (zero-filled engine block) with kind, type and operands; its
// depth is one more than its deepest operand. Null when memory runs out.
ExprNode* ExprMakeNode(int kind, int type, ExprNode* left, ExprNode* right);

// Frees a tree bottom-up, text constants with their text; null does
// nothing. Returns 0.
int ExprFreeTree(ExprNode* tree);

}  // namespace isam::maint
