// Backup copies and restores: names, copies of open calendars, and file
// faults that must harm neither the live calendar nor the last good copy.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "model/recurrence/recurrence_rule.h"
#include "platform/os_file_faults.h"
#include "storage/calendar_backup.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using calbackup::BackupFileName;
using calbackup::BackupFileNames;
using calbackup::BackupFolder;

class BackupTest : public StorageTest {
 protected:
  void TearDown() override {
    platform::DisarmFileFaults();
    StorageTest::TearDown();
  }

  std::string Calendar(const std::string& name, const std::vector<std::string>& eventNames) {
    CCalendarFile file;
    EXPECT_EQ(1, file.CreateFile(Path(name)));
    CEventArray array;
    for (const std::string& n : eventNames) EXPECT_EQ(1, file.AddEvent(NewEvent(n), 0, &array));
    return file.path;
  }

  void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  std::vector<std::string> LeftoverTemporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_))
      if (entry.path().string().find(".tmp~") != std::string::npos) found.push_back(entry.path().string());
    return found;
  }

  static std::vector<std::string> Names(CAlmacoraDoc& doc) {
    std::vector<std::string> names;
    for (CCalEvent* e : doc.events().items()) names.push_back(e->name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST(BackupNames, NamesFoldersAndDuplicates) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {{"C:\\cal\\family.akv", "family.akb"},
               {"C:\\cal\\x.akv.akv", "x.akb"},
               {"C:\\cal\\notes", "notes.akb"},
               {"home.AKV", "home.AKV.akb"},  // the cut is case-sensitive
               {"/tmp/a.akv", "a.akb"}};
  for (const auto& c : cases) EXPECT_EQ(c.name, BackupFileName(c.path)) << c.path;
  EXPECT_EQ((std::vector<std::string>{"family.akb", "family (2).akb", "work.akb", "Family (3).akb"}),
            BackupFileNames({"C:\\a\\family.akv", "D:\\b\\family.akv", "C:\\work.akv", "E:\\Family.akv"}));
  EXPECT_EQ("C:\\bk\\", BackupFolder("C:\\bk"));
  EXPECT_EQ("C:\\bk\\", BackupFolder("C:\\bk\\"));
  EXPECT_EQ("\\", BackupFolder(""));
  EXPECT_EQ("family.akv", calbackup::ProposedRestoreName("C:\\bk\\family.akb"));
  // The schedule: 30 days due, 29 not, a date after today asks, off never.
  const int today = 2461000;
  struct Due {
    int on, days, last;
    bool due;
  } dues[] = {{1, 30, today - 30, true}, {1, 30, today - 29, false}, {1, 30, today + 5, true},
              {0, 30, today - 90, false}, {1, 30, today, false}};
  for (const auto& d : dues) EXPECT_EQ(d.due, calbackup::IsBackupDue(d.on, d.days, d.last, today)) << d.last - today;
}

TEST_F(BackupTest, BacksUpOpenCalendarsAndSkipsThoseWithoutFile) {
  const std::string a = Calendar("a.akv", {"one", "two"});
  const std::string b = Calendar("b.akv", {"three"});
  std::filesystem::create_directories(Path("bk"));
  CAlmacoraDoc doc;
  StartOn(&doc, {a, b});
  ASSERT_EQ(2u, doc.calendars().size());
  // A calendar held in memory only, with no file: skipped, takes no name.
  auto* web = new CCalendarFile();
  web->fileType = CCalendarFile::kMemoryOnly;
  doc.calendars().AddCalendar(web);
  // A change made while open reaches the copy.
  CCalEvent* added = NewEvent("late");
  added->calendar = doc.calendars().items()[0];
  ASSERT_EQ(1, doc.AddEvent(added));
  const calbackup::BackupOutcome out = calbackup::BackupCalendars(doc.calendars(), Path("bk") + "/");
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(2, out.copied);
  EXPECT_EQ(ReadFileBytes(a), ReadFileBytes(Path("bk/a.akb")));
  EXPECT_EQ(ReadFileBytes(b), ReadFileBytes(Path("bk/b.akb")));
  EXPECT_TRUE(LeftoverTemporaries().empty());
  // The copy opens as a calendar with the event added while open.
  CCalendarFile copy;
  CEventArray events;
  ASSERT_EQ(1, copy.Open(&events, Path("bk/a.akb")));
  EXPECT_EQ(3u, events.size());
  copy.Close(&events);
  // Only the memory calendar: nothing to copy.
  CCalendarList only;
  only.AddCalendar(new CCalendarFile());
  EXPECT_TRUE(calbackup::BackupCalendars(only, Path("bk") + "/").nothingToCopy);
}

TEST_F(BackupTest, FailedCopyOrReplaceKeepsLastGoodBackup) {
  const std::string a = Calendar("a.akv", {"one"});
  const std::string b = Calendar("b.akv", {"two"});
  std::filesystem::create_directories(Path("bk"));
  WriteText(Path("bk/b.akb"), "last good backup");
  CCalendarList list;
  for (const std::string& p : {a, b}) {
    auto* c = new CCalendarFile();
    c->path = p;
    list.AddCalendar(c);
  }
  struct Case {
    platform::FileFaultOp op;
    uint64_t nth;
  } cases[] = {{platform::FileFaultOp::kWrite, 2},    // the first write of b's copy
               {platform::FileFaultOp::kReplace, 2},  // b's copy is complete, the rename fails
               {platform::FileFaultOp::kFlush, 2}};
  for (const auto& c : cases) {
    platform::FileFaultPlan plan;
    plan.op = c.op;
    plan.nth = c.nth;
    platform::ArmFileFault(plan);
    const calbackup::BackupOutcome out = calbackup::BackupCalendars(list, Path("bk") + "/");
    platform::DisarmFileFaults();
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(1, out.copied);
    EXPECT_EQ(Path("bk") + "/b.akb", out.failedTarget);
    EXPECT_NE(0, out.failure.nativeError);
    std::ifstream in(Path("bk/b.akb"));
    EXPECT_EQ("last good backup", std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_TRUE(LeftoverTemporaries().empty());
  }
  // The engine refuses the flush of b's file with no system error: the
  // cause shown is the engine's in words, not the system's text for "no error".
  list.items()[1]->hostFile = 250;
  const calbackup::BackupOutcome out = calbackup::BackupCalendars(list, Path("bk") + "/");
  list.items()[1]->hostFile = -1;
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(Path("bk") + "/b.akb", out.failedTarget);
  EXPECT_EQ(0u, calbackup::FailureText(out.failure).find("The calendar file ")) << calbackup::FailureText(out.failure);
}

TEST_F(BackupTest, RestoreOntoOpenDefaultCalendarAndRefusals) {
  const std::string home = Calendar("home.akv", {"a", "b", "c"});
  const std::string work = Calendar("work.akv", {"w"});
  std::filesystem::create_directories(Path("bk"));
  ASSERT_TRUE(calbackup::CopyFileReplacing(home, Path("bk/home.akb"), nullptr));
  WriteText(Path("bk/notes.txt"), "just some text, no calendar");
  CAlmacoraDoc doc;
  StartOn(&doc, {work, home});
  CCalendarFile* live = doc.calendars().FindByPath(home);
  ASSERT_NE(nullptr, live);
  doc.calendars().defaultId = live->listId;
  // Changes after the backup: one added, one deleted.
  CCalEvent* added = NewEvent("d");
  added->calendar = live;
  ASSERT_EQ(1, doc.AddEvent(added));
  for (size_t i = 0; i < doc.events().size(); ++i) {
    if (doc.events().at(i)->name != "a") continue;
    ASSERT_TRUE(doc.DeleteEvent(static_cast<int>(i), true));
    break;
  }
  EXPECT_EQ((std::vector<std::string>{"b", "c", "d", "w"}), Names(doc));
  const std::vector<uint8_t> changed = ReadFileBytes(home);

  // A file that is no calendar, a failed copy, a failed replace: the live
  // file is byte-for-byte unchanged and the calendar still open.
  const struct {
    const char* backup;
    bool fault;
    platform::FileFaultOp op;
    bool notCalendar, wasOpen;
  } refusals[] = {{"bk/notes.txt", false, platform::FileFaultOp::kWrite, true, false},
                  {"bk/home.akb", true, platform::FileFaultOp::kWrite, false, false},
                  {"bk/home.akb", true, platform::FileFaultOp::kReplace, false, true}};
  for (const auto& r : refusals) {
    if (r.fault) {
      platform::FileFaultPlan plan;
      plan.op = r.op;
      // The replace of the staged copy is the second; a write fault hits
      // the staging copy.
      plan.nth = r.op == platform::FileFaultOp::kReplace ? 2 : 1;
      platform::ArmFileFault(plan);
    }
    const calbackup::RestoreOutcome out = calbackup::RestoreIntoDocument(&doc, Path(r.backup), home);
    platform::DisarmFileFaults();
    EXPECT_FALSE(out.restored) << r.backup;
    EXPECT_EQ(r.notCalendar, out.notCalendar);
    EXPECT_EQ(r.wasOpen, out.wasOpen);
    // Refused before the close: not a byte changed. A failed replace
    // closed and reopened it (the engine's header counts move).
    if (!r.wasOpen) {
      EXPECT_EQ(changed, ReadFileBytes(home));
    }
    ASSERT_NE(nullptr, doc.calendars().FindByPath(home));
    EXPECT_EQ((std::vector<std::string>{"b", "c", "d", "w"}), Names(doc));
    EXPECT_TRUE(LeftoverTemporaries().empty());
  }
  EXPECT_EQ(doc.calendars().FindByPath(home)->listId, doc.calendars().defaultId);

  const calbackup::RestoreOutcome out = calbackup::RestoreIntoDocument(&doc, Path("bk/home.akb"), home);
  EXPECT_TRUE(out.restored);
  EXPECT_TRUE(out.wasOpen);
  EXPECT_TRUE(out.reopened);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "w"}), Names(doc));
  EXPECT_EQ(doc.calendars().FindByPath(home)->listId, doc.calendars().defaultId);
  EXPECT_TRUE(LeftoverTemporaries().empty());

  // A new path: restored, not opened until asked.
  const calbackup::RestoreOutcome fresh = calbackup::RestoreIntoDocument(&doc, Path("bk/home.akb"), Path("new.akv"));
  EXPECT_TRUE(fresh.restored);
  EXPECT_FALSE(fresh.wasOpen);
  EXPECT_EQ(nullptr, doc.calendars().FindByPath(Path("new.akv")));
  EXPECT_TRUE(calbackup::OpenRestoredCalendar(&doc, Path("new.akv")));
  EXPECT_NE(nullptr, doc.calendars().FindByPath(Path("new.akv")));
  EXPECT_TRUE(prompts.texts.empty());
}

// What a record holds that a restore must bring back.
struct Record {
  std::string name, notes;
  int16_t disabled, oneTime;
  int frequency;
  bool operator==(const Record& o) const {
    return name == o.name && notes == o.notes && disabled == o.disabled && oneTime == o.oneTime &&
           frequency == o.frequency;
  }
};

std::map<std::string, Record> ByUid(const std::vector<CCalEvent*>& events) {
  std::map<std::string, Record> out;
  for (CCalEvent* e : events) out[e->uid] = {e->name, e->notes, e->disabled, e->oneTime, e->GetFrequency()};
  return out;
}

TEST_F(BackupTest, RoundTripBringsBackEveryRecordByUid) {
  CCalendarFile file;
  ASSERT_EQ(1, file.CreateFile(Path("home.akv")));
  const std::string home = file.path;
  CEventArray array;
  {
    for (int i = 0; i < 200; ++i) {
      CCalEvent* e = NewEvent("event " + std::to_string(i));
      if (i % 3 == 0) {
        e->oneTime = 0;
        e->recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;
      }
      if (i % 50 == 0) e->notes = std::string(50000, static_cast<char>('a' + i / 50));
      e->disabled = static_cast<int16_t>(i % 7 == 0);
      ASSERT_EQ(1, file.AddEvent(e, 0, &array));
    }
  }
  file.Close(&array);
  std::filesystem::create_directories(Path("bk"));
  CAlmacoraDoc doc;
  StartOn(&doc, {home});
  ASSERT_EQ(200u, doc.events().size());
  ASSERT_TRUE(calbackup::BackupCalendars(doc.calendars(), Path("bk") + "/").ok);
  const std::map<std::string, Record> backedUp = ByUid(doc.events().items());
  // 20 changed, 10 deleted, 10 added.
  for (int i = 0; i < 20; ++i) {
    CCalEvent* e = doc.events().at(static_cast<size_t>(i * 5));
    e->name += " changed";
    e->notes = "new notes";
    ASSERT_NE(0, e->Save(1, 0, 1));
  }
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(doc.DeleteEvent(static_cast<int>(doc.events().size()) - 1, true));
  for (int i = 0; i < 10; ++i) {
    CCalEvent* e = NewEvent("added " + std::to_string(i));
    e->calendar = doc.calendars().items()[0];
    ASSERT_EQ(1, doc.AddEvent(e));
  }
  ASSERT_NE(backedUp, ByUid(doc.events().items()));
  const calbackup::RestoreOutcome out = calbackup::RestoreIntoDocument(&doc, Path("bk/home.akb"), home);
  ASSERT_TRUE(out.restored);
  ASSERT_TRUE(out.reopened);
  EXPECT_EQ(backedUp, ByUid(doc.events().items()));
}

}  // namespace
}  // namespace storagetest
