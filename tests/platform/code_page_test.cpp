// ANSI code page <-> UTF-8: the Windows-1252 table on POSIX, the system's
// code page (1252 under the test locale) on Win32; text that is not UTF-8
// reads as Windows-1252.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace {

TEST(CodePage, BothWays) {
  struct Case {
    const char* ansi;
    const char* utf8;
  } cases[] = {
      {"plain", "plain"},
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"\x80 \x9F \xFF", "\xE2\x82\xAC \xC5\xB8 \xC3\xBF"},  // euro, Y diaeresis, y diaeresis
      {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::AnsiToUtf8(c.ansi), c.utf8) << c.ansi;
    EXPECT_EQ(platform::Utf8ToAnsi(c.utf8), c.ansi) << c.ansi;
    EXPECT_EQ(platform::Windows1252ToUtf8(c.ansi), c.utf8);
  }
}

TEST(CodePage, InvalidUtf8ReadsAsWindows1252AndMissingCharactersBecomeQuestionMarks) {
  struct Case {
    const char* in;
    bool valid;
    const char* ansi;
  } cases[] = {
      {"Caf\xE9", false, "Caf\xE9"},           // an older writer's ANSI
      {"\xC0\xAF", false, "\xC0\xAF"},         // overlong
      {"\xED\xA0\x80", false, "\xED\xA0\x80"},  // surrogate
      {"\xE2\x82", false, "\xE2\x82"},         // cut short
      {"\xE4\xB8\xAD", true, "?"},             // a character 1252 lacks
      // UTF-8 with damage: each valid sequence kept, each bad part one '?'
      // (the bytes a sequence cut short had so far count as one part).
      {"caf\xC3\xA9\x80", false, "caf\xE9?"},
      {"\xC3\xA9 \xE2\x82 \xF0\x9F\x98", false, "\xE9 ? ?"},
      {"\xC3\xA9\xED\xA0\x80\xC0\xAF", false, "\xE9?????"},
      {"\xE2\x82\xAC\xFF\xC3", false, "\x80??"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsValidUtf8(c.in), c.valid) << c.in;
    EXPECT_EQ(platform::Utf8ToAnsi(c.in), c.ansi) << c.in;
  }
}

}  // namespace
