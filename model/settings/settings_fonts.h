// Fonts as the settings keep them: a text "face,height,weight,italic" with
// an optional fifth field for the character set, e.g.
// "Times New Roman,280,700,0" (height in tenths of a point), and the LOGFONT
// it describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The platform's LOGFONT (ANSI form), laid out byte for byte, so the shell
// can hand it to the font creation as it is.
struct LogFont {
  static constexpr int kFaceSize = 32;  // 31 characters and the NUL

  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = 0;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[kFaceSize] = {};
};
static_assert(sizeof(LogFont) == 60, "LogFont must match the platform's LOGFONTA");

// Cuts the text at every separator: an empty text gives no parts, two
// separators in a row give an empty part between them, the text after the
// last separator is the last part ("a,,b," gives "a", "", "b", "").
void SplitSettingsText(const std::string& text, char separator, std::vector<std::string>* parts);

// Fills *font from a font text: the font is cleared, the first field is the
// face name (cut to the 31 characters the face name holds), then height,
// weight and italic flag as decimal numbers, and the character set when a
// fifth field exists (else 0). A text with fewer than four fields is not a
// font: the result is false and *font is left unchanged.
bool ParseFontText(const std::string& text, LogFont* font);

// The font text of a LogFont, the form ParseFontText reads: face name,
// height, weight, italic as 0 or 1, and the character set as a fifth field
// only when it is not 0 ("Arial,100,700,1").
std::string FontText(const LogFont& font);
