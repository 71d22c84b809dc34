#include "isam/fileset/file_set_stored.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "isam/calendar_file_set.h"
#include "isam/fileset/isam_start.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "tests/isam/fileset/file_set_test_support.h"

namespace isam {
namespace {

class StoredSetTest : public FileSetTestBase {
 protected:
  void SetUp() override {
    FileSetTestBase::SetUp();
    set_ = FreshSet("set");
    base_ = set_->name;
  }
  void CreateWith(const std::vector<std::string>& uids) {
    CreateWithRecords(set_.get(), uids);
    ASSERT_EQ(0, CloseFileSet(&set_->block));
  }
  std::string base_;
  std::unique_ptr<EventShapedSet> set_;
};

TEST_F(StoredSetTest, TheDataFileAloneOpensTheWholeSetAndTheNumberClosesIt) {
  set_->block.text1 = "first text";
  CreateWith({"a@x", "b@x"});
  const int n = OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), kModeVariable);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  EXPECT_EQ(2, OpenFiles()) << "data file and index file";
  IsamTables* t = CurrentIsamTables();
  EXPECT_EQ((std::vector<int16_t>{static_cast<int16_t>(n + 1), static_cast<int16_t>(n + 2)}), t->File(n).keys);
  EXPECT_EQ("first text", t->File(n).text1);
  EXPECT_TRUE(Found(n + 1, "b@x"));
  std::vector<uint8_t> buf(512);
  int32_t len = 512;
  EXPECT_EQ(0, IsamRecordFirst(n + 2, buf.data(), &len)) << "the serial index is there too";
  EXPECT_EQ("a@x", UidOf(buf));
  ASSERT_EQ(0, CloseFileSetByNumber(n));
  EXPECT_EQ(0, OpenFiles());
  EXPECT_TRUE(t->File(n).keys.empty()) << "the rows are reset with the close";
  EXPECT_EQ(26, CloseFileSetByNumber(n));
}

TEST_F(StoredSetTest, StoredExtensionsAndOwnIndexNamesFollowTheFilesWhenMoved) {
  // The second index gets a file of its own, named after the set.
  const std::string own = base_ + "_serial.idx";
  set_->indexes[1].file_name = own.c_str();
  CreateWith({"moved@x"});
  // Another extension now would give other index names: the stored ones win.
  std::strcpy(CurrentInstance()->index_extension, ".ix2");
  const std::string moved = Path("elsewhere");
  std::filesystem::rename(base_ + ".dat", moved + ".dat");
  std::filesystem::rename(base_ + ".idx", moved + ".idx");
  std::filesystem::rename(own, moved + "_serial.idx");
  const int n = OpenFileSetByDefinition(-1, (moved + ".dat").c_str(), kModeVariable);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  EXPECT_EQ(8, CheckFileNumber(n + 2)->header.key_length) << "the serial index in its own file";
  EXPECT_EQ(3, OpenFiles());
  EXPECT_TRUE(Found(n + 1, "moved@x"));
  EXPECT_EQ(0, CloseFileSetByNumber(n));
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(StoredSetTest, TheIndexesNeedRoomBehindTheDataFile) {
  CreateWith({"room@x"});
  // The first free number has a taken one behind it: the data file cannot
  // stay there.
  const int f = FindFreeFileNumbers(1);
  const std::string other = Path("other.dat");
  ASSERT_EQ(0, CreateDataFile(f + 1, other.c_str(), 20, 100, 0));
  EXPECT_EQ(-1, OpenFileSetByDefinition(f, (base_ + ".dat").c_str(), kModeVariable));
  EXPECT_EQ(46, CurrentInstance()->isam_error);
  EXPECT_EQ(1, OpenFiles()) << "only the other file";
  const int n = OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), kModeVariable);
  ASSERT_GE(n, f + 2) << "moved behind the taken number";
  EXPECT_TRUE(Found(n + 1, "room@x"));
}

TEST_F(StoredSetTest, AFailedOpenLeavesNothingOpen) {
  CreateWith({"x@x"});
  // The index file of another set, with a 180-byte UID key, put in its place.
  const std::string wrong_base = Path("wrong");
  Path("wrong.dat");
  Path("wrong.idx");
  EventShapedSet wrong(wrong_base, kModeVariable, 0);
  KeySegment narrower{0, 180, 4};
  wrong.indexes[0].key_length = 180;
  wrong.indexes[0].segments = &narrower;
  ASSERT_EQ(0, CreateFileSetFromIfil(&wrong.block));
  ASSERT_EQ(0, CloseFileSet(&wrong.block));
  std::filesystem::remove(base_ + ".idx");
  std::filesystem::copy_file(wrong_base + ".idx", base_ + ".idx");
  EXPECT_EQ(-1, OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), kModeVariable));
  EXPECT_EQ(608, CurrentInstance()->isam_error);
  EXPECT_EQ(0, OpenFiles());
  // A data file that keeps no definition.
  const std::string bare = Path("bare.dat");
  ASSERT_EQ(0, CreateDataFile(1, bare.c_str(), 14, 4096, kModeVariable));
  ASSERT_EQ(0, CloseFileEntry(1));
  EXPECT_EQ(-1, OpenFileSetByDefinition(-1, bare.c_str(), kModeVariable));
  EXPECT_EQ(408, CurrentInstance()->isam_error);
  EXPECT_EQ(-1, OpenFileSetByDefinition(-1, Path("missing.dat").c_str(), kModeVariable));
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(StoredSetTest, ADefinitionAddedToExistingFilesOpensThem) {
  // Files made one by one: a fixed-length data file without even a resource
  // anchor, an index file with one more member.
  KeySegment code{0, 8, 0};
  IndexDefinition indexes[2];
  indexes[0].key_length = 8;
  indexes[0].segment_count = 1;
  indexes[0].segments = &code;
  indexes[1] = indexes[0];
  indexes[1].key_length = 12;
  indexes[1].duplicates = 1;
  IfilBlock block;
  block.name = base_.c_str();
  block.record_length = 64;
  block.index_count = 2;
  block.indexes = indexes;
  ASSERT_EQ(0, CreateDataFile(1, (base_ + ".dat").c_str(), 64, 0, kModeNoFirstResource));
  ASSERT_EQ(0u, CheckFileNumber(1)->header.first_resource);
  ASSERT_EQ(0, CreateIndexFile(2, (base_ + ".idx").c_str(), 8, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, AddIndexMember(2, 12, 0, 1, 1));
  EXPECT_EQ(12, AddIfilToFile(&block)) << "the data file is held exclusive here";
  CloseAllFiles();
  ASSERT_EQ(0, AddIfilToFile(&block));
  EXPECT_EQ(0, OpenFiles());
  ASSERT_EQ(0, OpenFileEntry(1, (base_ + ".dat").c_str(), 0));
  EXPECT_NE(0u, CheckFileNumber(1)->header.first_resource);
  std::vector<uint8_t> stored;
  ASSERT_EQ(0, GetStoredIfilBytes(1, &stored));
  EXPECT_EQ(PackIfil(block), stored);
  CloseAllFiles();
  const int n = OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), 0);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  std::vector<uint8_t> record(64, 'r');
  ASSERT_EQ(0, IsamRecordAdd(n, record.data(), 64));
  std::vector<uint8_t> back(64);
  int32_t len = 64;
  EXPECT_EQ(0, IsamRecordReadByKey(n + 2, std::vector<uint8_t>(12, 'r').data(), kReadAtLeast, back.data(), &len));
  EXPECT_EQ(record, back);
  ASSERT_EQ(0, CloseFileSetByNumber(n));
  // Added again over the stored one: replaced, not refused.
  EXPECT_EQ(0, AddIfilToFile(&block));
  EventShapedSet none(Path("none"), kModeVariable, 0);
  EXPECT_EQ(12, AddIfilToFile(&none.block)) << "no such data file";
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(StoredSetTest, ACalendarMemberOpensByItsNameAndAFailureClosesTheHostAgain) {
  std::string host;
  auto cal = CreateCalendar("cal.akv", &host);
  ASSERT_NE(nullptr, cal);
  const auto r = EventRecord("member@x", 1);
  ASSERT_EQ(0, IsamRecordAdd(cal->data_file(), r.data(), static_cast<int32_t>(r.size())));
  CloseAllFiles();
  ASSERT_EQ(0, OpenFiles());
  const std::string data = CalendarFileSet::MemberName(host) + ".dat";
  const int n = OpenFileSetByDefinition(-1, data.c_str(), static_cast<uint16_t>(kCalendarDataMode));
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  EXPECT_TRUE(Found(n + 1, "member@x"));
  EXPECT_TRUE(IsShared(CheckFileNumber(n)));
  ASSERT_EQ(0, CloseFileSetByNumber(n));
  CloseAllFiles();
  EXPECT_EQ(-1, OpenFileSetByDefinition(-1, (host + "!nothing.dat").c_str(), kCalendarDataMode));
  EXPECT_EQ(0, OpenFiles()) << "the host opened for the member is closed again";
}

TEST_F(StoredSetTest, ShutdownClosesASetOpenedByDefinition) {
  CreateWith({"down@x"});
  ASSERT_GE(OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), kModeVariable), 0);
  EXPECT_EQ(0, IsamShutdown());
  EXPECT_TRUE(CurrentInstance() == nullptr || !CurrentInstance()->started);
  // The files were closed properly: a fresh engine opens them exclusive.
  ASSERT_EQ(0, EngineStart(16, 60, 6, 16, 33, nullptr, nullptr, nullptr));
  const int n = OpenFileSetByDefinition(-1, (base_ + ".dat").c_str(), 0);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  EXPECT_TRUE(Found(n + 1, "down@x"));
}

}  // namespace
}  // namespace isam
