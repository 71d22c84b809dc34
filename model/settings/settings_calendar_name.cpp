// The display name of a calendar that has no name of its own, from its file
// path or Internet address.
#include "model/settings/program_settings.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and its kind become the character they stand for; a "%" not
// followed by two hex digits (or standing for a NUL) stays as it is. Digits alone are never
// touched, so "Week32" keeps its number.
std::string DecodePercentEscapes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = HexValue(text[i + 1]);
      int lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0 && (hi != 0 || lo != 0)) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

std::string CProgramSettings::CalendarNameFromPath(const std::string& pathOrUrl) {
  if (pathOrUrl.empty()) return std::string();
  std::string text = pathOrUrl.substr(0, pathOrUrl.find('?'));
  text = text.substr(0, text.find('#'));

  size_t start = 0;
  size_t slash = text.find_last_of('\\');
  if (slash == std::string::npos) slash = text.find_last_of('/');
  if (slash != std::string::npos) start = slash + 1;
  size_t end = text.size();
  size_t dot = text.find_last_of('.');
  if (dot != std::string::npos && dot > start) end = dot;

  std::string name = text.substr(start, end - start);
  // A "-" in a file name stands for a blank (names become file names with
  // blanks turned into "-"); an escaped "%2D" is a real dash and is decoded
  // after this.
  for (char& c : name) {
    if (c == '-') c = ' ';
  }
  return DecodePercentEscapes(name);
}
