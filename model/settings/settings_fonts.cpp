#include "model/settings/settings_fonts.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A decimal field as the profile's font texts hold it; anything unreadable
// is 0 and out-of-range values are clamped (atoi would be undefined).
long ParseNumber(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str()) return 0;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return v;
}

}  // namespace

void SplitSettingsText(const std::string& text, char separator, std::vector<std::string>* parts) {
  parts->clear();
  if (text.empty()) return;
  size_t start = 0;
  for (;;) {
    size_t next = text.find(separator, start);
    if (next == std::string::npos) {
      parts->push_back(text.substr(start));
      return;
    }
    parts->push_back(text.substr(start, next - start));
    start = next + 1;
  }
}

bool ParseFontText(const std::string& text, LogFont* font) {
  std::vector<std::string> parts;
  SplitSettingsText(text, ',', &parts);
  if (parts.size() < 4) return false;
  LogFont f;
  // The face name field holds 31 characters and its NUL; a longer stored
  // name is cut instead of overrunning the structure.
  std::strncpy(f.lfFaceName, parts[0].c_str(), LogFont::kFaceSize - 1);
  f.lfFaceName[LogFont::kFaceSize - 1] = '\0';
  f.lfHeight = static_cast<int32_t>(ParseNumber(parts[1]));
  f.lfWeight = static_cast<int32_t>(ParseNumber(parts[2]));
  f.lfItalic = static_cast<uint8_t>(ParseNumber(parts[3]));
  if (parts.size() >= 5) f.lfCharSet = static_cast<uint8_t>(ParseNumber(parts[4]));
  *font = f;
  return true;
}

std::string FontText(const LogFont& font) {
  // The face name may fill its field without a NUL; never read past it.
  std::string text(font.lfFaceName, strnlen(font.lfFaceName, LogFont::kFaceSize));
  text += ',' + std::to_string(font.lfHeight) + ',' + std::to_string(font.lfWeight) + ',' +
          (font.lfItalic ? "1" : "0");
  if (font.lfCharSet != 0) text += ',' + std::to_string(font.lfCharSet);
  return text;
}
