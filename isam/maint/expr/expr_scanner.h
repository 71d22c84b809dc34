// The scanner of the condition language: turns a condition text into
// tokens, one at a time, longest match first.
//
// A zero byte inside the given length reads as a blank; the end of the
// length is the end of input. Tokens other than text literals may have at
// most 99 characters and a text literal at most 256 bytes after its
// escapes: a longer one is an error token, so a long name can never end
// the condition early and leave a shorter one that means something else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace isam::maint {

enum class ExprToken : uint8_t {
  kEnd,
  kTooLong,     // a token past its limit (the compile fails with 1)
  kOther,       // a byte that starts no token
  kIdentifier,  // text: the name
  kFunction,    // text: the function name
  kInt,         // value.i
  kUnsigned,    // value.u
  kDouble,      // value.d
  kText,        // text: the literal's bytes (escapes resolved)
  kAndAnd, kOrOr, kLessEq, kGreaterEq, kEqualEqual, kNotEqual, kLess, kGreater,
  kPlus, kMinus, kStar, kSlash, kPercent, kAmp, kPipe, kCaret, kTilde, kBang,
  kLParen, kRParen, kComma,
};

constexpr std::size_t kExprTokenLimit = 99;
constexpr std::size_t kExprTextLimit = 256;

struct ExprTokenValue {
  ExprToken token = ExprToken::kEnd;
  std::string text;
  union {
    int32_t i;
    uint32_t u;
    double d;
  } value{};
};

class ExprScanner {
 public:
  // `length` counts the terminating zero when the text has one.
  ExprScanner(const char* text, std::size_t length) : text_(text), length_(text ? length : 0) {}

  // The next token; kEnd from the end of input on.
  ExprTokenValue Next();

 private:
  int At(std::size_t pos) const;  // the byte there (zero reads as blank), -1 past the end
  ExprTokenValue Number();
  ExprTokenValue CharConstant();
  ExprTokenValue TextLiteral();
  ExprTokenValue Word();

  const char* text_;
  std::size_t length_;
  std::size_t pos_ = 0;
};

}  // namespace isam::maint
