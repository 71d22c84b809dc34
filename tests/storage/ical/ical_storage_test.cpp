// The converter over the document: imports into calendar files, ".ics"
// files opened as calendars, calendar exports.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "model/events/action_proof.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"
#include "tests/storage/ical/ical_fixture.h"
#include "tests/storage/storage_fixture.h"

namespace {

using storagetest::StorageTest;

const std::string kText = icaltest::Calendar(
    "X-WR-CALNAME:Team\r\n" + icaltest::Event("UID:a@x\r\nSUMMARY:First\r\nDTSTART:20260320T090000\r\n") +
    icaltest::Event("UID:b@x\r\nSUMMARY:Second\r\nDTSTART:20260321\r\nRRULE:FREQ=WEEKLY\r\n"));

class IcalStorage : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    InstallICalStorage();
  }
};

TEST_F(IcalStorage, ImportsIntoACalendarFileOnceWithOneViewUpdatePerRun) {
  const std::string file = NewCalendarFile("team.akv");
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {file});
  CCalendarFile* calendar = doc.events().size() == 0 ? doc.GetDefaultCalendar() : nullptr;
  ASSERT_NE(calendar, nullptr);
  for (int run = 0; run < 2; ++run) {
    shell.hints.clear();
    CICalConverter c(&StorageICalPrompts());
    ImportICalString(c, doc, *calendar, kText);
    EXPECT_EQ(c.GetAddedCount(), run == 0 ? 2 : 0);
    EXPECT_EQ(c.GetUpdatedCount(), 0);
    EXPECT_EQ(shell.hints, std::vector<int>{CAlmacoraDoc::kHintReloadAll});
  }
  EXPECT_EQ(calendar->name, "Team");  // it had only the name of its path

  // The events are in the file: a fresh document reads them back.
  CAlmacoraDoc again;
  storagetest::StartOn(&again, {file});
  ASSERT_NE(again.FindEventByUid("b@x", nullptr), nullptr);
  EXPECT_EQ(again.FindEventByUid("b@x", nullptr)->GetFrequency(), CRecurrenceRule::kWeekly);

  CICalConverter out;
  const std::string text = ExportCalendarICal(out, again.events(), again.GetDefaultCalendar());
  EXPECT_TRUE(icaltest::Contains(text, "SUMMARY:First")) << text;
  EXPECT_TRUE(icaltest::Contains(text, "SUMMARY:Second"));

  // A UID with a trailing blank and a one-second trigger come back from the
  // file as written, and a refresh of the same text finds the event.
  const std::string blank = icaltest::Calendar(icaltest::Event(
      "UID:c@x \r\nSUMMARY:Blank\r\nDTSTART:20260322T090000\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT1S\r\n"
      "END:VALARM\r\n"));
  for (int run = 0; run < 2; ++run) {
    CICalConverter c(&StorageICalPrompts());
    ImportICalString(c, again, *again.GetDefaultCalendar(), blank, run == 1);
    EXPECT_EQ(c.GetAddedCount(), run == 0 ? 1 : 0);
    EXPECT_EQ(c.GetUpdatedCount(), 0);
  }
  CAlmacoraDoc third;
  storagetest::StartOn(&third, {file});
  const CCalEvent* held = third.FindEventByUid("c@x ", nullptr);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->name, "Blank");
  EXPECT_EQ(held->leadTime, CDuration::Seconds(1));
  EXPECT_EQ(third.FindEventByUid("c@x", nullptr), nullptr);
}

// A refresh or an import over the UID of the user's armed mail changes its
// recipients: the mail is not armed until the user's yes, which the
// question (naming the new address) asks for; the text alone keeps it.
TEST_F(IcalStorage, WhatArrivesOverAKnownUidNeverRearmsAChangedAction) {
  const struct {
    const char* what;
    const char* alarm;
    bool refresh, asks;
  } cases[] = {
      {"refresh, new recipient", "ATTENDEE:mailto:attacker@evil.example\r\n", true, true},
      {"import, new recipient", "ATTENDEE:mailto:attacker@evil.example\r\n", false, true},
      {"refresh, same recipient", "ATTENDEE:mailto:me@example.org\r\nSUMMARY:s\r\nDESCRIPTION:b\r\n", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = NewCalendarFile(std::string(c.what) + ".akv");
    CAlmacoraDoc doc;
    storagetest::StartOn(&doc, {file});
    CCalEvent* mine = NewEvent("Mine", "mail@x");
    mine->start = CDateTime(20, 3, 2026);
    mine->alarmOn = mine->emailOn = 1;
    mine->emailTo = "me@example.org";
    mine->emailSubject = "s";
    mine->emailBody = "b";
    mine->armRequested = 1;
    ASSERT_EQ(1, doc.AddEvent(mine));
    prompts.texts.clear();
    prompts.answers = {false};
    CICalConverter converter(&StorageICalPrompts());
    ImportICalString(converter, doc, *doc.GetDefaultCalendar(),
                     icaltest::Calendar(icaltest::Event("UID:mail@x\r\nSUMMARY:Mine, moved\r\nDTSTART:20260321\r\n"
                                                        "BEGIN:VALARM\r\nACTION:EMAIL\r\nTRIGGER:-PT15M\r\n" +
                                                        std::string(c.alarm) + "END:VALARM\r\n")),
                     c.refresh);
    const CCalEvent* held = doc.FindEventByUid("mail@x", nullptr);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ("Mine, moved", held->name);
    EXPECT_EQ(!c.asks, actionproof::Proven(*held));
    ASSERT_EQ(c.asks ? 1u : 0u, prompts.texts.size());
    if (c.asks) {
      EXPECT_NE(std::string::npos, prompts.texts[0].find("sends e-mail to: attacker@evil.example"));
    }
  }
}

// The Import command's run: the skip notice for an event without a name,
// every other event imported, and a result message whose log can be read.
TEST_F(IcalStorage, TheImportCommandAsksSkipsAndReports) {
  struct Prompts : storagetest::FakePrompts {
    std::string log;
    int AskSkipOrCancel(const std::string& text) override {
      texts.push_back(text);
      return 1;
    }
    void ShowImportLog(const std::string& text) override { log = text; }
  } prompts;
  StorageServices services = Services();
  services.prompts = &prompts;
  ScopedStorageServices scoped(services);
  prompts.otherwise = true;
  const std::string file = NewCalendarFile("team.akv");
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {file});
  const std::string ics = Path("three.ics");
  std::ofstream(ics, std::ios::binary)
      << icaltest::Calendar(icaltest::Event("UID:1\r\nSUMMARY:One\r\nDTSTART:20260320T090000\r\n") +
                            icaltest::Event("UID:2\r\nDTSTART:20260321T090000\r\n") +
                            icaltest::Event("UID:3\r\nSUMMARY:Three\r\nDTSTART:20260322T090000\r\n"));
  ASSERT_TRUE(ImportICalFileReported(doc, *doc.GetDefaultCalendar(), ics));
  EXPECT_NE(doc.FindEventByUid("1", nullptr), nullptr);
  EXPECT_NE(doc.FindEventByUid("3", nullptr), nullptr);
  ASSERT_EQ(2u, prompts.texts.size());
  EXPECT_TRUE(icaltest::Contains(prompts.texts[0], "Missing Event Name"));
  EXPECT_EQ("Import complete.\n\n2 events added.\n0 events updated.\n1 event skipped.\n\nView Import Log?",
            prompts.texts[1]);
  EXPECT_TRUE(icaltest::Contains(prompts.log, "Missing Event Name"));
}

TEST_F(IcalStorage, AnIcsFileOpensAsACalendarInMemory) {
  const std::string path = Path("Team-Days.ics");
  std::ofstream(path, std::ios::binary) << kText;
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {});
  ASSERT_TRUE(doc.OpenEventFile(path, false));
  CCalEvent* first = doc.FindEventByUid("a@x", nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->calendar, nullptr);
  EXPECT_EQ(first->calendar->fileType, CCalendarFile::kMemoryOnly);
  EXPECT_EQ(first->calendar->name, "Team Days");
  EXPECT_NE(doc.FindEventByUid("b@x", first->calendar), nullptr);
}

// The event-file import reads calendar files only: an ".ics" picked there
// would bring events of a calendar that dies with the import.
TEST_F(IcalStorage, TheEventFileImportRefusesAnIcsFile) {
  const std::string path = Path("picked.ics");
  std::ofstream(path, std::ios::binary) << kText;
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {NewCalendarFile("target.akv")});
  {
    CCalendarFile source;
    source.importTarget = doc.GetDefaultCalendar();
    EXPECT_EQ(0, source.Open(&doc.events(), path));
    source.Close(nullptr);
  }
  EXPECT_EQ(0u, doc.events().size());
  EXPECT_EQ(prompts.texts, std::vector<std::string>{"Error Reading Events File\nNot a Valid Events File"});
}

}  // namespace
