// The edge blanks of UID values, kept through the library's trimming.
#include "storage/ical/ical_uid_text.h"

#include <cctype>

namespace icalx {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t LineEnd(const std::string& text, size_t from) {
  const size_t lf = text.find('\n', from);
  return lf == std::string::npos ? text.size() : lf + 1;
}

// The line without its line break.
std::string Content(const std::string& text, size_t begin, size_t end) {
  while (end > begin && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  return text.substr(begin, end - begin);
}

bool IsUidLine(const std::string& text, size_t at) {
  if (text.size() < at + 4) return false;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(text[at + i])) != "UID"[i]) return false;
  return text[at + 3] == ':' || text[at + 3] == ';';
}

// The library reads an escape it does not know as a blank; a tab has its own.
std::string Escaped(const std::string& blanks) {
  std::string out;
  for (char c : blanks) out += c == '\t' ? "\\t" : "\\_";
  return out;
}

// The property unfolded, its value's edge blanks escaped; empty when its
// value has none.
std::string Rewritten(const std::string& unfolded) {
  bool quoted = false;
  size_t colon = 0;
  while (colon < unfolded.size() && (quoted || unfolded[colon] != ':')) {
    if (unfolded[colon] == '"') quoted = !quoted;
    ++colon;
  }
  if (colon == unfolded.size()) return std::string();
  size_t first = colon + 1, last = unfolded.size();
  while (first < last && IsBlank(unfolded[first])) ++first;
  while (last > first && IsBlank(unfolded[last - 1])) --last;
  if (first == colon + 1 && last == unfolded.size()) return std::string();
  return unfolded.substr(0, colon + 1) + Escaped(unfolded.substr(colon + 1, first - colon - 1)) +
         unfolded.substr(first, last - first) + Escaped(unfolded.substr(last)) + "\r\n";
}

}  // namespace

void KeepUidBlanks(std::string* text) {
  const std::string& in = *text;
  std::string out;
  size_t copied = 0;  // what of `in` is in `out` already
  bool changed = false;
  for (size_t pos = 0; pos < in.size();) {
    size_t end = LineEnd(in, pos);
    if (!IsUidLine(in, pos)) {
      pos = end;
      continue;
    }
    std::string unfolded = Content(in, pos, end);
    while (end < in.size() && IsBlank(in[end])) {
      const size_t next = LineEnd(in, end);
      unfolded += Content(in, end + 1, next);
      end = next;
    }
    const std::string line = Rewritten(unfolded);
    if (!line.empty()) {
      if (!changed) out.reserve(in.size() + 64);
      changed = true;
      out.append(in, copied, pos - copied);
      out += line;
      copied = end;
    }
    pos = end;
  }
  if (!changed) return;
  out.append(in, copied, std::string::npos);
  text->swap(out);
}

}  // namespace icalx
