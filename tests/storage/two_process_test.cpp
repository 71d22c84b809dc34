// Two programs on one calendar file: each sees the other's adds after one
// re-sync, concurrent adds get unique serials, and a save over the other's
// newer change (or of an event in the editor that the other changed) asks
// first and writes nothing on No.
#include <fstream>
#include <set>

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
