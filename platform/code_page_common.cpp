// UTF-8 checks and the Windows-1252 table both sides share.
#include <cstdint>
#include <string>

#include "platform/code_page.h"

namespace platform {

namespace {

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

// Decodes one character at i (valid UTF-8 assumed checked by the caller or
// not: an invalid byte reads as itself and advances by one). Returns the
// code point, or 0xFFFFFFFF for an invalid sequence.
uint32_t DecodeAt(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t c = b(i);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = 0;
  uint32_t cp = 0, min = 0;
  if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    ++i;
    return 0xFFFFFFFFu;
  }
  if (i + static_cast<size_t>(len) > s.size()) {
    ++i;
    return 0xFFFFFFFFu;
  }
  for (int k = 1; k < len; ++k) {
    const uint8_t t = b(i + static_cast<size_t>(k));
    if ((t & 0xC0) != 0x80) {
      ++i;
      return 0xFFFFFFFFu;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFFFFFFu;
  }
  i += static_cast<size_t>(len);
  return cp;
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    if (DecodeAt(text, i) == 0xFFFFFFFFu) return false;
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
  for (size_t i = 0; i < utf8.size();) {
    const uint32_t cp = DecodeAt(utf8, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp >= 0xA0 && cp <= 0xFF) {
      out += static_cast<char>(cp);
    } else {
      char mapped = '?';
      for (int k = 0; k < 32; ++k) {
        if (kHigh1252[k] == cp) mapped = static_cast<char>(0x80 + k);
      }
      out += mapped;
    }
  }
  return out;
}

}  // namespace platform
