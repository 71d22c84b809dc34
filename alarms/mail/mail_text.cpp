#include "alarms/mail/mail_text.h"

namespace mail {

namespace {
const char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string* out, unsigned char c) {
  out->push_back('=');
  out->push_back(kHex[c >> 4]);
  out->push_back(kHex[c & 15]);
}
}  // namespace

std::string ToCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string HeaderSafe(const std::string& value) {
  std::string out = value;
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string DotStuff(const std::string& stream) {
  std::string out;
  out.reserve(stream.size() + 16);
  bool lineStart = true;
  for (char c : stream) {
    if (lineStart && c == '.') out.push_back('.');
    out.push_back(c);
    lineStart = c == '\n';
  }
  return out;
}

std::string EncodeHeaderValue(const std::string& value, const std::string& charset) {
  std::string safe = HeaderSafe(value);
  bool plain = true;
  for (unsigned char c : safe)
    if (c >= 0x80) plain = false;
  if (plain) return safe;
  std::string out = "=?" + HeaderSafe(charset) + "?q?";
  for (unsigned char c : safe) {
    if (c == ' ')
      out.push_back('_');
    else if (c >= 0x80 || c == '=' || c == '?' || c == '_')
      AppendHex(&out, c);
    else
      out.push_back(static_cast<char>(c));
  }
  return out + "?=";
}

std::string QuotedPrintable(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find("\r\n", pos);
    bool hasBreak = end != std::string::npos;
    if (!hasBreak) end = text.size();
    if (!hasBreak && pos == text.size()) break;
    // Encode one line into tokens of 1 or 3 characters.
    std::string line;
    std::string tokenEnds;  // 1 or 3 per token
    for (size_t i = pos; i < end; ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      bool last = i + 1 == end;
      bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
      if (literal) {
        line.push_back(static_cast<char>(c));
        tokenEnds.push_back(1);
      } else {
        AppendHex(&line, c);
        tokenEnds.push_back(3);
      }
    }
    // Cut into pieces of at most 75 characters plus the soft break's '=',
    // the last piece at most 76, never inside an "=XX" triple.
    size_t at = 0;
    size_t t = 0;
    while (line.size() - at > 76) {
      size_t len = 0;
      while (t < tokenEnds.size() && len + static_cast<size_t>(tokenEnds[t]) <= 75) len += tokenEnds[t++];
      out.append(line, at, len);
      out += "=\r\n";
      at += len;
    }
    out.append(line, at, std::string::npos);
    if (hasBreak) out += "\r\n";
    pos = end + (hasBreak ? 2 : 0);
    if (!hasBreak) break;
  }
  return out;
}

}  // namespace mail
