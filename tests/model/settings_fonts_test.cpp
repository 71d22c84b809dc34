// Font texts written from a LogFont read back to the same font, and the
// fifth field appears only for a character set.
#include "model/settings/settings_fonts.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FontText, WritesWhatParseFontTextReads) {
  struct Case {
    const char* face;
    int32_t height, weight;
    uint8_t italic, charSet;
    const char* text;
  };
  const Case cases[] = {
      {"Arial", 100, 700, 1, 0, "Arial,100,700,1"},
      {"MS Sans Serif", 80, 400, 0, 0, "MS Sans Serif,80,400,0"},
      {"Tahoma", 120, 400, 255, 204, "Tahoma,120,400,1,204"},  // any italic byte writes 1
      {"", -90, 0, 0, 0, ",-90,0,0"},
  };
  for (const Case& c : cases) {
    LogFont f;
    std::strcpy(f.lfFaceName, c.face);
    f.lfHeight = c.height;
    f.lfWeight = c.weight;
    f.lfItalic = c.italic;
    f.lfCharSet = c.charSet;
    EXPECT_EQ(FontText(f), c.text);
    LogFont back;
    ASSERT_TRUE(ParseFontText(FontText(f), &back));
    EXPECT_EQ(back.lfHeight, c.height);
    EXPECT_EQ(back.lfCharSet, c.charSet);
    EXPECT_STREQ(back.lfFaceName, c.face);
  }
  LogFont full;
  std::memset(full.lfFaceName, 'x', LogFont::kFaceSize);  // no NUL in the field
  EXPECT_EQ(FontText(full).find(','), static_cast<size_t>(LogFont::kFaceSize));
}
