// Scanning condition texts (see expr_scanner.h).
#include "isam/maint/expr/expr_scanner.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace isam::maint {
namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(int c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }
bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The code an escaped byte stands for.
int EscapeCode(int c) {
  switch (c) {
    case 'a': case 'A': return 7;
    case 'b': case 'B': return 8;
    case 'f': case 'F': return 12;
    case 'n': case 'N': return 10;
    case 'r': case 'R': return 13;
    case 't': case 'T': return 9;
    case 'v': case 'V': return 11;
    default: return c;
  }
}

const char* const kFunctionNames[] = {"atoi", "atol",    "abs",     "labs",     "atof",
                                      "fabs", "ceil",    "floor",   "fmod",     "strlen",
                                      "strcmp", "stricmp", "strncmp", "strnicmp", "memcmp"};

ExprTokenValue Simple(ExprToken t) {
  ExprTokenValue v;
  v.token = t;
  return v;
}

}  // namespace

int ExprScanner::At(std::size_t pos) const {
  if (pos >= length_) return -1;
  const int c = static_cast<unsigned char>(text_[pos]);
  return c == 0 ? ' ' : c;
}

ExprTokenValue ExprScanner::Next() {
  while (IsBlank(At(pos_))) ++pos_;
  const int c = At(pos_);
  if (c < 0) return Simple(ExprToken::kEnd);
  if (IsDigit(c) || (c == '.' && IsDigit(At(pos_ + 1)))) return Number();
  if (IsLetter(c) || c == '_') return Word();
  if (c == '\'') return CharConstant();
  if (c == '"') return TextLiteral();
  const int d = At(pos_ + 1);
  struct Pair {
    char a, b;
    ExprToken t;
  };
  static const Pair kPairs[] = {{'&', '&', ExprToken::kAndAnd},     {'|', '|', ExprToken::kOrOr},
                                {'<', '=', ExprToken::kLessEq},     {'>', '=', ExprToken::kGreaterEq},
                                {'=', '=', ExprToken::kEqualEqual}, {'!', '=', ExprToken::kNotEqual}};
  for (const Pair& p : kPairs) {
    if (c == p.a && d == p.b) {
      pos_ += 2;
      return Simple(p.t);
    }
  }
  static const char kSingles[] = "<>+-*/%&|^~!(),";
  static const ExprToken kSingleTokens[] = {
      ExprToken::kLess,    ExprToken::kGreater, ExprToken::kPlus,  ExprToken::kMinus,  ExprToken::kStar,
      ExprToken::kSlash,   ExprToken::kPercent, ExprToken::kAmp,   ExprToken::kPipe,   ExprToken::kCaret,
      ExprToken::kTilde,   ExprToken::kBang,    ExprToken::kLParen, ExprToken::kRParen, ExprToken::kComma};
  ++pos_;
  if (const char* s = std::strchr(kSingles, c); s != nullptr && c != 0) return Simple(kSingleTokens[s - kSingles]);
  return Simple(ExprToken::kOther);
}

ExprTokenValue ExprScanner::Word() {
  std::string name;
  int c;
  while ((c = At(pos_)) >= 0 && (IsLetter(c) || IsDigit(c) || c == '_' || c == '.')) {
    name.push_back(static_cast<char>(c));
    ++pos_;
  }
  if (name.size() > kExprTokenLimit) return Simple(ExprToken::kTooLong);
  ExprTokenValue v;
  v.token = ExprToken::kIdentifier;
  for (const char* f : kFunctionNames) {
    if (name == f) v.token = ExprToken::kFunction;
  }
  v.text = std::move(name);
  return v;
}

ExprTokenValue ExprScanner::Number() {
  const std::size_t start = pos_;
  ExprTokenValue v;
  // Hexadecimal: 0x and 1 to 8 digits (a ninth starts the next token).
  if (At(pos_) == '0' && (At(pos_ + 1) == 'x' || At(pos_ + 1) == 'X') && IsHexDigit(At(pos_ + 2))) {
    pos_ += 2;
    uint32_t bits = 0;
    for (int n = 0; n < 8 && IsHexDigit(At(pos_)); ++n, ++pos_) bits = bits << 4 | static_cast<uint32_t>(HexValue(At(pos_)));
    v.value.u = bits;
    v.token = ExprToken::kInt;
    if (At(pos_) == 'U' || At(pos_) == 'u') {
      ++pos_;
      v.token = ExprToken::kUnsigned;
    }
    return v;
  }
  while (IsDigit(At(pos_))) ++pos_;
  const std::size_t digits_end = pos_;
  bool floating = false;
  if (At(pos_) == '.') {
    floating = true;
    ++pos_;
    const bool fraction = IsDigit(At(pos_));
    while (IsDigit(At(pos_))) ++pos_;
    // Only a point followed by digits may carry an exponent (1.e5 is 1.
    // and the name e5).
    if (fraction && (At(pos_) == 'e' || At(pos_) == 'E')) {
      std::size_t e = pos_ + 1;
      if (At(e) == '+' || At(e) == '-') ++e;
      if (IsDigit(At(e))) {
        while (IsDigit(At(e))) ++e;
        pos_ = e;
      }
    }
  }
  bool suffix = false;
  if (!floating && (At(pos_) == 'U' || At(pos_) == 'u')) {
    suffix = true;
    ++pos_;
  }
  if (pos_ - start > kExprTokenLimit) return Simple(ExprToken::kTooLong);
  std::string digits;
  for (std::size_t i = start; i < (floating ? pos_ : digits_end); ++i) digits.push_back(static_cast<char>(At(i)));
  double d = 0;
  // The text is digits (and a point and exponent): it always converts,
  // but a value out of range is left as it was; too large is infinity, too
  // small (a negative exponent) zero.
  const std::from_chars_result r = std::from_chars(digits.data(), digits.data() + digits.size(), d);
  if (r.ec == std::errc::result_out_of_range)
    d = digits.find("e-") == std::string::npos && digits.find("E-") == std::string::npos
            ? std::numeric_limits<double>::infinity()
            : 0.0;
  if (floating) {
    v.token = ExprToken::kDouble;
    v.value.d = d;
    return v;
  }
  uint64_t n = 0;
  bool big = false;
  for (char ch : digits) {
    n = n * 10 + static_cast<uint64_t>(ch - '0');
    if (n > 0xFFFFFFFFull) {
      big = true;
      break;
    }
  }
  if (big) {
    v.token = ExprToken::kDouble;
    v.value.d = d;
  } else if (!suffix && n <= 0x7FFFFFFFull) {
    v.token = ExprToken::kInt;
    v.value.i = static_cast<int32_t>(n);
  } else {
    v.token = ExprToken::kUnsigned;
    v.value.u = static_cast<uint32_t>(n);
  }
  return v;
}

ExprTokenValue ExprScanner::CharConstant() {
  // 'c', '\c', '\xH' or '\xHH'; anything else leaves the quote a byte of
  // its own.
  const std::size_t start = pos_;
  int code = -1;
  std::size_t end = start;
  const int c1 = At(start + 1);
  if (c1 == '\\') {
    const int c2 = At(start + 2);
    if (c2 == 'x' && IsHexDigit(At(start + 3))) {
      if (At(start + 4) == '\'') {
        code = HexValue(At(start + 3));
        end = start + 5;
      } else if (IsHexDigit(At(start + 4)) && At(start + 5) == '\'') {
        code = HexValue(At(start + 3)) * 16 + HexValue(At(start + 4));
        end = start + 6;
      }
    }
    if (code < 0 && c2 >= 0 && At(start + 3) == '\'') {
      code = EscapeCode(c2);
      end = start + 4;
    }
  } else if (c1 >= 0 && c1 != '\'' && c1 != '\r' && c1 != '\n' && At(start + 2) == '\'') {
    code = c1;
    end = start + 3;
  }
  if (code < 0) {
    ++pos_;
    return Simple(ExprToken::kOther);
  }
  pos_ = end;
  ExprTokenValue v;
  v.token = ExprToken::kInt;
  v.value.i = code;
  return v;
}

ExprTokenValue ExprScanner::TextLiteral() {
  std::string bytes;
  std::size_t p = pos_ + 1;
  for (;;) {
    int c = At(p);
    if (c < 0) {
      // No closing quote: the quote is a byte of its own.
      ++pos_;
      return Simple(ExprToken::kOther);
    }
    ++p;
    if (c == '"') break;
    if (c == '\\') {
      c = At(p);
      if (c < 0) continue;  // the loop ends on the next turn
      ++p;
      if (c == 'x' && IsHexDigit(At(p))) {
        int code = HexValue(At(p++));
        if (IsHexDigit(At(p))) code = code * 16 + HexValue(At(p++));
        c = code;
      } else {
        c = EscapeCode(c);
      }
    }
    bytes.push_back(static_cast<char>(c));
  }
  pos_ = p;
  if (bytes.size() > kExprTextLimit) return Simple(ExprToken::kTooLong);
  ExprTokenValue v;
  v.token = ExprToken::kText;
  v.text = std::move(bytes);
  return v;
}

}  // namespace isam::maint
