// The import and export option choices as the dialogs store and show them.
#include "storage/import_export_options.h"

#include <gtest/gtest.h>

#include <string>

namespace ie = importexport;

TEST(ImportExportOptions, ColumnOrderListsEachKindOnce) {
  const struct {
    const char* stored;
    const char* listed;  // first letters of the kinds
    const char* saved;
  } cases[] = {
      {"2310", "NTTD", "2310"}, {"2301", "NTDT", "2301"}, {"00", "DTNT", "0123"},
      {"", "DTNT", "0123"},     {"3x9", "TDTN", "3012"},  {"1111", "TDNT", "1023"},
  };
  for (const auto& c : cases) {
    std::string letters;
    for (int k : ie::ParseColumnOrder(c.stored)) letters += ie::ColumnKindName(k)[0];
    EXPECT_EQ(letters, c.listed) << c.stored;
    EXPECT_EQ(ie::ColumnOrderText(ie::ParseColumnOrder(c.stored)), c.saved) << c.stored;
  }
}

TEST(ImportExportOptions, ExampleDateAndChoices) {
  EXPECT_EQ(ie::ExampleDate(0, "/"), "Example Date :  12/31/1998");
  EXPECT_EQ(ie::ExampleDate(1, "-x"), "Example Date :  31-12-1998");
  EXPECT_EQ(ie::ExampleDate(2, "-"), "Example Date :  1998-12-31");
  EXPECT_EQ(ie::ExampleDate(2, ""), "Example Date :  1998/12/31");
  const int freqs[] = {0, 4, 5, 6, 7};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ie::FreqToChoice(freqs[i]), i);
    EXPECT_EQ(ie::ChoiceToFreq(i), freqs[i]);
    EXPECT_EQ(ie::DelimiterChoice(ie::DelimiterCharacter(i)), i);
  }
  EXPECT_EQ(ie::FreqToChoice(3), 0);
  EXPECT_EQ(ie::DelimiterChoice('|'), 0);
  EXPECT_EQ(ie::DelimiterCharacter(1), '\t');
}
