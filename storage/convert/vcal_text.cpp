// The parser's input: what the file holds, made safe for it.
#include "storage/convert/vcal_import.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "storage/convert/file_bytes.h"

namespace {

// A calendar file of this size holds far more events than anyone keeps;
// beyond it the file is taken for something else.
constexpr uint64_t kMaxVCalendarBytes = 64u * 1024u * 1024u;

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

// A line end alone: the parser's BASE64 reader ends a value only at such
// a line.
bool IsEmptyLine(const std::string& line) { return line.find_first_not_of("\r\n") == std::string::npos; }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsAsciiAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The parser ends a word at these (a NUL too, as its strchr test does).
bool EndsWord(char c) { return c == '\0' || std::strchr(" \t\r\n;:=", c) != nullptr; }

// `text` (a property's lines up to its first colon) is what the parser reads
// as a property: a name, then ";param" or ";param=value", blanks and line
// ends between them, each word starting with a letter. On anything else it
// recovers from a syntax error by starting a property at some later word,
// so a parameter naming an encoding may switch its value reader on for a
// value of a later line, and for good: the reader then loops on an '=' it
// cannot read, or on the end of the text. BEGIN or END past the name is no
// parameter to it but a block's start or end ("X;BEGIN:VEVENT<tab>...").
bool IsPlainHead(const std::string& text) {
  size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && text[i] != '\0' && std::strchr(" \t\r\n", text[i])) ++i;
  };
  bool first = true;
  const auto word = [&] {
    if (i >= text.size() || !IsAsciiAlpha(text[i])) return false;
    const size_t from = i;
    while (i < text.size() && !EndsWord(text[i])) ++i;
    const std::string w = Upper(text.substr(from, i - from));
    const bool keyword = w == "BEGIN" || w == "END";
    const bool plain = first || !keyword;
    first = false;
    return plain;
  };
  skipBlanks();
  if (!word()) return false;
  for (;;) {
    skipBlanks();
    if (i == text.size()) return true;
    if (text[i] != ';') return false;
    ++i;
    skipBlanks();
    if (!word()) return false;
    skipBlanks();
    if (i < text.size() && text[i] == '=') {
      ++i;
      skipBlanks();
      if (!word()) return false;
    }
  }
}

const char* const kEncodings[] = {"BASE64", "QUOTED-PRINTABLE"};

// How often `text` names an encoding (ignoring case).
int EncodingNames(const std::string& text) {
  const std::string upper = Upper(text);
  int names = 0;
  for (const char* encoding : kEncodings)
    for (size_t at = upper.find(encoding); at != std::string::npos; at = upper.find(encoding, at + 1)) ++names;
  return names;
}

// Every encoding name in `text` (ignoring case) loses its first letter, so
// that the parser takes it for no encoding.
void UnnameEncodings(std::string* text) {
  const std::string upper = Upper(*text);
  for (const char* encoding : kEncodings)
    for (size_t at = upper.find(encoding); at != std::string::npos; at = upper.find(encoding, at + 1))
      (*text)[at] = 'X';
}

// Where the value of a property read with the given encoding starts in
// `line`, whose head (after `head`, the property's lines before this one)
// the parser reads as a property: after the first colon when a parameter
// before it names the encoding (ignoring case). npos when none does.
size_t EncodedValueStart(const std::string& head, const std::string& line, const char* encoding) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return std::string::npos;
  return Upper(head + line.substr(0, colon)).find(encoding) == std::string::npos ? std::string::npos : colon + 1;
}

bool HeadNames(const std::string& head, const std::string& line, const char* encoding) {
  return EncodedValueStart(head, line, encoding) != std::string::npos;
}

// "NAME:" with nothing after the colon. The parser takes the next line as
// the value of such a property (meant for a value folded onto the next
// line), so an empty DESCRIPTION swallows the next property, and an empty
// alarm before END:VEVENT loses the whole file. Written "NAME:;" it is a
// property without a value.
bool HasEmptyValue(const std::string& line) {
  const size_t colon = line.find(':');
  return colon != std::string::npos && colon > 0 && line.find_first_not_of("\r\n", colon + 1) == std::string::npos;
}

bool IsQuotedHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The quoted-printable reader loops on an '=' followed by anything but a
// hex digit or the line end; such an '=' is a plain one, written "=3D".
// Returns whether the value goes on to the next line (it ends in a soft
// break, or is empty: the parser joins the next line to an empty value).
bool EscapeQuotedValue(std::string* line, size_t from) {
  std::string out = line->substr(0, from);
  size_t end = line->size();
  while (end > from && ((*line)[end - 1] == '\n' || (*line)[end - 1] == '\r')) --end;
  for (size_t i = from; i < end; ++i) {
    const char c = (*line)[i];
    if (c == '=' && i + 1 < end && !IsQuotedHexDigit((*line)[i + 1])) out += "=3D";
    else out.push_back(c);
  }
  const bool continues = end == from || (*line)[end - 1] == '=';
  out += line->substr(end);
  *line = out;
  return continues;
}

// The parser ends a line at a bare CR too, but the cleaning below splits at
// LF: a bare CR becomes CRLF, so both see the same lines (a quoted-printable
// '=' before a bare CR otherwise reaches the parser unescaped and it loops
// on it for ever).
std::string EndLinesInLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out.push_back('\n');
  }
  return out;
}

// The BASE64 reader counts every '=' of a value as padding of the quad it
// ends, and more than two of them make it copy a negative length. The
// program never reads a BASE64 value as text, so each '=' becomes a zero
// digit ('A'): the value keeps its length and the reader its way through it.
void ZeroBase64Padding(std::string* line, size_t from) {
  for (size_t i = from; i < line->size(); ++i)
    if ((*line)[i] == '=') (*line)[i] = 'A';
}

// After BEGIN or END and the block's name the parser reads on in its
// property mode, where a tab or a line end is nothing: "BEGIN:VEVENT<tab>
// SUMMARY;ENCODING=QUOTED-PRINTABLE:..." holds a second property on the
// same line, which the cleaning here would not see. What follows the name
// goes on a line of its own (to the parser a line end is the tab it was),
// so each property the parser reads is a line the cleaning reads.
// Returns whether `line` was split; `rest` is then what followed the name.
bool SplitAfterBlockName(std::string* line, std::string* rest) {
  const std::string& l = *line;
  size_t i = l.find_first_not_of(" \t");
  if (i == std::string::npos) return false;
  const std::string upper = Upper(l.substr(i, 5));
  const size_t keyword = upper.compare(0, 5, "BEGIN") == 0 ? 5 : upper.compare(0, 3, "END") == 0 ? 3 : 0;
  if (keyword == 0) return false;
  i = l.find_first_not_of(" \t", i + keyword);
  if (i == std::string::npos || l[i] != ':') return false;
  i = l.find_first_not_of(" \t", i + 1);
  if (i == std::string::npos) return false;
  const size_t name = i;
  while (i < l.size() && !EndsWord(l[i])) ++i;
  // Any other name makes a property named BEGIN or END, read to the line end.
  static const char* const kBlocks[] = {"VCARD", "VCALENDAR", "VEVENT", "VTODO"};
  const std::string word = Upper(l.substr(name, i - name));
  if (std::none_of(std::begin(kBlocks), std::end(kBlocks), [&](const char* b) { return word == b; })) return false;
  const size_t more = l.find_first_not_of(" \t\r\n", i);
  if (more == std::string::npos) return false;
  *rest = l.substr(i);
  line->resize(i);
  *line += "\r\n";
  return true;
}

}  // namespace

std::string PrepareVCalendarText(const std::string& original) {
  const std::string text = EndLinesInLf(original);
  std::string out;
  out.reserve(text.size() + 16);
  bool inBase64 = false;
  bool base64Started = false;  // the parser has read some of the value
  bool inQuoted = false;
  // The parser reads a property's name and parameters over line ends up to
  // the colon, so the encoding a value is read with may be named on lines
  // before the one holding its colon. Those lines are held back until that
  // line shows whether the parser reads them as a property.
  std::string head;
  std::string headLines;
  std::string rest;  // what followed a block's name on its line
  size_t pos = 0;
  while (pos < text.size() || !rest.empty()) {
    std::string line;
    if (!rest.empty()) {
      line.swap(rest);
    } else {
      size_t end = text.find('\n', pos);
      end = end == std::string::npos ? text.size() : end + 1;
      line = text.substr(pos, end - pos);
      pos = end;
    }
    for (char& c : line)
      if (static_cast<unsigned char>(c) == 0xFF || c == '\0') c = '?';
    // A BASE64 value runs over the following lines without a colon and
    // ends only at an empty line (one of blanks does not end it): it gets
    // one before the next property. Empty lines right after a head whose
    // value is empty are line ends after its colon, which the parser drops:
    // there the value is ended by a blank and an empty line.
    if (inBase64) {
      if (!base64Started && IsEmptyLine(line)) {
        // dropped with the colon's line end; the value has not begun
      } else if (IsEmptyLine(line)) {
        inBase64 = false;
      } else if (line.find(':') != std::string::npos) {
        out += base64Started ? "\r\n" : " \r\n\r\n";
        inBase64 = false;
      } else {
        base64Started = true;
      }
    }
    const bool inValue = inBase64 || inQuoted;
    if (!inValue) SplitAfterBlockName(&line, &rest);
    if (!inValue && line.find(':') == std::string::npos) {
      if (!IsBlank(line)) head += line;
      headLines += line;
      if (headLines.back() != '\n') headLines += "\r\n";
      continue;
    }
    std::string before = inValue ? std::string() : head;
    head.clear();
    // A value is read with one encoding, and only after a property the
    // parser reads as one: it switches its reader on for each name and off
    // once at the end of the value, so a second name stays on for good.
    const std::string propertyHead = before + line.substr(0, line.find(':'));
    if (!inValue && (!IsPlainHead(propertyHead) || EncodingNames(propertyHead) > 1)) {
      UnnameEncodings(&before);
      UnnameEncodings(&headLines);
      UnnameEncodings(&line);
    }
    out += headLines;
    headLines.clear();
    if (!inValue && HasEmptyValue(line) && !HeadNames(before, line, "BASE64") &&
        !(rest.empty() && pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')))
      line.insert(line.find(':') + 1, ";");
    const size_t base64At = EncodedValueStart(before, line, "BASE64");
    const size_t quotedAt = EncodedValueStart(before, line, "QUOTED-PRINTABLE");
    if (inBase64) {
      ZeroBase64Padding(&line, 0);
    } else if (!inQuoted && base64At != std::string::npos) {
      inBase64 = true;
      base64Started = !IsEmptyLine(line.substr(base64At));
      ZeroBase64Padding(&line, base64At);
    }
    if (inQuoted) inQuoted = EscapeQuotedValue(&line, 0);
    else if (!inBase64 && quotedAt != std::string::npos) inQuoted = EscapeQuotedValue(&line, quotedAt);
    out += line;
    if (out.back() != '\n') out += "\r\n";
  }
  out += headLines;
  // A blank line, a blank, and a blank line: the parser drops line breaks
  // that follow a colon, so an empty value at the very end would swallow a
  // plain blank line; the blank stops that, and the BASE64 reader skips it.
  out += "\r\n \r\n\r\n";
  return out;
}

bool ImportVCalendarFile(const std::string& path, IImportTarget* target, VCalImportCounts* counts) {
  *counts = VCalImportCounts();
  std::string bytes;
  int nativeError = 0;
  if (!ReadWholeFile(path, kMaxVCalendarBytes, &bytes, &nativeError)) return false;
  ImportVCalendarText(bytes, target, counts);
  return true;
}
