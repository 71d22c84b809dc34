#include "isam/fileset/file_set.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "isam/calendar_file_set.h"
#include "isam/index/file_open.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "tests/isam/fileset/file_set_test_support.h"

namespace isam {
namespace {

class FileSetTest : public FileSetTestBase {
 protected:
  void SetUp() override {
    FileSetTestBase::SetUp();
    Path("set.dat");
    Path("set.idx");
    set_ = std::make_unique<EventShapedSet>(Path("set"), kModeVariable, 0);
  }
  std::unique_ptr<EventShapedSet> set_;
};

TEST_F(FileSetTest, IndexesWithoutFileNamesAreMembersOfOneFileNumberedInOrder) {
  set_->block.data_file = 5;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  EXPECT_EQ(5, set_->block.assigned);
  FileControlBlock* index = Fcb(6);
  ASSERT_NE(nullptr, index);
  EXPECT_EQ(1, index->header.member_count);
  ASSERT_NE(nullptr, Fcb(7));
  EXPECT_EQ(1, Fcb(7)->header.member_number);
  EXPECT_EQ(8, Fcb(7)->header.key_length);
  EXPECT_EQ(2, OpenFiles()) << "one data file and one index file";
  IsamTables* t = CurrentIsamTables();
  EXPECT_EQ((std::vector<int16_t>{6, 7}), t->File(5).keys);
  std::vector<uint8_t> stored;
  ASSERT_EQ(0, GetStoredIfilBytes(5, &stored));
  EXPECT_EQ(PackIfil(set_->block), stored);
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(FileSetTest, BadDefinitionsAreRefusedBeforeAnyFileExists) {
  set_->indexes[1].key_length = 4;  // duplicates need 4 more than the segments
  EXPECT_EQ(115, CreateFileSetFromIfil(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  EXPECT_EQ(0, OpenFiles());
  set_->indexes[1].key_length = 8;
  set_->indexes[1].segment_count = 13;
  EXPECT_EQ(109, CreateFileSetFromIfil(&set_->block));
  set_->indexes[1].segment_count = 1;
  std::vector<IndexDefinition> many(33, set_->indexes[1]);
  set_->block.indexes = many.data();
  set_->block.index_count = 33;
  EXPECT_EQ(107, CreateFileSetFromIfil(&set_->block));
  EXPECT_EQ(107, OpenFileSetFromIfil(&set_->block));
  EXPECT_EQ(0, OpenFiles());
  EXPECT_FALSE(std::filesystem::exists(set_->name + ".dat")) << "no data file was left behind";
}

TEST_F(FileSetTest, AnIndexThatNoLongerMatchesItsDefinitionLeavesNothingOpen) {
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  KeySegment wider{0, 180, 4};
  set_->indexes[0].key_length = 180;
  set_->indexes[0].segments = &wider;
  EXPECT_EQ(608, OpenFileSetFromIfil(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  EXPECT_EQ(0, OpenFiles());
  set_->indexes[0].key_length = 200;
  set_->indexes[0].segments = &set_->uid_segment;
  set_->indexes[1].duplicates = 0;
  set_->indexes[1].key_length = 4;
  KeySegment four{6, 4, 1};
  set_->indexes[1].segments = &four;
  EXPECT_EQ(608, OpenFileSetFromIfil(&set_->block)) << "the duplicate flag differs";
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(FileSetTest, AFailedOpenOfMembersClosesTheHostItOpened) {
  std::string host;
  auto cal = CreateCalendar("cal.akv", &host);
  ASSERT_NE(nullptr, cal);
  CloseAllFiles();
  IndexDefinition changed[2] = {cal->block()->indexes[0], cal->block()->indexes[1]};
  KeySegment shorter{0, 100, 4};
  changed[0].key_length = 100;
  changed[0].segments = &shorter;
  cal->block()->indexes = changed;
  EXPECT_EQ(608, OpenFileSetFromIfil(cal->block()));
  EXPECT_EQ(0, OpenFiles()) << "the host went with the members";
  // A host that was open before stays open.
  const int h = FindFreeFileNumbers(2);
  ASSERT_EQ(0, OpenFileEntry(h, host.c_str(), kModeShared));
  EXPECT_EQ(608, OpenFileSetFromIfil(cal->block()));
  EXPECT_NE(nullptr, CheckFileNumber(h));
}

TEST_F(FileSetTest, AnIndexFileWithAnotherMemberCountIsRefused) {
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  set_->block.index_count = 1;
  EXPECT_EQ(124, OpenFileSetFromIfil(&set_->block));
  EXPECT_EQ(0, OpenFiles());
}

TEST_F(FileSetTest, CreatingOverAnExistingSetFailsAndKeepsIt) {
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  const auto r = EventRecord("keep-me", 1);
  ASSERT_EQ(0, IsamRecordAdd(set_->block.assigned, r.data(), static_cast<int32_t>(r.size())));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  EXPECT_EQ(19, CreateFileSetFromIfil(&set_->block));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  std::vector<uint8_t> buf(64);
  int32_t len = 64;
  const auto t = UidTarget("keep-me");
  EXPECT_EQ(0, IsamRecordReadByKey(set_->block.assigned + 1, t.data(), kReadEqual, buf.data(), &len));
}

TEST_F(FileSetTest, TheStoredDefinitionOpensTheSetAgain) {
  const char* text = "kept text";
  set_->block.text1 = text;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  std::vector<uint8_t> packed;
  ASSERT_EQ(0, GetStoredIfilBytes(set_->block.assigned, &packed));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  StoredFileSet stored;
  ASSERT_EQ(0, UnpackIfil(packed, &stored));
  EXPECT_EQ(set_->name, stored.block.name);
  EXPECT_STREQ(text, stored.block.text1);
  EXPECT_EQ(nullptr, stored.block.text2);
  ASSERT_EQ(2, stored.block.index_count);
  EXPECT_EQ(200, stored.indexes[0].key_length);
  EXPECT_EQ(1, stored.indexes[1].duplicates);
  EXPECT_EQ(6, stored.indexes[1].segments[0].offset);
  ASSERT_NE(nullptr, stored.indexes[0].pad_byte);
  EXPECT_EQ(0x20, *stored.indexes[0].pad_byte);
  EXPECT_EQ(".dat", stored.data_extension);
  EXPECT_EQ(PackIfil(stored.block), packed);
  ASSERT_EQ(0, OpenFileSetFromIfil(&stored.block));
  EXPECT_EQ(0, CloseFileSet(&stored.block));
  // Cut short anywhere: refused, never read past the end.
  for (std::size_t n = 0; n < packed.size(); n += 7) {
    std::vector<uint8_t> cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(n));
    StoredFileSet broken;
    EXPECT_EQ(198, UnpackIfil(cut, &broken)) << n;
  }
}

TEST_F(FileSetTest, NamesCarryTheExtensionTheyWereGiven) {
  char name[256];
  char extension[8];
  BuildFileSetNames(set_->block, name, 0, extension);
  EXPECT_EQ(set_->name + ".dat", name);
  EXPECT_STREQ(".dat", extension);
  BuildFileSetNames(set_->block, name, 1, extension);
  EXPECT_EQ(set_->name + ".idx", name);
  EXPECT_STREQ(".idx", extension);
  set_->block.data_mode = static_cast<int16_t>(set_->block.data_mode | 0x200);
  BuildFileSetNames(set_->block, name, 0, extension);
  EXPECT_EQ(set_->name, name);
  EXPECT_STREQ("", extension);
  set_->block.data_mode = kModeVariable;
  const std::string own = set_->name + "_keys.ix";
  set_->indexes[0].file_name = own.c_str();
  BuildFileSetNames(set_->block, name, 1, extension);
  EXPECT_EQ(own, name);
  EXPECT_STREQ("", extension) << "an index's own name is used as given";
  const std::string long_name(300, 'n');
  set_->block.name = long_name.c_str();
  BuildFileSetNames(set_->block, name, 0, extension);
  EXPECT_STREQ("", name) << "a name of 256 bytes or more is none";
  EXPECT_EQ("dir/sub/", DirectoryOfPath("dir/sub/cal.akv"));
  EXPECT_EQ("C:\\cal\\", DirectoryOfPath("C:\\cal\\x.akv"));
  EXPECT_EQ("C:", DirectoryOfPath("C:x.akv"));
  EXPECT_EQ("", DirectoryOfPath("x.akv"));
}

TEST_F(FileSetTest, ASharedCalendarIndexKeepsItsCollatingTableToo) {
  // Made shared from the start, as the calendar's files are: the table is
  // stored while the index is being created, inside the host.
  uint16_t fold[256];
  for (int c = 0; c < 256; ++c) fold[c] = static_cast<uint16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
  std::string host;
  ASSERT_GE(CreateCalendarHost(host = Path("coll.akv")), 0);
  CalendarFileSet cal(CalendarFileSet::MemberName(host));
  IndexDefinition folded[2] = {cal.block()->indexes[0], cal.block()->indexes[1]};
  KeySegment folded_uid{0, 200, static_cast<int16_t>(4 | kSegAltCollation)};
  folded[0].segments = &folded_uid;
  folded[0].collation = fold;
  cal.block()->indexes = folded;
  ASSERT_EQ(0, CreateFileSetFromIfil(cal.block()));
  const auto r = EventRecord("Shared", 1);
  ASSERT_EQ(0, IsamRecordAdd(cal.data_file(), r.data(), static_cast<int32_t>(r.size())));
  CloseAllFiles();
  ASSERT_EQ(0, OpenFileSetFromIfil(cal.block()));
  ASSERT_NE(nullptr, Fcb(cal.uid_key())->collation);
  std::vector<uint8_t> buf(256);
  int32_t len = 256;
  const auto t = UidTarget("SHARED");
  EXPECT_EQ(0, IsamRecordReadByKey(cal.uid_key(), t.data(), kReadEqual, buf.data(), &len));
}

TEST_F(FileSetTest, AWantedNumberInUseGivesTheNextFreeRunAfterIt) {
  set_->block.data_file = 5;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  auto other = std::make_unique<EventShapedSet>(Path("other"), kModeVariable, 0);
  Path("other.dat");
  Path("other.idx");
  other->block.data_file = 6;  // 6 and 7 are the first set's indexes
  ASSERT_EQ(0, CreateFileSetFromIfil(&other->block));
  EXPECT_EQ(8, other->block.assigned);
  ASSERT_EQ(0, CloseFileSet(&other->block));
  other->block.data_file = 4;  // 4 is free, but 5..7 are not: a run starts at 8
  ASSERT_EQ(0, OpenFileSetFromIfil(&other->block));
  EXPECT_EQ(8, other->block.assigned);
}

TEST_F(FileSetTest, ACollatingTableIsStoredWithTheIndexAndUsedAfterReopen) {
  // Case folded: lower-case letters sort (and match) as upper-case ones.
  uint16_t fold[256];
  for (int c = 0; c < 256; ++c) fold[c] = static_cast<uint16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
  KeySegment folded_uid{0, 200, static_cast<int16_t>(4 | kSegAltCollation)};
  set_->indexes[0].segments = &folded_uid;
  set_->indexes[0].collation = fold;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
  const int data = set_->block.assigned;
  const auto r = EventRecord("MixedCase", 1);
  ASSERT_EQ(0, IsamRecordAdd(data, r.data(), static_cast<int32_t>(r.size())));
  const auto same = EventRecord("MIXEDcase", 2);
  EXPECT_EQ(2, IsamRecordAdd(data, same.data(), static_cast<int32_t>(same.size()))) << "folded, the UIDs are equal";
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  ASSERT_NE(nullptr, Fcb(set_->block.assigned + 1)->collation);
  EXPECT_EQ(nullptr, Fcb(set_->block.assigned + 2)->collation) << "the member has no table of its own";
  EXPECT_EQ('Q', Fcb(set_->block.assigned + 1)->collation['q']);
  std::vector<uint8_t> buf(256);
  int32_t len = 256;
  const auto t = UidTarget("mixedCASE");
  ASSERT_EQ(0, IsamRecordReadByKey(set_->block.assigned + 1, t.data(), kReadEqual, buf.data(), &len));
  buf.resize(static_cast<std::size_t>(len));
  EXPECT_EQ("MixedCase", UidOf(buf));
}

}  // namespace
}  // namespace isam
