// The evaluation stack and the operations of every node kind.
#include "isam/maint/expr/expr_eval.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"

namespace isam::maint {
namespace {

struct Text {
  int32_t length = 0;
  const uint8_t* data = nullptr;  // null: absent
};

class Machine {
 public:
  Machine(EngineInstance* inst, const ExprRecord& record)
      : inst_(inst), slots_(static_cast<uint64_t*>(inst->expr_eval_stack)), record_(record) {}

  int Run(const ExprNode* n);

 private:
  int32_t& top() { return inst_->expr_stack_top; }
  int Push(uint64_t bits) {
    if (top() < 0 || top() >= kExprStackSlots) return kExprStackFull;
    slots_[top()++] = bits;
    return 0;
  }
  int PushInt(int32_t v) { return Push(static_cast<uint32_t>(v)); }
  int PushUnsigned(uint32_t v) { return Push(v); }
  int PushDouble(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return Push(bits);
  }
  int PushText(Text t) {
    if (int rc = PushInt(t.length)) return rc;
    return Push(reinterpret_cast<uintptr_t>(t.data));
  }
  bool Has(int n) { return top() >= n; }
  uint64_t Pop() { return slots_[--top()]; }
  int32_t PopInt() { return static_cast<int32_t>(static_cast<uint32_t>(Pop())); }
  uint32_t PopUnsigned() { return static_cast<uint32_t>(Pop()); }
  double PopDouble() {
    const uint64_t bits = Pop();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  Text PopText() {
    Text t;
    t.data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(Pop()));
    t.length = PopInt();
    if (t.length < 0) t.length = 0;
    return t;
  }

  int Field(const ExprNode* n);
  int Operands(const ExprNode* n, int slots_needed);
  int Strings(const ExprNode* n);
  int Arithmetic(const ExprNode* n);
  int Compare(const ExprNode* n);

  EngineInstance* inst_;
  uint64_t* slots_;
  const ExprRecord& record_;
};

// A double as a 64-bit integer toward zero, saturated (NaN 0), so that a
// huge value never reaches an undefined conversion.
int64_t Saturate64(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (d <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}
uint32_t Low32(double d) { return static_cast<uint32_t>(static_cast<uint64_t>(Saturate64(d))); }

int32_t Wrap(uint32_t bits) { return static_cast<int32_t>(bits); }

// Decimal text to a 32-bit int as a C conversion reads it, saturated the
// same way in every build.
int32_t DecimalInt(const Text& t) {
  if (t.data == nullptr || t.length >= 127) return 0;
  int32_t i = 0;
  while (i < t.length && (t.data[i] == ' ' || (t.data[i] >= '\t' && t.data[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < t.length && (t.data[i] == '+' || t.data[i] == '-')) negative = t.data[i++] == '-';
  int64_t v = 0;
  for (; i < t.length && t.data[i] >= '0' && t.data[i] <= '9'; ++i) {
    if (v <= 0x80000000LL) v = v * 10 + (t.data[i] - '0');
  }
  if (negative) v = -v;
  if (v > 0x7FFFFFFF) return 0x7FFFFFFF;
  if (v < -0x7FFFFFFFLL - 1) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

double DecimalDouble(const Text& t) {
  if (t.data == nullptr || t.length >= 127) return 0;
  char copy[128];
  std::memcpy(copy, t.data, static_cast<std::size_t>(t.length));
  copy[t.length] = 0;
  const char* p = copy;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p == '+' || *p == '-') return 0;
  double d = 0;
  const std::from_chars_result r = std::from_chars(p, copy + t.length, d);
  if (r.ec != std::errc() && r.ec != std::errc::result_out_of_range) return 0;
  return negative ? -d : d;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int Upper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// Byte i of a text, 0 past its end.
int ByteAt(const Text& t, int32_t i) { return i < t.length ? t.data[i] : 0; }

int Absence(const Text& a, const Text& b, bool* decided) {
  *decided = true;
  if (a.data == nullptr && b.data == nullptr) return 0;
  if (a.data == nullptr) return -1;
  if (b.data == nullptr) return 1;
  *decided = false;
  return 0;
}

}  // namespace

int Machine::Operands(const ExprNode* n, int slots_needed) {
  if (n->left != nullptr) {
    if (int rc = Run(n->left)) return rc;
  }
  if (n->right != nullptr) {
    if (int rc = Run(n->right)) return rc;
  }
  return Has(slots_needed) ? 0 : kExprTooFewSlots;
}

int Machine::Field(const ExprNode* n) {
  if (record_.schema == nullptr || !HasSchemaHeader(record_.schema)) return kExprBadField;
  if (record_.data == nullptr) return kExprNoRecord;
  FieldSpan span;
  if (LocateSchemaField(record_.schema, record_.data, record_.length, n->value.u, &span) != 0 || !span.present) {
    return kExprBadField;
  }
  const uint8_t* at = record_.data + span.data;
  int width = 0;
  switch (span.field.type) {
    case 0x08: case 0x10: case 0x18: width = 1; break;
    case 0x21: case 0x29: width = 2; break;
    case 0x33: case 0x43: case 0x3B: case 0x4B: case 0x53: case 0x5B: width = 4; break;
    case 0x67: width = 8; break;
    case 0x80: case 0x90: case 0x92: case 0x98: case 0x9A: case 0xA0: case 0xA2: case 0xA8: case 0xAA: {
      Text t;
      t.length = static_cast<int32_t>(span.length);
      t.data = at;
      return PushText(t);
    }
    default:
      if (int rc = PushInt(0)) return rc;
      return kExprBadField;
  }
  // A number must lie whole inside the record.
  if (span.length < static_cast<std::size_t>(width)) return kExprBadField;
  switch (span.field.type) {
    case 0x08: return PushInt(at[0] != 0 ? 1 : 0);
    case 0x10: return PushInt(static_cast<int8_t>(at[0]));
    case 0x18: return PushUnsigned(at[0]);
    case 0x21: { int16_t v; std::memcpy(&v, at, 2); return PushInt(v); }
    case 0x29: { uint16_t v; std::memcpy(&v, at, 2); return PushUnsigned(v); }
    case 0x33: case 0x43: { int32_t v; std::memcpy(&v, at, 4); return PushInt(v); }
    case 0x5B: { float v; std::memcpy(&v, at, 4); return PushDouble(v); }
    case 0x67: { double v; std::memcpy(&v, at, 8); return PushDouble(v); }
    default: { uint32_t v; std::memcpy(&v, at, 4); return PushUnsigned(v); }
  }
}

int Machine::Strings(const ExprNode* n) {
  const bool counted = n->kind == kExprStrncmp || n->kind == kExprStrnicmp || n->kind == kExprMemcmp;
  if (int rc = Operands(n, counted ? 5 : 4)) return rc;
  const int32_t count = counted ? PopInt() : 0;
  const Text b = PopText();
  const Text a = PopText();
  bool decided;
  int result = Absence(a, b, &decided);
  if (!decided) {
    switch (n->kind) {
      case kExprStrcmp:
      case kExprStricmp:
        // The shorter text is the smaller, whatever its bytes.
        if (a.length != b.length) {
          result = a.length < b.length ? -1 : 1;
        } else {
          for (int32_t i = 0; i < a.length && result == 0; ++i) {
            int x = static_cast<signed char>(a.data[i]);
            int y = static_cast<signed char>(b.data[i]);
            if (n->kind == kExprStricmp) {
              x = static_cast<signed char>(Upper(a.data[i]));
              y = static_cast<signed char>(Upper(b.data[i]));
            }
            result = Sign(x - y);
          }
        }
        break;
      case kExprStrncmp:
      case kExprStrnicmp:
        // Past a text's end its terminating zero is compared (read as 0,
        // never from beyond the text).
        for (int32_t i = 0; i < count; ++i) {
          int x = ByteAt(a, i), y = ByteAt(b, i);
          if (n->kind == kExprStrnicmp) x = Upper(x), y = Upper(y);
          if (x != y) {
            result = x < y ? -1 : 1;
            break;
          }
          if (i >= a.length || i >= b.length) break;
        }
        break;
      default:  // memcmp
        if (a.length < count) {
          result = -1;
        } else if (b.length < count) {
          result = 1;
        } else if (count > 0) {
          result = Sign(std::memcmp(a.data, b.data, static_cast<std::size_t>(count)));
        }
        break;
    }
  }
  return PushInt(result);
}

int Machine::Arithmetic(const ExprNode* n) {
  if (int rc = Operands(n, 2)) return rc;
  const int op = (n->kind - kExprAddInt) / 3;  // add, sub, mul, div, rem
  const int form = (n->kind - kExprAddInt) % 3;
  if (form == 2) {
    const double b = PopDouble(), a = PopDouble();
    if ((op == 3 || op == 4) && b == 0) {
      PushDouble(0);
      return kExprDivideByZero;
    }
    const double r = op == 0 ? a + b : op == 1 ? a - b : op == 2 ? a * b : op == 3 ? a / b : std::fmod(a, b);
    return PushDouble(r);
  }
  const uint32_t b = PopUnsigned(), a = PopUnsigned();
  if ((op == 3 || op == 4) && b == 0) {
    PushInt(0);
    return kExprDivideByZero;
  }
  uint32_t r = 0;
  switch (op) {
    case 0: r = a + b; break;
    case 1: r = a - b; break;
    case 2: r = a * b; break;
    case 3:
      if (form == 1) {
        r = a / b;
      } else if (Wrap(b) == -1) {
        r = 0u - a;  // INT_MIN / -1 stays INT_MIN
      } else {
        r = static_cast<uint32_t>(Wrap(a) / Wrap(b));
      }
      break;
    default:
      if (form == 1) {
        r = a % b;
      } else {
        r = Wrap(b) == -1 ? 0u : static_cast<uint32_t>(Wrap(a) % Wrap(b));
      }
      break;
  }
  return PushUnsigned(r);
}

int Machine::Compare(const ExprNode* n) {
  if (int rc = Operands(n, 2)) return rc;
  const int op = (n->kind - kExprLessInt) / 3;  // <, <=, ==, !=, >, >=
  const int form = (n->kind - kExprLessInt) % 3;
  int c;  // -1, 0, 1; 2 unordered (NaN)
  if (form == 2) {
    const double b = PopDouble(), a = PopDouble();
    c = a < b ? -1 : a > b ? 1 : a == b ? 0 : 2;
  } else if (form == 1) {
    const uint32_t b = PopUnsigned(), a = PopUnsigned();
    c = a < b ? -1 : a > b ? 1 : 0;
  } else {
    const int32_t b = PopInt(), a = PopInt();
    c = a < b ? -1 : a > b ? 1 : 0;
  }
  bool r = false;
  switch (op) {
    case 0: r = c == -1; break;
    case 1: r = c == -1 || c == 0; break;
    case 2: r = c == 0; break;
    case 3: r = c != 0; break;
    case 4: r = c == 1; break;
    default: r = c == 1 || c == 0; break;
  }
  return PushInt(r ? 1 : 0);
}

int Machine::Run(const ExprNode* n) {
  if (n == nullptr || n->kind < 1 || n->kind > kExprKindCount) return kExprBadNode;
  const int k = n->kind;
  switch (k) {
    case kExprField: return Field(n);
    case kExprConstInt: return PushInt(n->value.i);
    case kExprConstUnsigned: return PushUnsigned(n->value.u);
    case kExprConstDouble: return PushDouble(n->value.d);
    case kExprConstText: {
      Text t;
      t.length = n->text_length;
      t.data = reinterpret_cast<const uint8_t*>(n->text);
      return PushText(t);
    }
    case kExprArgPair: return Operands(n, 4);
    case kExprStrnicmp: case kExprStrncmp: case kExprStricmp: case kExprStrcmp: case kExprMemcmp:
      return Strings(n);
    default: break;
  }
  if (k >= kExprAddInt && k < kExprLessInt) return Arithmetic(n);
  if (k >= kExprLessInt && k < kExprBitAndInt) return Compare(n);
  const bool text_operand = k == kExprStrlen || k == kExprAtol || k == kExprAtoi || k == kExprAtof ||
                            k == kExprNotInt + 3 || k == kExprTruthInt + 3;
  if (text_operand) {
    if (int rc = Operands(n, 2)) return rc;
    const Text t = PopText();
    switch (k) {
      case kExprStrlen: return PushInt(t.length);
      case kExprAtof: return PushDouble(DecimalDouble(t));
      case kExprNotInt + 3: return PushInt(t.data == nullptr ? 1 : 0);
      case kExprTruthInt + 3: return PushInt(t.data != nullptr ? 1 : 0);
      default: return PushInt(DecimalInt(t));
    }
  }
  if (k == kExprAndInt + 3 || k == kExprOrInt + 3) {
    if (int rc = Operands(n, 4)) return rc;
    const Text b = PopText(), a = PopText();
    const bool r = k == kExprAndInt + 3 ? (a.data && b.data) : (a.data || b.data);
    return PushInt(r ? 1 : 0);
  }
  const bool binary = n->right != nullptr;
  if (int rc = Operands(n, binary ? 2 : 1)) return rc;
  if (binary) {
    switch (k) {
      case kExprFmod: {
        const double b = PopDouble(), a = PopDouble();
        if (b == 0) {
          PushDouble(0);
          return kExprDivideByZero;
        }
        return PushDouble(std::fmod(a, b));
      }
      case kExprBitAndInt: case kExprBitAndInt + 1: { const uint32_t b = PopUnsigned(), a = PopUnsigned(); return PushUnsigned(a & b); }
      case kExprBitOrInt: case kExprBitOrInt + 1: { const uint32_t b = PopUnsigned(), a = PopUnsigned(); return PushUnsigned(a | b); }
      case kExprBitXorInt: case kExprBitXorInt + 1: { const uint32_t b = PopUnsigned(), a = PopUnsigned(); return PushUnsigned(a ^ b); }
      case kExprAndInt: case kExprAndInt + 1: { const uint32_t b = PopUnsigned(), a = PopUnsigned(); return PushInt(a && b); }
      case kExprOrInt: case kExprOrInt + 1: { const uint32_t b = PopUnsigned(), a = PopUnsigned(); return PushInt(a || b); }
      case kExprAndInt + 2: { const double b = PopDouble(), a = PopDouble(); return PushInt(a != 0 && b != 0); }
      case kExprOrInt + 2: { const double b = PopDouble(), a = PopDouble(); return PushInt(a != 0 || b != 0); }
      default: return kExprBadNode;
    }
  }
  switch (k) {
    case kExprIntToDouble: return PushDouble(PopInt());
    case kExprIntToUnsigned: case kExprUnsignedToInt: return Push(Pop() & 0xFFFFFFFFu);
    case kExprUnsignedToDouble: return PushDouble(PopUnsigned());
    case kExprDoubleToInt: case kExprDoubleToUnsigned: return PushUnsigned(Low32(PopDouble()));
    case kExprFloor: return PushDouble(std::floor(PopDouble()));
    case kExprCeil: return PushDouble(std::ceil(PopDouble()));
    case kExprFabs: return PushDouble(std::fabs(PopDouble()));
    case kExprLabs: case kExprAbs: {
      const uint32_t v = PopUnsigned();
      return PushUnsigned(Wrap(v) < 0 ? 0u - v : v);  // abs(INT_MIN) stays INT_MIN
    }
    case kExprNegInt: return PushUnsigned(0u - PopUnsigned());
    case kExprNegDouble: return PushDouble(-PopDouble());
    case kExprComplement: return PushUnsigned(~PopUnsigned());
    case kExprNotInt: case kExprNotInt + 1: return PushInt(PopUnsigned() == 0 ? 1 : 0);
    case kExprNotInt + 2: return PushInt(PopDouble() == 0 ? 1 : 0);
    case kExprTruthInt: case kExprTruthInt + 1: return PushInt(PopUnsigned() != 0 ? 1 : 0);
    case kExprTruthInt + 2: return PushInt(PopDouble() != 0 ? 1 : 0);
    default: return kExprBadNode;
  }
}

bool ExprEnsureStack() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return false;
  if (inst->expr_eval_stack == nullptr) {
    inst->expr_eval_stack = EngineAlloc(kExprStackBytes);
    inst->expr_stack_top = 0;
  }
  return inst->expr_eval_stack != nullptr;
}

void FreeExprStack(void** slot) {
  if (slot == nullptr || *slot == nullptr) return;
  EngineFreeAndClear(slot);
  if (EngineInstance* inst = CurrentInstance(); inst != nullptr && slot == &inst->expr_eval_stack) inst->expr_stack_top = 0;
}

int ExprEvaluate(const ExprNode* node, const ExprRecord& record) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->expr_eval_stack == nullptr) return kExprStackFull;
  Machine m(inst, record);
  return m.Run(node);
}

int ExprEvaluateRoot(const ExprNode* tree, const ExprRecord& record, int* code) {
  EngineInstance* inst = CurrentInstance();
  int rc = kExprStackFull;
  int result = 0;
  if (inst != nullptr && inst->expr_eval_stack != nullptr) {
    inst->expr_stack_top = 0;
    rc = ExprEvaluate(tree, record);
    if (rc == 0 && inst->expr_stack_top > 0) {
      result = static_cast<int>(static_cast<uint64_t*>(inst->expr_eval_stack)[inst->expr_stack_top - 1] & 0xFFFF);
    }
    inst->expr_stack_top = 0;
  }
  if (inst != nullptr) inst->expr_last_error = static_cast<int16_t>(rc);
  if (code != nullptr) *code = rc;
  return result;
}

}  // namespace isam::maint
