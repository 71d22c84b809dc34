// UTF-8 checks and the Windows-1252 table both sides share.
#include <cstdint>
#include <string>

#include "platform/code_page.h"

namespace platform {

namespace {

constexpr uint32_t kInvalid = 0xFFFFFFFFu;

// Code points of the bytes 0x80..0x9F; the unassigned five keep their own
// number, as the Win32 conversion does.
const uint16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one character at i. A byte that starts or continues no
// well-formed sequence, and a sequence cut short (its lead and the
// continuation bytes that fit it so far: one maximal part, as the Unicode
// standard counts replacements), read as one invalid character: the code
// point 0xFFFFFFFF, with i past the bytes it took (at least one). Overlong
// forms, surrogates and code points above U+10FFFF are no sequences.
uint32_t DecodeAt(const std::string& s, size_t& i) {
  const uint8_t c = static_cast<uint8_t>(s[i++]);
  if (c < 0x80) return c;
  int len = 0;
  uint32_t cp = 0;
  uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, cp = c & 0x0F;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, cp = c & 0x07;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return kInvalid;
  }
  for (int k = 1; k < len; ++k) {
    if (i >= s.size()) return kInvalid;
    const uint8_t t = static_cast<uint8_t>(s[i]);
    if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF)) return kInvalid;
    cp = (cp << 6) | (t & 0x3F);
    ++i;
  }
  return cp;
}

// A character of Windows-1252, or '?'.
char To1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int k = 0; k < 32; ++k) {
    if (kHigh1252[k] == cp) return static_cast<char>(0x80 + k);
  }
  return '?';
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    if (DecodeAt(text, i) == kInvalid) return false;
  }
  return true;
}

std::string Windows1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char ch : text) {
    const uint8_t c = static_cast<uint8_t>(ch);
    if (c < 0x80)
      out += ch;
    else if (c < 0xA0)
      AppendUtf8(out, kHigh1252[c - 0x80]);
    else
      AppendUtf8(out, c);
  }
  return out;
}

std::string Utf8ToWindows1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += To1252(DecodeAt(utf8, i));
  return out;
}

std::string ReadableUtf8(const std::string& text) {
  bool multiByte = false, invalid = false;
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    if (DecodeAt(text, i) == kInvalid) invalid = true;
    else if (i - at > 1) multiByte = true;
  }
  if (!invalid) return text;
  if (!multiByte) return Windows1252ToUtf8(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    if (DecodeAt(text, i) == kInvalid) out += '?';
    else out.append(text, at, i - at);
  }
  return out;
}

}  // namespace platform
