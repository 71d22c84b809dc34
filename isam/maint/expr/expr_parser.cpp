// The condition grammar, by levels of precedence (lowest first):
//   or: and {|| and}          and: bitor {&& bitor}     bitor: bitxor {| bitxor}
//   bitxor: bitand {^ bitand} bitand: eq {& eq}         eq: rel {(== | !=) rel}
//   rel: add {(< > <= >=) add} add: mul {(+ | -) mul}   mul: unary {(* / %) unary}
//   unary: ! unary | ~ unary | - unary | primary
//   primary: ( or ) | constant | field | function ( arguments )
// Every helper that combines nodes owns its operands: on failure it frees
// them, so a failed compile never leaks and never frees twice.
#include <cstring>
#include <string>

#include "isam/maint/expr/expr_compile.h"
#include "isam/maint/expr/expr_scanner.h"
#include "isam/maint/expr/expr_typing.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {
namespace {

struct FunctionShape {
  const char* name;
  int kind;
  int result;   // value type
  int args;     // 1, 2 or 3
  int arg_type; // kExprText, kExprDouble or kExprInt for the leading arguments
};

const FunctionShape kFunctions[] = {
    {"memcmp", kExprMemcmp, kExprInt, 3, kExprText},   {"strncmp", kExprStrncmp, kExprInt, 3, kExprText},
    {"strnicmp", kExprStrnicmp, kExprInt, 3, kExprText}, {"strcmp", kExprStrcmp, kExprInt, 2, kExprText},
    {"stricmp", kExprStricmp, kExprInt, 2, kExprText}, {"strlen", kExprStrlen, kExprInt, 1, kExprText},
    {"atoi", kExprAtoi, kExprInt, 1, kExprText},       {"atol", kExprAtol, kExprInt, 1, kExprText},
    {"atof", kExprAtof, kExprDouble, 1, kExprText},    {"fmod", kExprFmod, kExprDouble, 2, kExprDouble},
    {"floor", kExprFloor, kExprDouble, 1, kExprDouble}, {"ceil", kExprCeil, kExprDouble, 1, kExprDouble},
    {"fabs", kExprFabs, kExprDouble, 1, kExprDouble},  {"abs", kExprAbs, kExprInt, 1, kExprInt},
    {"labs", kExprLabs, kExprInt, 1, kExprInt},
};

class Parser {
 public:
  Parser(const RecordSchemaView* schema, const ExprFieldNames& names, const char* text, std::size_t length)
      : schema_(schema), names_(names), scanner_(text, length) {
    Advance();
  }

  ExprNode* Condition() {
    ExprNode* e = Or();
    if (e != nullptr && tok_.token != ExprToken::kEnd) Fail(kExprSyntax);
    if (error_ != 0) {
      ExprFreeTree(e);
      return nullptr;
    }
    return Keep(ExprTruth(e));
  }
  int error() const { return error_; }

 private:
  void Advance() {
    tok_ = scanner_.Next();
    if (tok_.token == ExprToken::kTooLong) Fail(kExprSyntax);
  }
  bool Is(ExprToken t) const { return error_ == 0 && tok_.token == t; }
  void Fail(int code) {
    if (error_ == 0) error_ = code;
  }
  // A node made by a typing helper: null means the types refused it (or no
  // memory); a tree too deep is refused here.
  ExprNode* Keep(ExprNode* n) {
    if (n == nullptr) {
      Fail(kExprSyntax);
      return nullptr;
    }
    if (n->depth > kExprMaxDepth) {
      Fail(kExprTooDeep);
      ExprFreeTree(n);
      return nullptr;
    }
    return n;
  }

  using Level = ExprNode* (Parser::*)();
  struct Op {
    ExprToken token;
    ExprBinaryOp op;
  };
  template <std::size_t N>
  ExprNode* Binary(Level next, const Op (&ops)[N]) {
    ExprNode* left = (this->*next)();
    for (;;) {
      if (left == nullptr) return nullptr;
      const Op* hit = nullptr;
      for (const Op& o : ops) {
        if (Is(o.token)) hit = &o;
      }
      if (hit == nullptr) return left;
      Advance();
      ExprNode* right = (this->*next)();
      if (right == nullptr) {
        ExprFreeTree(left);
        return nullptr;
      }
      left = Keep(ExprBinary(hit->op, left, right));
    }
  }

  ExprNode* Or() {
    static const Op ops[] = {{ExprToken::kOrOr, ExprBinaryOp::kOr}};
    return Binary(&Parser::And, ops);
  }
  ExprNode* And() {
    static const Op ops[] = {{ExprToken::kAndAnd, ExprBinaryOp::kAnd}};
    return Binary(&Parser::BitOr, ops);
  }
  ExprNode* BitOr() {
    static const Op ops[] = {{ExprToken::kPipe, ExprBinaryOp::kBitOr}};
    return Binary(&Parser::BitXor, ops);
  }
  ExprNode* BitXor() {
    static const Op ops[] = {{ExprToken::kCaret, ExprBinaryOp::kBitXor}};
    return Binary(&Parser::BitAnd, ops);
  }
  ExprNode* BitAnd() {
    static const Op ops[] = {{ExprToken::kAmp, ExprBinaryOp::kBitAnd}};
    return Binary(&Parser::Equality, ops);
  }
  ExprNode* Equality() {
    static const Op ops[] = {{ExprToken::kEqualEqual, ExprBinaryOp::kEqual},
                             {ExprToken::kNotEqual, ExprBinaryOp::kNotEqual}};
    return Binary(&Parser::Relational, ops);
  }
  ExprNode* Relational() {
    static const Op ops[] = {{ExprToken::kLess, ExprBinaryOp::kLess},
                             {ExprToken::kGreater, ExprBinaryOp::kGreater},
                             {ExprToken::kLessEq, ExprBinaryOp::kLessEq},
                             {ExprToken::kGreaterEq, ExprBinaryOp::kGreaterEq}};
    return Binary(&Parser::Additive, ops);
  }
  ExprNode* Additive() {
    static const Op ops[] = {{ExprToken::kPlus, ExprBinaryOp::kAdd}, {ExprToken::kMinus, ExprBinaryOp::kSub}};
    return Binary(&Parser::Multiplicative, ops);
  }
  ExprNode* Multiplicative() {
    static const Op ops[] = {{ExprToken::kStar, ExprBinaryOp::kMul},
                             {ExprToken::kSlash, ExprBinaryOp::kDiv},
                             {ExprToken::kPercent, ExprBinaryOp::kRem}};
    return Binary(&Parser::Unary, ops);
  }

  // Counts one level of nesting for the duration of a nested parse.
  bool Enter() {
    if (++nesting_ > kExprMaxNesting) Fail(kExprTooDeep);
    return error_ == 0;
  }

  ExprNode* Unary() {
    ExprUnaryOp op;
    if (Is(ExprToken::kBang)) {
      op = ExprUnaryOp::kNot;
    } else if (Is(ExprToken::kTilde)) {
      op = ExprUnaryOp::kComplement;
    } else if (Is(ExprToken::kMinus)) {
      op = ExprUnaryOp::kMinus;
    } else {
      return Primary();
    }
    Advance();
    ExprNode* operand = Enter() ? Unary() : nullptr;
    --nesting_;
    if (operand == nullptr) return nullptr;
    return Keep(ExprUnary(op, operand));
  }

  ExprNode* Primary() {
    if (error_ != 0) return nullptr;
    ExprTokenValue t = std::move(tok_);
    switch (t.token) {
      case ExprToken::kLParen: {
        Advance();
        ExprNode* e = Enter() ? Or() : nullptr;
        --nesting_;
        if (e != nullptr && !Is(ExprToken::kRParen)) {
          Fail(kExprSyntax);
          ExprFreeTree(e);
          return nullptr;
        }
        if (e != nullptr) Advance();
        return e;
      }
      case ExprToken::kInt:
      case ExprToken::kUnsigned:
      case ExprToken::kDouble: {
        Advance();
        const int type = t.token == ExprToken::kInt ? kExprInt : t.token == ExprToken::kUnsigned ? kExprUnsigned : kExprDouble;
        ExprNode* n = ExprMakeNode(kExprConstInt + (type - kExprInt), type, nullptr, nullptr);
        if (n != nullptr) std::memcpy(&n->value, &t.value, sizeof n->value);
        return Keep(n);
      }
      case ExprToken::kText: {
        Advance();
        return Keep(TextConstant(t.text));
      }
      case ExprToken::kIdentifier: {
        Advance();
        return Keep(Field(t.text));
      }
      case ExprToken::kFunction:
        Advance();
        return Call(t.text);
      default:
        Fail(kExprSyntax);
        return nullptr;
    }
  }

  ExprNode* TextConstant(const std::string& bytes) {
    char* copy = static_cast<char*>(EngineAlloc(static_cast<int32_t>(bytes.size() + 1)));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, bytes.data(), bytes.size());
    ExprNode* n = ExprMakeNode(kExprConstText, kExprText, nullptr, nullptr);
    if (n == nullptr) {
      EngineFree(copy);
      return nullptr;
    }
    n->text = copy;
    // The length of a literal is that of its zero-terminated copy.
    n->text_length = static_cast<int32_t>(std::strlen(copy));
    return n;
  }

  ExprNode* Field(const std::string& name) {
    const uint8_t* p = names_.data;
    const uint8_t* end = p ? p + names_.length : p;
    for (uint32_t ordinal = 0; p != nullptr && p < end; ++ordinal) {
      const std::size_t entry = *p;
      if (entry == 0 || entry > static_cast<std::size_t>(end - p)) break;  // a damaged list ends the search
      if (entry == 1) {  // a field without a name
        ++p;
        continue;
      }
      const char* n = reinterpret_cast<const char*>(p + 1);
      const std::size_t room = entry - 1;
      if (strnlen(n, room) == name.size() && std::memcmp(n, name.data(), name.size()) == 0) {
        uint8_t raw = 0;
        if (!ExprSchemaFieldType(schema_, ordinal, &raw)) return nullptr;
        const int type = ExprTypeOfField(raw);
        if (type == 0) return nullptr;
        ExprNode* f = ExprMakeNode(kExprField, type, nullptr, nullptr);
        if (f != nullptr) f->value.u = ordinal;
        return f;
      }
      p += entry;
    }
    return nullptr;
  }

  ExprNode* Call(const std::string& name) {
    const FunctionShape* shape = nullptr;
    for (const FunctionShape& f : kFunctions) {
      if (name == f.name) shape = &f;
    }
    if (shape == nullptr || !Is(ExprToken::kLParen)) {
      Fail(kExprSyntax);
      return nullptr;
    }
    Advance();
    ExprNode* args[3] = {};
    bool ok = Enter();
    for (int i = 0; ok && i < shape->args; ++i) {
      if (i > 0) {
        ok = Is(ExprToken::kComma);
        if (ok) Advance();
      }
      if (ok) args[i] = Or();
      ok = ok && args[i] != nullptr;
    }
    --nesting_;
    if (ok && !Is(ExprToken::kRParen)) ok = false;
    if (!ok) {
      Fail(kExprSyntax);
      for (ExprNode* a : args) ExprFreeTree(a);
      return nullptr;
    }
    Advance();
    return Keep(ExprFunction(shape->kind, shape->result, shape->args, shape->arg_type, args));
  }

  const RecordSchemaView* schema_;
  ExprFieldNames names_;
  ExprScanner scanner_;
  ExprTokenValue tok_;
  int error_ = 0;
  int nesting_ = 0;
};

}  // namespace

bool ExprSchemaFieldType(const RecordSchemaView* schema, uint32_t n, uint8_t* type) {
  if (!HasSchemaHeader(schema)) return false;
  const uint8_t* d = schema->data;
  const uint32_t entries = static_cast<uint32_t>(d[12] | d[13] << 8 | d[14] << 16) | static_cast<uint32_t>(d[15]) << 24;
  uint64_t seen = 0;
  for (uint32_t e = 0; e < entries; ++e) {
    const std::size_t at = kSchemaHeaderSize + kSchemaEntrySize * static_cast<std::size_t>(e);
    if (at + kSchemaEntrySize > schema->length) return false;
    const uint32_t repeat = d[at + 3] == 0 ? 1u : d[at + 3];
    if (n < seen + repeat) {
      *type = d[at + 2];
      return true;
    }
    seen += repeat;
  }
  return false;
}

int ExprTypeOfField(uint8_t t) {
  switch (t) {
    case 0x08: case 0x10: case 0x21: case 0x33: case 0x43:
      return kExprInt;
    case 0x18: case 0x29: case 0x3B: case 0x4B: case 0x53:
      return kExprUnsigned;
    case 0x5B: case 0x67:
      return kExprDouble;
    case 0x80: case 0x90: case 0x92: case 0x98: case 0x9A: case 0xA0: case 0xA2: case 0xA8: case 0xAA:
      return kExprText;
    default:
      return 0;
  }
}

ExprNode* ExprCompile(const RecordSchemaView* schema, const ExprFieldNames& names, const char* text,
                      std::size_t length, int* code) {
  Parser parser(schema, names, text, length);
  ExprNode* root = parser.Condition();
  const int rc = root != nullptr ? kExprOk : (parser.error() != 0 ? parser.error() : kExprSyntax);
  if (EngineInstance* inst = CurrentInstance(); inst != nullptr) inst->expr_last_error = static_cast<int16_t>(rc);
  if (code != nullptr) *code = rc;
  return root;
}

}  // namespace isam::maint
