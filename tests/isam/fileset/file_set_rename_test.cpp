#include "isam/fileset/file_set_rename.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_stored.h"
#include "isam/index/file_create.h"
#include "isam/record/isam_record.h"
#include "platform/os_file_faults.h"
#include "tests/isam/fileset/file_set_test_support.h"

namespace isam {
namespace {

bool Exists(const std::string& name) { return std::filesystem::exists(name); }

std::string StatusLogText() {
  std::ifstream in("ENGSTAT.LOG", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class RenameSetTest : public FileSetTestBase {
 protected:
  void SetUp() override {
    FileSetTestBase::SetUp();
    old_ = FreshSet("old");
    new_ = FreshSet("new");
    old_base_ = old_->name;
    new_base_ = new_->name;
    CreateWithRecords(old_.get(), {"kept@x"});
    new_->block.assigned = old_->block.assigned;
  }
  std::string old_base_, new_base_;
  std::unique_ptr<EventShapedSet> old_, new_;
};

TEST_F(RenameSetTest, EveryFileAndTheStoredDefinitionTakeTheNewNames) {
  const int n = old_->block.assigned;
  ASSERT_EQ(0, RenameFileSet(&new_->block));
  EXPECT_FALSE(Exists(old_base_ + ".dat"));
  EXPECT_FALSE(Exists(old_base_ + ".idx"));
  EXPECT_STREQ((new_base_ + ".dat").c_str(), CheckFileNumber(n)->name);
  EXPECT_STREQ((new_base_ + ".idx").c_str(), CheckFileNumber(n + 1)->name);
  EXPECT_TRUE(Found(n + 1, "kept@x")) << "the set stays open and usable";
  std::vector<uint8_t> stored;
  ASSERT_EQ(0, GetStoredIfilBytes(n, &stored));
  StoredFileSet unpacked;
  ASSERT_EQ(0, UnpackIfil(stored, &unpacked));
  EXPECT_EQ(new_base_, unpacked.block.name);
  ASSERT_EQ(0, CloseFileSet(&new_->block));
  ASSERT_EQ(0, OpenFileSetFromIfil(&new_->block));
  EXPECT_TRUE(Found(new_->block.assigned + 1, "kept@x"));
  EXPECT_EQ(0, CloseFileSet(&new_->block));
  EXPECT_NE(0, OpenFileSetFromIfil(&old_->block));
}

TEST_F(RenameSetTest, AnIndexOtherThanTheDefinitionRenamesNothing) {
  KeySegment narrower{0, 180, 4};
  new_->indexes[0].key_length = 180;
  new_->indexes[0].segments = &narrower;
  EXPECT_EQ(608, RenameFileSet(&new_->block));
  new_->indexes[0] = old_->indexes[0];
  new_->indexes[1].duplicates = 0;
  new_->indexes[1].key_length = 4;
  EXPECT_EQ(608, RenameFileSet(&new_->block)) << "the duplicate flag differs";
  new_->indexes[1] = old_->indexes[1];
  new_->block.index_count = 1;
  EXPECT_EQ(608, RenameFileSet(&new_->block)) << "one index fewer than the open set";
  // A third index in a file of its own would be number n + 3: another
  // set's data file there is no index of this one.
  EventShapedSet neighbour(Path("neighbour"), kModeVariable, 0);
  neighbour.block.data_file = static_cast<int16_t>(old_->block.assigned + 3);
  Path("neighbour.dat");
  Path("neighbour.idx");
  ASSERT_EQ(0, CreateFileSetFromIfil(&neighbour.block));
  IndexDefinition three[3] = {new_->indexes[0], new_->indexes[1], new_->indexes[1]};
  const std::string own = new_base_ + "_third.idx";
  three[2].file_name = own.c_str();
  new_->block.indexes = three;
  new_->block.index_count = 3;
  EXPECT_EQ(608, RenameFileSet(&new_->block));
  EXPECT_TRUE(Exists(neighbour.name + ".dat"));
  new_->block.indexes = new_->indexes;
  EXPECT_TRUE(Exists(old_base_ + ".dat"));
  EXPECT_TRUE(Exists(old_base_ + ".idx"));
  EXPECT_FALSE(Exists(new_base_ + ".dat"));
  new_->block.index_count = 2;
  new_->block.assigned = -1;
  EXPECT_EQ(26, RenameFileSet(&new_->block)) << "not open";
}

TEST_F(RenameSetTest, ASharedSetIsNotRenamed) {
  ASSERT_EQ(0, CloseFileSet(&old_->block));
  old_->block.data_mode = kModeVariable | kModeShared;
  old_->block.index_mode = kModeShared;
  ASSERT_EQ(0, OpenFileSetFromIfil(&old_->block));
  new_->block.assigned = old_->block.assigned;
  EXPECT_EQ(62, RenameFileSet(&new_->block));
  EXPECT_TRUE(Exists(old_base_ + ".dat"));
}

TEST_F(RenameSetTest, AFailedIndexRenamePutsTheDataFileBack) {
  const int n = old_->block.assigned;
  std::ofstream(new_base_ + ".idx") << "in the way";
  EXPECT_EQ(67, RenameFileSet(&new_->block));
  EXPECT_TRUE(Exists(old_base_ + ".dat"));
  EXPECT_FALSE(Exists(new_base_ + ".dat"));
  EXPECT_STREQ((old_base_ + ".dat").c_str(), CheckFileNumber(n)->name);
  EXPECT_TRUE(Found(n + 1, "kept@x"));
  std::vector<uint8_t> stored;
  ASSERT_EQ(0, GetStoredIfilBytes(n, &stored));
  EXPECT_EQ(PackIfil(old_->block), stored) << "the old definition stays";
  EXPECT_EQ(std::string::npos, StatusLogText().find("Could not undo rename for..."));
}

TEST_F(RenameSetTest, AFailedStoreOfTheDefinitionUndoesTheRenames) {
  // Writes fail from the first on: the OS renames need none, the store of
  // the new definition does.
  platform::FileFaultPlan plan;
  plan.op = platform::FileFaultOp::kWrite;
  plan.persistent = true;
  platform::ArmFileFault(plan);
  const int rc = RenameFileSet(&new_->block);
  platform::DisarmFileFaults();
  EXPECT_NE(0, rc);
  EXPECT_TRUE(Exists(old_base_ + ".dat"));
  EXPECT_TRUE(Exists(old_base_ + ".idx"));
  EXPECT_FALSE(Exists(new_base_ + ".dat"));
  EXPECT_FALSE(Exists(new_base_ + ".idx"));
  EXPECT_TRUE(Found(old_->block.assigned + 1, "kept@x"));
}

class RenameMemberSetTest : public FileSetTestBase {
 protected:
  // A calendar set opened exclusive (renames refuse shared files) inside a
  // fresh host.
  void MakeCalendar(const std::string& leaf) {
    set_ = CreateCalendar(leaf, &host_, kCalendarDataMode & ~kModeShared, kCalendarIndexMode & ~kModeShared);
    ASSERT_NE(nullptr, set_);
    for (const char* uid : {"one@x", "two@x"}) {
      const auto r = EventRecord(uid, 1, 30);
      ASSERT_EQ(0, IsamRecordAdd(set_->data_file(), r.data(), static_cast<int32_t>(r.size())));
    }
    archive_ = std::make_unique<CalendarFileSet>(host_ + "!archive");
    archive_->block()->assigned = set_->block()->assigned;
  }
  // The names the set's files have now: "events" or "archive" for both, or
  // "mixed".
  std::string NamesNow() {
    const int n = set_->block()->assigned;
    const std::string data = CheckFileNumber(n)->name, index = CheckFileNumber(n + 1)->name;
    if (data == host_ + "!events.dat" && index == host_ + "!events.idx") return "events";
    if (data == host_ + "!archive.dat" && index == host_ + "!archive.idx") return "archive";
    return "mixed";
  }
  int Reopens(const std::string& member) {
    CloseAllFiles();
    CalendarFileSet again(host_ + "!" + member);
    if (int rc = OpenFileSetFromIfil(again.block())) return rc;
    std::vector<uint8_t> buf(512);
    int32_t len = 512;
    const auto t = UidTarget("two@x");
    return IsamRecordReadByKey(again.uid_key(), t.data(), kReadEqual, buf.data(), &len);
  }
  std::string host_;
  std::unique_ptr<CalendarFileSet> set_, archive_;
};

TEST_F(RenameMemberSetTest, MembersAreRenamedInsideTheirHost) {
  MakeCalendar("cal.akv");
  ASSERT_EQ(0, RenameFileSet(archive_->block()));
  EXPECT_EQ("archive", NamesNow());
  EXPECT_EQ(0, Reopens("archive"));
  EXPECT_NE(0, Reopens("events"));
  // By its stored definition too, which now names the archive.
  CloseAllFiles();
  const int n = OpenFileSetByDefinition(-1, (host_ + "!archive.dat").c_str(), 0);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  CloseAllFiles();
  // Another host part is no rename inside the host.
  MakeCalendar("cal2.akv");
  CalendarFileSet elsewhere(Path("cal3.akv") + "!events");
  elsewhere.block()->assigned = set_->block()->assigned;
  EXPECT_EQ(418, RenameFileSet(elsewhere.block()));
  EXPECT_EQ("events", NamesNow());
}

TEST_F(RenameMemberSetTest, ATakenMemberNameUndoesTheDataRename) {
  MakeCalendar("cal.akv");
  // Something else already is "archive.idx" in this host.
  const int other = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateDataFile(other, (host_ + "!archive.idx").c_str(), 20, 0, 0));
  EXPECT_EQ(46, RenameFileSet(archive_->block()));
  EXPECT_EQ("events", NamesNow());
  EXPECT_EQ(std::string::npos, StatusLogText().find("Could not undo rename for..."));
  EXPECT_EQ(0, Reopens("events"));
}

TEST_F(RenameMemberSetTest, AnUndoThatFailsIsLoggedAndEveryOtherFailureLeavesTheOldNames) {
  // From the Nth write on every write fails: the rename fails somewhere,
  // and so may its undo. Whatever N, the call answers, and the set either
  // keeps its old names or says in the log which file it could not put
  // back.
  bool undo_failed_seen = false;
  bool completed = false;
  for (uint64_t nth = 1; nth <= 200 && !completed; ++nth) {
    MakeCalendar("cal" + std::to_string(nth) + ".akv");
    std::remove("ENGSTAT.LOG");
    platform::FileFaultPlan plan;
    plan.op = platform::FileFaultOp::kWrite;
    plan.nth = nth;
    plan.persistent = true;
    platform::ArmFileFault(plan);
    const int rc = RenameFileSet(archive_->block());
    platform::DisarmFileFaults();
    const std::string log = StatusLogText();
    const std::size_t at = log.find("Could not undo rename for...");
    if (rc == 0) {
      completed = true;
      EXPECT_EQ("archive", NamesNow());
    } else if (at != std::string::npos) {
      undo_failed_seen = true;
      EXPECT_NE(std::string::npos, log.find(host_ + "!archive.dat", at)) << "the name the file was left with";
      EXPECT_STREQ((host_ + "!archive.dat").c_str(), CheckFileNumber(set_->data_file())->name);
    } else {
      EXPECT_EQ("events", NamesNow()) << "write " << nth;
    }
    CloseAllFiles();
  }
  EXPECT_TRUE(completed);
  EXPECT_TRUE(undo_failed_seen);
}

}  // namespace
}  // namespace isam
