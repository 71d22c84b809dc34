// The imports and the old-file conversion through the document and the
// calendar file: what reaches memory and the file, the view updates, and
// the questions.
#include <gtest/gtest.h>

#include "storage/event_array.h"
#include "storage_fixture.h"

namespace {

using storagetest::StartOn;

class ConvertingPrompts : public storagetest::FakePrompts {
 public:
  std::string chosen;
  std::vector<std::string> logs;
  std::vector<std::string> proposed;
  bool SelectNewFileName(const std::string& name, std::string* path) override {
    proposed.push_back(name);
    *path = chosen;
    return !chosen.empty();
  }
  void ShowImportLog(const std::string& text) override { logs.push_back(text); }
};

class ImportBridgeTest : public storagetest::StorageTest {
 protected:
  ImportBridgeTest() : scoped_(Services()) {}
  StorageServices Services() {
    StorageServices s;
    s.prompts = &convertPrompts;
    s.shell = &shell;
    return s;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  // The names of the events stored in a calendar file.
  size_t StoredEvents(const std::string& path) {
    CCalendarFile file;
    CEventArray events;
    EXPECT_EQ(1, file.Open(&events, path));
    return events.size();
  }
  ConvertingPrompts convertPrompts;
  ScopedStorageServices scoped_;
};

TEST_F(ImportBridgeTest, VCalendarTwiceKeepsOneEventPerUidWithOneUpdatePerRun) {
  const std::string work = NewCalendarFile("work.akv");
  CAlmacoraDoc doc;
  StartOn(&doc, {work});
  const std::string vcs = Write(
      "in.vcs",
      "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n"
      "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260401T090000\r\nSUMMARY:A\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20260402T090000\r\nSUMMARY:B\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nDTSTART:20260403T090000\r\nSUMMARY:No uid\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  CCalendarFile* calendar = doc.calendars().items()[0];
  shell.hints.clear();
  doc.ImportVCalendar(vcs, calendar);
  doc.ImportVCalendar(vcs, calendar);
  EXPECT_EQ((std::vector<int>{3, 3}), shell.hints);
  EXPECT_EQ(4u, doc.events().size());
  EXPECT_NE(nullptr, doc.FindEventByUid("a", calendar));
  // Each run ends with the counts the iCalendar import shows; a file that
  // cannot be read says so.
  doc.ImportVCalendar(Write("bad.vcs", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:No start\r\nEND:VEVENT\r\n"
                                       "END:VCALENDAR\r\n"),
                      calendar);
  doc.ImportVCalendar(Path("none.vcs"), calendar);
  EXPECT_EQ((std::vector<std::string>{"Import complete.\n\n3 events added.\n0 events updated.\n0 events skipped.",
                                      "Import complete.\n\n1 event added.\n2 events updated.\n0 events skipped.",
                                      "Import complete.\n\n0 events added.\n0 events updated.\n1 event skipped.",
                                      "Error opening file"}),
            convertPrompts.texts);
  doc.CloseEventFile(calendar);
  EXPECT_EQ(4u, StoredEvents(work));
}

TEST_F(ImportBridgeTest, TextImportReportsAndRefreshesOnce) {
  const std::string work = NewCalendarFile("work.akv");
  CAlmacoraDoc doc;
  StartOn(&doc, {work});
  g_Settings.ImportColumnOrder = "2301";
  g_Settings.ImportColumnDelimeter = ",";
  g_Settings.ImportDateDelimeter = "/";
  g_Settings.ImportDateOrder = 0;
  g_Settings.ImportDefaultFreq = 0;
  const std::string txt = Write("in.txt", "Name,Type,Date,Time\r\nBirthday Bob,Birthday,12/31/1998,7:30 pm\r\n");
  shell.hints.clear();
  doc.ImportTextFile(doc.calendars().items()[0], txt);
  EXPECT_EQ((std::vector<int>{3}), shell.hints);
  ASSERT_EQ(1u, doc.events().size());
  EXPECT_EQ("Birthday Bob", doc.events().at(0)->name);
  EXPECT_EQ((std::vector<std::string>{"1 event successfully imported."}), convertPrompts.texts);
  EXPECT_TRUE(convertPrompts.logs.empty());
}

TEST_F(ImportBridgeTest, OpeningAnOldFileConvertsItIntoTheChosenFile) {
  std::string record(458, '\0');
  record[0] = 5, record[2] = 6, record[4] = static_cast<char>(2001 & 0xFF), record[5] = 2001 >> 8;
  record[6] = record[7] = '\xFF';
  record[302] = 1;
  record.replace(14, 4, "Old!");
  const std::string bytes = std::string("Almacora 3.50 Event File").replace(9, 4, "2.00") + record;
  const std::string old = Write("mine.dat", bytes);
  convertPrompts.answers = {true};
  convertPrompts.chosen = Path("mine.akv");
  CCalendarFile calendar;
  CEventArray events;
  ASSERT_EQ(1, calendar.Open(&events, old)) << ::testing::PrintToString(convertPrompts.texts);
  EXPECT_EQ((std::vector<std::string>{"events20.akv"}), convertPrompts.proposed);
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ("Old!", events.at(0)->name);
  EXPECT_FALSE(events.at(0)->uid.empty());
  EXPECT_EQ("mine", calendar.name);
  EXPECT_EQ(Path("mine.akv"), calendar.path);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), storagetest::ReadFileBytes(old));

  // A 1.2 file shorter than an engine header is one too.
  std::string r12(112, '\0');
  r12[0] = 1, r12[2] = 2, r12[4] = static_cast<char>(1990 & 0xFF), r12[5] = 1990 >> 8, r12[52] = 1;
  convertPrompts.answers = {true};
  convertPrompts.chosen = Path("twelve.akv");
  CCalendarFile twelve;
  ASSERT_EQ(1, twelve.Open(&events, Write("events.dat", r12))) << ::testing::PrintToString(convertPrompts.texts);
  EXPECT_EQ(2u, events.size());

  // Whatever the engine makes of the bytes after an old header (this
  // record reads as too large a node size), the file is converted.
  record[0] = 3, record[2] = 4;
  record.replace(14, 7, "Old 2.x");
  convertPrompts.answers = {true};
  convertPrompts.chosen = Path("third.akv");
  CCalendarFile third;
  ASSERT_EQ(1, third.Open(&events, Write("old20.dat", std::string("Almacora 2.00 Event File") + record)))
      << ::testing::PrintToString(convertPrompts.texts);
  EXPECT_EQ(3u, events.size());

  // Nothing to convert from the menu: the program folder holds no old file.
  CCalendarFile fresh;
  EXPECT_EQ(0, fresh.ConvertOldEventFiles(&events, true));
  EXPECT_EQ("Previous version data file not found.", convertPrompts.texts.back());
}

}  // namespace
