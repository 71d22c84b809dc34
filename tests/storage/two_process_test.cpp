// Two programs on one calendar file: each sees the other's adds after one
// re-sync, concurrent adds get unique serials, and a save over the other's
// newer change (or of an event in the editor that the other changed) asks
// first and writes nothing on No.
#include <filesystem>
#include <fstream>
#include <set>

#include "model/events/action_proof.h"
#include "storage/calendar_backup.h"
#include "storage/storage_texts.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/child_process.h"

namespace storagetest {
namespace {

constexpr int kEach = 500;
constexpr int kWaitMs = 240000;


void Signal(const std::string& dir, const std::string& name) { testsupport::TouchFile(dir + "/" + name); }

bool Await(const std::string& dir, const std::string& name) { return testsupport::WaitForFile(dir + "/" + name, kWaitMs); }

void AddMany(CAlmacoraDoc* doc, const std::string& side) {
  for (int i = 0; i < kEach; ++i) {
    CCalEvent* e = new CCalEvent();
    e->name = side + std::to_string(i);
    ASSERT_EQ(1, doc->AddEvent(e)) << e->name;
  }
}

// Serials of the document's events: all distinct, and how many.
size_t DistinctSerials(CAlmacoraDoc* doc) {
  std::set<int32_t> serials;
  for (CCalEvent* e : doc->events().items()) serials.insert(e->changeSerial);
  return serials.size();
}

using TwoProcessTest = StorageTest;

TEST_F(TwoProcessTest, ChildAddsAlongside) {
  if (testsupport::ChildRole() != "adder") GTEST_SKIP();
  const std::string dir = testsupport::ChildValue("DIR");
  CAlmacoraDoc doc;
  StartOn(&doc, {testsupport::ChildValue("FILE")});
  Signal(dir, "b-ready");
  ASSERT_TRUE(Await(dir, "a-first"));
  shell.hints.clear();
  doc.ResyncCalendars();
  ASSERT_EQ(1u, doc.events().size());
  EXPECT_EQ("A first", doc.events().at(0)->name);
  EXPECT_EQ(std::vector<int>{3}, shell.hints);
  Signal(dir, "b-saw");
  ASSERT_TRUE(Await(dir, "go"));
  AddMany(&doc, "B");
  Signal(dir, "b-done");
  ASSERT_TRUE(Await(dir, "a-done"));
  doc.ResyncCalendars();
  EXPECT_EQ(2u * kEach + 1, doc.events().size());
  EXPECT_EQ(2u * kEach + 1, DistinctSerials(&doc));
}

TEST_F(TwoProcessTest, BothSidesAddAtOnceAndSeeEverything) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string file = NewCalendarFile("shared.akv");
  const std::string dir = dir_.string();
  platform::ChildProcess* child =
      testsupport::StartChildTest("TwoProcessTest.ChildAddsAlongside", "adder", {"DIR=" + dir, "FILE=" + file});
  ASSERT_NE(nullptr, child);
  CAlmacoraDoc doc;
  StartOn(&doc, {file});
  ASSERT_TRUE(Await(dir, "b-ready"));
  CCalEvent* first = new CCalEvent();
  first->name = "A first";
  ASSERT_EQ(1, doc.AddEvent(first));
  Signal(dir, "a-first");
  ASSERT_TRUE(Await(dir, "b-saw"));
  Signal(dir, "go");
  AddMany(&doc, "A");
  Signal(dir, "a-done");
  ASSERT_TRUE(Await(dir, "b-done"));
  shell.hints.clear();
  doc.ResyncCalendars();
  // At most one update: A's own adds may have merged all of B's already.
  EXPECT_LE(shell.hints.size(), 1u);
  EXPECT_EQ(2u * kEach + 1, doc.events().size());
  EXPECT_EQ(2u * kEach + 1, DistinctSerials(&doc));
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
}

TEST_F(TwoProcessTest, ChildSavesOverNewerChanges) {
  if (testsupport::ChildRole() != "saver") GTEST_SKIP();
  const std::string dir = testsupport::ChildValue("DIR");
  CAlmacoraDoc doc;
  StartOn(&doc, {testsupport::ChildValue("FILE")});
  CCalEvent* mine = doc.FindEventByUid("shared-uid", nullptr);
  ASSERT_NE(nullptr, mine);
  Signal(dir, "b-ready");
  ASSERT_TRUE(Await(dir, "a-changed"));
  // A saved a newer sequence: B's save asks, and No writes nothing.
  mine->name = "B's change";
  prompts.answers = {false};
  EXPECT_EQ(IEventDocument::kSaveDeclined, doc.SaveEvent(*mine, 1, 0, 1));
  EXPECT_EQ(std::vector<std::string>{storage_text::kChangedByOther}, prompts.texts);
  EXPECT_EQ("B's change", mine->name);  // still usable
  // Now open in B's editor while A changes it again.
  mine->MarkInEdit();
  Signal(dir, "b-editing");
  ASSERT_TRUE(Await(dir, "a-changed-again"));
  doc.ResyncCalendars();
  EXPECT_EQ(1, mine->conflictMark);
  prompts.texts.clear();
  prompts.answers = {false};
  doc.SaveEvent(*mine, 1, 0, 1);
  EXPECT_EQ(std::vector<std::string>{storage_text::kChangedByOther}, prompts.texts);
  EXPECT_EQ("B's change", mine->name);
  mine->inEdit = 0;
  CCalEvent* merged = doc.FindEventByUid("shared-uid", nullptr);
  ASSERT_NE(nullptr, merged);
  EXPECT_EQ("A again", merged->name);
}

TEST_F(TwoProcessTest, ASaveOverANewerChangeAsksAndNoWritesNothing) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  std::string file;
  {
    CCalendarFile created;
    ASSERT_EQ(1, created.CreateFile(Path("conflict.akv")));
    CEventArray events;
    ASSERT_EQ(1, created.AddEvent(NewEvent("original", "shared-uid"), 0, &events));
    file = created.path;
  }
  const std::string dir = dir_.string();
  platform::ChildProcess* child =
      testsupport::StartChildTest("TwoProcessTest.ChildSavesOverNewerChanges", "saver", {"DIR=" + dir, "FILE=" + file});
  ASSERT_NE(nullptr, child);
  CAlmacoraDoc doc;
  StartOn(&doc, {file});
  CCalEvent* mine = doc.FindEventByUid("shared-uid", nullptr);
  ASSERT_NE(nullptr, mine);
  ASSERT_TRUE(Await(dir, "b-ready"));
  mine->name = "A's change";
  ASSERT_EQ(1, doc.SaveEvent(*mine, 1, 0, 1));
  Signal(dir, "a-changed");
  ASSERT_TRUE(Await(dir, "b-editing"));
  mine->name = "A again";
  ASSERT_EQ(1, doc.SaveEvent(*mine, 1, 0, 1));
  Signal(dir, "a-changed-again");
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
  EXPECT_TRUE(prompts.texts.empty());
  // B wrote nothing: a fresh load has A's last change.
  CAlmacoraDoc fresh;
  StartOn(&fresh, {file});
  ASSERT_EQ(1u, fresh.events().size());
  EXPECT_EQ("A again", fresh.FindEventByUid("shared-uid", nullptr)->name);
}

// ---- Calendar files from another installation.

// The other installation (a process with a profile of its own): writes a
// calendar whose alarms run a program and send mail, and one of an
// earlier version's kind (an armed event without a mark).
TEST_F(TwoProcessTest, ChildWritesCalendarsElsewhere) {
  if (testsupport::ChildRole() != "elsewhere") GTEST_SKIP();
  g_Settings.AlarmRunEnabled = 0;
  g_Settings.AlarmEmailEnabled = 0;
  CEventArray events;
  CCalendarFile armed;
  ASSERT_EQ(1, armed.CreateFile(testsupport::ChildValue("FILE")));
  CCalEvent* run = NewEvent("Run it", "run-uid");
  run->alarmOn = 1;
  run->runOn = 1;
  run->runFile = "cmd.exe";
  run->runParameters = "/c echo armed> " + testsupport::ChildValue("TARGET");
  ASSERT_EQ(1, armed.AddEvent(run, 0, &events));
  CCalEvent* mail = NewEvent("Mail it", "mail-uid");
  mail->emailOn = 1;
  mail->emailTo = "x@example.org";
  ASSERT_EQ(1, armed.AddEvent(mail, 0, &events));
  ASSERT_EQ(1, armed.AddEvent(NewEvent("Plain", "plain-uid"), 0, &events));
  // Following a setting that is off here: armed only where it is on, and
  // so without a mark, as every record of an earlier version.
  CCalendarFile old;
  ASSERT_EQ(1, old.CreateFile(testsupport::ChildValue("OLD")));
  CCalEvent* unmarked = NewEvent("Old", "old-uid");
  unmarked->runFile = "notepad.exe";
  ASSERT_EQ(1, old.AddEvent(unmarked, 0, &events));
  EXPECT_TRUE(unmarked->armedBy.empty());
  armed.Close(&events);
  old.Close(&events);
}

class ForeignFileTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    g_Settings.InstallationSecret = "this-installation's key";
    g_Settings.InstallationMark.clear();
    g_Settings.AlarmRunEnabled = 1;
    g_Settings.AlarmEmailEnabled = 0;
    armed_ = Path("foreign.akv");
    old_ = Path("old.akv");
    target_ = Path("pwned.txt");
    ASSERT_EQ(0, testsupport::RunChildTest("TwoProcessTest.ChildWritesCalendarsElsewhere", "elsewhere",
                                           {"FILE=" + armed_, "OLD=" + old_, "TARGET=" + target_}));
  }
  // A copy of the foreign calendar for one case.
  std::string Copy(const std::string& name) {
    std::filesystem::copy_file(armed_, Path(name), std::filesystem::copy_options::overwrite_existing);
    return Path(name);
  }
  const CCalEvent* Find(CAlmacoraDoc& doc, const char* uid) { return doc.FindEventByUid(uid, nullptr); }
  std::string armed_, old_, target_;
};

// Whichever way the file comes in, its actions are not armed here, one
// question names the calendar, its file, the events and what they would
// do, and No leaves the file as it was (a snooze's save included), also
// while the run setting is off.
TEST_F(ForeignFileTest, EveryOpenHoldsItsActionsAndAsksOnce) {
  const std::string backup = Copy("backup.akv");
  struct Case {
    const char* way;
    void (*open)(CAlmacoraDoc& doc, const std::string& path, const std::string& backup);
  } cases[] = {
      {"listed at start", [](CAlmacoraDoc& d, const std::string& p, const std::string&) { StartOn(&d, {p}); }},
      {"command line", [](CAlmacoraDoc& d, const std::string& p, const std::string&) { StartOn(&d, {}, p); }},
      {"Open", [](CAlmacoraDoc& d, const std::string& p, const std::string&) {
         StartOn(&d, {});
         d.OpenEventFile(p, false);
       }},
      {"closed, then opened", [](CAlmacoraDoc& d, const std::string& p, const std::string&) {
         g_Settings.DataFilePaths = {p};
         g_Settings.DataFileEnabled = {0};
         d.Start("");
         CCalendarFile* c = d.calendars().items().at(0);
         c->openState = CCalendarFile::kOpen;
         c->OpenFile(&d.events(), c->path);
       }},
      {"restored", [](CAlmacoraDoc& d, const std::string& p, const std::string& b) {
         StartOn(&d, {});
         if (calbackup::RestoreIntoDocument(&d, b, p).restored) calbackup::OpenRestoredCalendar(&d, p);
       }},
      {"settings off", [](CAlmacoraDoc& d, const std::string& p, const std::string&) {
         g_Settings.AlarmRunEnabled = 0;
         StartOn(&d, {p});
         g_Settings.AlarmRunEnabled = 1;
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    const std::string path = Copy("case" + std::to_string(++n) + ".akv");
    const std::vector<uint8_t> before = ReadFileBytes(path);
    prompts.texts.clear();
    prompts.answers = {false};
    CAlmacoraDoc doc;
    c.open(doc, path, backup);
    ASSERT_EQ(1u, prompts.texts.size());
    const std::string& q = prompts.texts[0];
    EXPECT_NE(std::string::npos, q.find("\"Run it\" runs: cmd.exe /c echo armed> " + target_)) << q;
    EXPECT_NE(std::string::npos, q.find("\"Mail it\" sends e-mail to: x@example.org")) << q;
    EXPECT_EQ(std::string::npos, q.find("Plain")) << q;
    EXPECT_NE(std::string::npos, q.find("(" + path + ")")) << q;
    ASSERT_NE(nullptr, Find(doc, "run-uid"));
    EXPECT_FALSE(actionproof::Proven(*Find(doc, "run-uid")));
    EXPECT_FALSE(actionproof::Proven(*Find(doc, "mail-uid")));
    EXPECT_TRUE(ReadFileBytes(path) == before);
    // A snooze saves the record: the other machine's action stays as it was.
    CCalEvent* run = doc.FindEventByUid("run-uid", nullptr);
    const std::string theirs = run->armedBy;
    run->SetSnoozeTime(run->nextOccurrence, CDateTime::NowUtc());
    CAlmacoraDoc reread;
    prompts.answers = {false};
    StartOn(&reread, {path});
    EXPECT_EQ(1, Find(reread, "run-uid")->runOn);
    EXPECT_EQ(theirs, Find(reread, "run-uid")->armedBy);
    EXPECT_FALSE(actionproof::Proven(*Find(reread, "run-uid")));
  }
  EXPECT_FALSE(std::filesystem::exists(target_));
}

// Yes arms them here for good; an import never asks and keeps them off.
TEST_F(ForeignFileTest, YesArmsThemHereAndAnImportNeverAsks) {
  const std::string path = Copy("yes.akv");
  {
    prompts.answers = {true};
    CAlmacoraDoc doc;
    StartOn(&doc, {path});
    EXPECT_EQ(1u, prompts.texts.size());
    EXPECT_EQ(1, Find(doc, "run-uid")->runOn);
    EXPECT_EQ(1, Find(doc, "mail-uid")->emailOn);
    EXPECT_TRUE(actionproof::Proven(*Find(doc, "run-uid")));
  }
  prompts.texts.clear();
  {
    CAlmacoraDoc doc;
    StartOn(&doc, {path});
    EXPECT_TRUE(prompts.texts.empty());
    EXPECT_TRUE(actionproof::Proven(*Find(doc, "run-uid")));
  }
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("into.akv")});
  CCalendarFile import;
  import.importTarget = doc.calendars().items()[0];
  ASSERT_EQ(1, import.Open(&doc.events(), Copy("imported.akv")));
  EXPECT_TRUE(prompts.texts.empty());
  EXPECT_EQ(0, Find(doc, "run-uid")->runOn);
}

// The upgrade: the calendars an earlier version's profile lists keep their
// unmarked actions without a question, proven once at that start; a new
// profile, a file it did not list, or a backup restored over a listed
// file at a later start asks.
TEST_F(ForeignFileTest, AnEarlierVersionsListedCalendarsKeepTheirActions) {
  struct Case {
    const char* what;
    int settingsCreated;
    bool listed;
    bool asks;
  } cases[] = {
      {"upgraded profile, listed", 0, true, false},
      {"upgraded profile, opened later", 0, false, true},
      {"new profile", 1, true, true},
  };
  const std::string backup = Path("old-backup.akv");
  std::filesystem::copy_file(old_, backup);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_Settings.InstallationSecret.clear();
    g_Settings.SettingsCreated = c.settingsCreated;
    std::filesystem::remove(old_);
    std::filesystem::copy_file(backup, old_);
    prompts.texts.clear();
    CAlmacoraDoc doc;
    if (c.listed) {
      StartOn(&doc, {old_});
    } else {
      StartOn(&doc, {NewCalendarFile("mine.akv")});
      doc.OpenEventFile(old_, false);
    }
    EXPECT_EQ(c.asks ? 1u : 0u, prompts.texts.size());
    ASSERT_NE(nullptr, Find(doc, "old-uid"));
    EXPECT_EQ(!c.asks, actionproof::Proven(*Find(doc, "old-uid")));
    EXPECT_FALSE(g_Settings.InstallationSecret.empty());
  }
  // The adoption was once: the earlier version's backup restored over the
  // listed file at a later start asks.
  std::filesystem::remove(old_);
  std::filesystem::copy_file(backup, old_);
  prompts.texts.clear();
  CAlmacoraDoc later;
  StartOn(&later, {old_});
  EXPECT_EQ(1u, prompts.texts.size());
  EXPECT_FALSE(actionproof::Proven(*Find(later, "old-uid")));
  g_Settings.SettingsCreated = 0;
}

// The automatic publish (a server that may take minutes) runs after the
// save has let go of the file: the other program saves in the meantime.
std::string g_publishDir;
bool g_savedDuringPublish = false;
void PublishWhileOtherSaves(CCalendarFile&, int) {
  Signal(g_publishDir, "a-publishing");
  g_savedDuringPublish = Await(g_publishDir, "b-saved");
}

TEST_F(TwoProcessTest, ChildSavesWhileAPublishes) {
  if (testsupport::ChildRole() != "publish-saver") GTEST_SKIP();
  const std::string dir = testsupport::ChildValue("DIR");
  CAlmacoraDoc doc;
  StartOn(&doc, {testsupport::ChildValue("FILE")});
  ASSERT_TRUE(Await(dir, "a-publishing"));
  CCalEvent* e = new CCalEvent();
  e->name = "B during publish";
  const int added = doc.AddEvent(e);
  Signal(dir, "b-saved");
  EXPECT_EQ(1, added);
  EXPECT_TRUE(prompts.texts.empty());
}

TEST_F(TwoProcessTest, AnotherProgramSavesWhileOnePublishes) {
  if (!testsupport::ChildRole().empty()) GTEST_SKIP();
  const std::string file = NewCalendarFile("published.akv");
  g_publishDir = dir_.string();
  platform::ChildProcess* child = testsupport::StartChildTest("TwoProcessTest.ChildSavesWhileAPublishes",
                                                              "publish-saver", {"DIR=" + g_publishDir, "FILE=" + file});
  ASSERT_NE(nullptr, child);
  CAlmacoraDoc doc;
  StartOn(&doc, {file});
  CCalendarFile* calendar = doc.calendars().FindByPath(file);
  ASSERT_NE(nullptr, calendar);
  calendar->published = calendar->publishAfterSave = 1;
  CCalendarFile::SetAutoPublisher(&PublishWhileOtherSaves);
  CCalEvent* e = new CCalEvent();
  e->name = "A published";
  const int added = doc.AddEvent(e);
  CCalendarFile::SetAutoPublisher(nullptr);
  EXPECT_EQ(1, added);
  EXPECT_TRUE(g_savedDuringPublish);
  EXPECT_EQ(0, testsupport::WaitChildTest(child));
  doc.ResyncCalendars();
  EXPECT_EQ(2u, doc.events().size());
}

}  // namespace
}  // namespace storagetest
