// Delimited text import: dates, times and columns of one line, the log,
// and the results box.
#include <gtest/gtest.h>

#include "convert_fixture.h"
#include "model/settings/program_settings.h"
#include "storage/convert/text_import.h"

namespace {

using converttest::KeepingTarget;
using converttest::ScriptedPrompts;
using converttest::ScratchFolder;

const char* const kBadDate = "Line number   1 : Error, invalid date. Event not imported.\r\n";
const char* const kBadTime = "Line number   1 : Warning, Event has invalid time.  Event imported without time.\r\n";

struct Outcome {
  std::string date;  // iCalendar text of the start ("" when not imported)
  int allDay;
  std::string log;
};

Outcome ImportOne(const std::string& line, const TextImportOptions& options) {
  KeepingTarget target;
  TextImportResult result;
  result.lines = 1;
  ImportTextLine(line, options, CDateTime(15, 6, 2026), &target, &result);
  if (target.events.empty()) return {"", -1, result.log};
  return {target.events[0]->start.FormatICal(CDateTime::kAsStored), target.events[0]->allDay, result.log};
}

TEST(TextImport, DatesAndTimesOfOneLine) {
  TextImportOptions mdy;  // defaults: name, type, date, time; month/day/year
  TextImportOptions ymd;
  ymd.dateOrder = 2;
  TextImportOptions dmyDash;
  dmyDash.dateOrder = 1;
  dmyDash.dateDelimiter = '-';
  const struct {
    const char* line;
    const TextImportOptions* options;
    Outcome expected;
  } cases[] = {
      {"Bob,Birthday,12/31/1998,7:30 pm", &mdy, {"19981231T193000", 0, ""}},
      {"Bob,Birthday,12/31/1998,19:30", &mdy, {"19981231T193000", 0, ""}},
      {"Bob,Birthday,12/31/1998,25:00", &mdy, {"19981231T000000", 1, kBadTime}},
      {"Bob,Birthday,12/31/1998,12:30 am", &mdy, {"19981231T003000", 0, ""}},
      {"Bob,Birthday,12/31/1998,9:00 am", &mdy, {"19981231T090000", 0, ""}},
      {"Bob,Birthday,12/31/1998,12:05 PM", &mdy, {"19981231T120500", 0, ""}},
      {"Bob,Birthday,12/31/1998,8:15:00", &mdy, {"19981231T081500", 0, ""}},
      {"Bob,Birthday,12/31/1998,1:2:3:4", &mdy, {"19981231T000000", 1, kBadTime}},
      {"Bob,Birthday,12/31/1998,99999999999:00", &mdy, {"19981231T000000", 1, kBadTime}},
      {"Bob,Birthday,12/31/1998", &mdy, {"19981231T000000", 1, ""}},
      {"Bob,Birthday,12/31/98", &mdy, {"19981231T000000", 1, ""}},
      {"Bob,Birthday,12/31/05", &mdy, {"20051231T000000", 1, ""}},
      {"Bob,Birthday,12/31", &mdy, {"20261231T000000", 1, ""}},
      {"Bob,Birthday,2/29/2023", &mdy, {"", -1, kBadDate}},
      {"Bob,Birthday,12/31/99999", &mdy, {"", -1, kBadDate}},
      {"Bob,Birthday,12/4294967297/1998", &mdy, {"", -1, kBadDate}},
      {"Name,Type,Date,Time", &mdy, {"", -1, kBadDate}},
      {"Bob,Birthday,1998/12", &ymd, {"", -1, kBadDate}},
      {"Bob,Birthday,1998/02/30", &ymd, {"", -1, kBadDate}},
      {"Bob,Birthday,1998/02/28", &ymd, {"19980228T000000", 1, ""}},
      {"Bob,Birthday,31-12-1998", &dmyDash, {"19981231T000000", 1, ""}},
      {"Bob,Birthday", &mdy, {"", -1, ""}},
      {"", &mdy, {"", -1, ""}},
  };
  for (const auto& c : cases) {
    const Outcome got = ImportOne(c.line, *c.options);
    EXPECT_EQ(c.expected.date, got.date) << c.line;
    EXPECT_EQ(c.expected.allDay, got.allDay) << c.line;
    EXPECT_EQ(c.expected.log, got.log) << c.line;
  }
}

TEST(TextImport, HeadingLinesOfTheListTextFile) {
  TextImportOptions comma, semicolon, tab, blank;
  semicolon.columnDelimiter = ';';
  tab.columnDelimiter = '\t';
  blank.columnDelimiter = ' ';
  const struct {
    const char* line;
    const TextImportOptions* options;
    bool heading;
  } cases[] = {
      {"Name,Type,Date,Time,Day,Age", &comma, true},
      {"Name,Type,Date,Time", &comma, true},
      {" name ; TYPE ;date;Time;Day;OrigYear", &semicolon, true},
      {"Name\tType\tDate\tTime\tDay\tAge", &tab, true},
      {"Name                                    Type      Date", &blank, true},
      {"Name,Type", &comma, false},  // no date column: passed over anyway
      {"Name,Type,Date,Notes", &comma, false},
      {"Bob,Birthday,12/31/1998,Time", &comma, false},
      {",,,", &comma, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.heading, IsTextHeadingLine(c.line, *c.options)) << c.line;
}

TEST(TextImport, ColumnsAndDefaults) {
  TextImportOptions o;
  o.SetColumnOrder("0231");  // date, name, type, time
  o.columnDelimiter = ';';
  o.alarmEnabled = false;
  o.leadTime = 2;
  o.leadUnits = "Hours";
  o.defaultFrequency = 7;
  KeepingTarget target;
  TextImportResult result;
  ImportTextLine("3/4/2020;  Ann  ; Anniversary ;10:00", o, CDateTime(1, 1, 2026), &target, &result);
  ASSERT_EQ(1u, target.events.size());
  const CCalEvent& e = *target.events[0];
  EXPECT_EQ("Ann", e.name);
  EXPECT_EQ("Anniversary", e.type);
  EXPECT_EQ(0, e.alarmOn);
  EXPECT_EQ(CDuration::Hours(2), e.leadTime);
  EXPECT_EQ(0, e.oneTime);
  ASSERT_NE(nullptr, e.recurrence.FindRule());
  EXPECT_EQ(CRecurrenceRule::kYearly, e.recurrence.FindRule()->frequency);

  o.SetColumnOrder("02");  // no type and no time column
  target.events.clear();
  ImportTextLine("3/4/2020;Ann;Extra;10:00", o, CDateTime(1, 1, 2026), &target, &result);
  ASSERT_EQ(1u, target.events.size());
  EXPECT_EQ("", target.events[0]->type);
  EXPECT_EQ(1, target.events[0]->allDay);
}

TEST(TextImport, FileRunWithLogAndResultBox) {
  ScratchFolder folder;
  const std::string path = folder.Write(
      "in.txt", "Name,Type,Date,Time,Day,Age\r\nBirthday Bob,Birthday,12/31/1998,7:30 pm\n" + std::string(1000, 'x') +
                    ",Long,1/2/2003,25:00\r\n\r\nLast,Work,5/6/2007,8:00\nName,Type,Date,Time");
  KeepingTarget target;
  ScriptedPrompts prompts;
  prompts.answers = {true};
  TextImportResult result;
  ASSERT_TRUE(RunTextImport(path, TextImportOptions(), &target, &prompts, &result));
  EXPECT_EQ(6, result.lines);
  EXPECT_EQ(3, result.added);
  ASSERT_EQ(3u, target.events.size());
  EXPECT_EQ(std::string(1000, 'x'), target.events[1]->name);
  ASSERT_EQ(1u, prompts.shown.size());
  EXPECT_EQ("1 event with warnings.\n1 event with errors.\n3 events successfully imported.\n\nView Import Log?",
            prompts.shown[0].text);
  EXPECT_EQ("Import Results", prompts.shown[0].caption);
  ASSERT_EQ(1u, prompts.logs.size());
  // The heading line the list's text file starts with is no error; the
  // same names further down are.
  EXPECT_EQ("Line number   3 : Warning, Event has invalid time.  Event imported without time.\r\n"
            "Line number   6 : Error, invalid date. Event not imported.\r\n",
            prompts.logs[0]);

  // Every line good: the short box; failed adds are no successes.
  ScriptedPrompts quiet;
  KeepingTarget refusing;
  refusing.refuse = true;
  ASSERT_TRUE(RunTextImport(folder.Write("ok.txt", "A,B,1/1/2001,1:00\n"), TextImportOptions(), &refusing, &quiet,
                            &result));
  ASSERT_EQ(1u, quiet.shown.size());
  EXPECT_EQ("0 events successfully imported.", quiet.shown[0].text);

  ScriptedPrompts missing;
  EXPECT_FALSE(RunTextImport(folder.Path("none.txt"), TextImportOptions(), &target, &missing, &result));
  ASSERT_EQ(1u, missing.shown.size());
  EXPECT_EQ("Error opening import file.", missing.shown[0].text);
  EXPECT_EQ("Import Error", missing.shown[0].caption);
}

TEST(TextImport, OptionsComeFromTheSettings) {
  CProgramSettings& s = g_Settings;
  s.ImportColumnOrder = "3x10";
  s.ImportColumnDelimeter = "";
  s.ImportDateDelimeter = "-.";
  const TextImportOptions o = TextImportOptions::FromSettings();
  EXPECT_EQ(',', o.columnDelimiter);  // an empty setting keeps the default
  EXPECT_EQ('-', o.dateDelimiter);
  EXPECT_EQ((std::vector<int>{3, 2, -1, 0}),
            (std::vector<int>{o.dateColumn, o.timeColumn, o.nameColumn, o.typeColumn}));
}

}  // namespace
