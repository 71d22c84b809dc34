#include "isam/superfile/superfile_member.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/varlen_record.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/superfile/superfile_delete_rename.h"
#include "isam/superfile/superfile_member_ops.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/file_soundness.h"

namespace isam {
namespace {

class SuperfileTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    host_path_ = Path("cal.akv");
  }
  // Creates a member's calendar set opened by this instance alone.
  static void CreateUnshared(CalendarFileSet* set) {
    set->block()->data_mode = kCalendarDataMode & ~kModeShared;
    set->block()->index_mode = kCalendarIndexMode & ~kModeShared;
    ASSERT_EQ(0, CreateFileSetFromIfil(set->block()));
  }
  // Creates (or opens) the host at a free pair of numbers.
  int Host(bool create, uint16_t mode = kCalendarHostMode) {
    const int n = FindFreeFileNumbers(2);
    if (n < 0) return -1;
    const int rc = create ? CreateDataFile(n, host_path_.c_str(), 0, 4096, mode)
                          : OpenFileEntry(n, host_path_.c_str(), mode);
    return rc == 0 ? n : -rc;
  }
  int Add(int data, const std::string& uid, uint32_t serial, std::size_t filler) {
    const auto r = EventRecord(uid, serial, filler);
    return IsamRecordAdd(data, r.data(), static_cast<int32_t>(r.size()));
  }
  int Find(const CalendarFileSet& set, const std::string& uid) {
    std::vector<uint8_t> out(4096);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    return IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, out.data(), &len);
  }
  // Every record of the physical walk, by UID.
  std::multiset<std::string> Walk(int data) {
    std::multiset<std::string> uids;
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    for (int rc = IsamRecordFirst(data, buf.data(), &len); rc == 0; rc = IsamRecordNext(data, buf.data(), &len)) {
      uids.insert(reinterpret_cast<const char*>(buf.data() + 14));
      len = 4096;
    }
    return uids;
  }
  uint32_t HostWord(int offset, int width) {
    std::FILE* f = std::fopen(host_path_.c_str(), "rb");
    if (f == nullptr) return 0xFFFFFFFF;
    uint8_t raw[128] = {};
    const std::size_t got = std::fread(raw, 1, sizeof raw, f);
    std::fclose(f);
    if (got != sizeof raw) return 0xFFFFFFFF;
    return width == 2 ? GetLe16(raw + offset) : GetLe32(raw + offset);
  }
  std::string host_path_;
};

TEST_F(SuperfileTest, CalendarSetLivesInItsHostAndReopens) {
  const int host = Host(true);
  ASSERT_GE(host, 0);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  const int data = set.data_file();
  ASSERT_GE(data, 0);
  EXPECT_EQ(kClassSuperMember, Fcb(data)->header.file_class);
  EXPECT_EQ(2, Fcb(data)->header.superfile_member);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(0, Add(data, "uid-" + std::to_string(i), i + 1, 30 + i * 7)) << i;
  ASSERT_EQ(0, CloseFileSet(set.block()));
  ASSERT_EQ(0, CloseFileEntry(host));

  // The host's own header: a host, engine-sized nodes, the member-name
  // limit of a 768-byte node engine, directory + data + index members.
  EXPECT_EQ(1u, HostWord(92, 2));
  EXPECT_EQ(768u, HostWord(42, 2));
  EXPECT_EQ(128u, HostWord(96, 2));
  EXPECT_EQ(3u, HostWord(16, 4));

  // Moved (as a restore from backup would): the directory knows members by
  // their member part only, so the set opens under the new path.
  const std::string moved = Path("moved.akv");
  ASSERT_EQ(0, std::rename(host_path_.c_str(), moved.c_str()));
  host_path_ = moved;
  const int again = Host(false);
  ASSERT_GE(again, 0);
  CalendarFileSet reopened(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, OpenFileSetFromIfil(reopened.block()));
  const int d2 = reopened.data_file();
  for (int i = 0; i < 200; ++i) EXPECT_EQ(0, Find(reopened, "uid-" + std::to_string(i))) << i;
  const auto walked = Walk(d2);
  EXPECT_EQ(200u, walked.size());
  EXPECT_EQ(200u, std::set<std::string>(walked.begin(), walked.end()).size());
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(d2, &report)) << report.problem;
  EXPECT_EQ(200, report.records);
  ASSERT_EQ(0, CloseFileSet(reopened.block()));
}

TEST_F(SuperfileTest, MembersOnlyWalkTheirOwnRecordsAndFreeSpace) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  CalendarFileSet a(host_path_ + "!a");
  CalendarFileSet b(host_path_ + "!b");
  ASSERT_NO_FATAL_FAILURE(CreateUnshared(&a));
  ASSERT_NO_FATAL_FAILURE(CreateUnshared(&b));
  // Interleaved, so the stretches of both members and their nodes alternate.
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(0, Add(a.data_file(), "a" + std::to_string(i), i + 1, 50 + i % 90));
    ASSERT_EQ(0, Add(b.data_file(), "b" + std::to_string(i), i + 1, 40 + i % 70));
  }
  // Deletes free stretches next to the other member's: they must not join.
  std::vector<uint8_t> buf(4096);
  for (int i = 0; i < 300; i += 2) {
    int32_t len = 4096;
    const auto t = UidTarget("a" + std::to_string(i));
    ASSERT_EQ(0, IsamRecordReadByKey(a.uid_key(), t.data(), kReadEqual, buf.data(), &len));
    ASSERT_EQ(0, IsamRecordDelete(a.data_file()));
  }
  const auto wa = Walk(a.data_file());
  const auto wb = Walk(b.data_file());
  EXPECT_EQ(150u, wa.size());
  EXPECT_EQ(300u, wb.size());
  for (const auto& u : wa) EXPECT_EQ('a', u[0]);
  for (const auto& u : wb) EXPECT_EQ('b', u[0]);
  FileSetReport ra, rb;
  EXPECT_EQ(0, CheckFileSet(a.data_file(), &ra)) << ra.problem;
  EXPECT_EQ(0, CheckFileSet(b.data_file(), &rb)) << rb.problem;
  EXPECT_EQ(150, ra.records);
  EXPECT_EQ(300, rb.records);
}

// A data member's free-space nodes are host stretches: with the engine's
// 768-byte nodes its node size is 750, so header and node together fill one
// host node. A member written with the old 512-byte nodes keeps opening and
// working.
TEST_F(SuperfileTest, DataMemberNodesAreTheEngineNodeLessAStretchHeader) {
  const int host = Host(true);
  ASSERT_GE(host, 0);
  const auto churn = [&](const CalendarFileSet& set, const std::string& prefix) {
    std::vector<uint8_t> buf(4096);
    for (int i = 0; i < 120; ++i) ASSERT_EQ(0, Add(set.data_file(), prefix + std::to_string(i), i + 1, 20 + i % 50));
    for (int i = 0; i < 120; i += 3) {
      int32_t len = 4096;
      const auto t = UidTarget(prefix + std::to_string(i));
      ASSERT_EQ(0, IsamRecordReadByKey(set.uid_key(), t.data(), kReadEqual, buf.data(), &len));
      ASSERT_EQ(0, IsamRecordDelete(set.data_file()));
    }
  };
  uint32_t old_header = 0;
  {
    CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
    ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
    const FileHeader& h = Fcb(set.data_file())->header;
    EXPECT_EQ(750, h.node_size);
    EXPECT_EQ(732, h.node_usable);
    EXPECT_EQ(720, h.key_bytes);
    EXPECT_EQ(187, h.leaf_limit);
    old_header = Fcb(set.data_file())->header_position;
    ASSERT_EQ(0, CloseFileSet(set.block()));
  }
  {
    CalendarFileSet set(host_path_ + "!b");
    ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
    churn(set, "b");
    FileControlBlock* data = Fcb(set.data_file());
    ASSERT_NE(0u, data->header.root);
    VarRecordHeader node;
    ASSERT_EQ(0, ReadVarRecordHeader(data, data->header.root - kLongVarHeader, &node));
    EXPECT_EQ(kMarkSpaceNode, node.mark);
    EXPECT_EQ(768u, node.total);
    ASSERT_EQ(0, CloseFileSet(set.block()));
  }
  ASSERT_EQ(0, CloseFileEntry(host));

  // The first member as the earlier create made it: 512-byte nodes.
  {
    std::fstream f(host_path_, std::ios::binary | std::ios::in | std::ios::out);
    uint8_t raw[128];
    f.seekg(old_header);
    f.read(reinterpret_cast<char*>(raw), sizeof raw);
    PutLe16(raw + 42, 512);  // node size
    PutLe16(raw + 52, 480);  // key bytes
    PutLe16(raw + 54, 494);  // usable
    PutLe16(raw + 94, 128);  // leaf limit
    f.seekp(old_header);
    f.write(reinterpret_cast<const char*>(raw), sizeof raw);
  }
  for (int round = 0; round < 2; ++round) {
    const int again = Host(false);
    ASSERT_GE(again, 0);
    CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
    ASSERT_EQ(0, OpenFileSetFromIfil(set.block()));
    EXPECT_EQ(512, Fcb(set.data_file())->header.node_size);
    if (round == 0) churn(set, "o");
    FileSetReport report;
    EXPECT_EQ(0, CheckFileSet(set.data_file(), &report)) << report.problem;
    EXPECT_EQ(80, report.records);
    EXPECT_EQ(0, Find(set, "o1"));
    ASSERT_EQ(0, CloseFileSet(set.block()));
    ASSERT_EQ(0, CloseFileEntry(again));
  }
}

// A member header that missed the host's last growth (its write lost, or a
// crash between the host's header and the member's) names an end below the
// member's newest records: the member's ends follow the host's, so a reopen
// still walks and finds every record.
TEST_F(SuperfileTest, MemberEndsFollowTheHostWhenItsHeaderMissedAGrowth) {
  const int host = Host(true);
  ASSERT_GE(host, 0);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  for (int i = 0; i < 10; ++i) ASSERT_EQ(0, Add(set.data_file(), "early" + std::to_string(i), i + 1, 40));
  const uint32_t header_position = Fcb(set.data_file())->header_position;
  const uint32_t early_end = Fcb(set.data_file())->header.logical_end;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(0, Add(set.data_file(), "late" + std::to_string(i), i + 11, 300));
  ASSERT_LT(early_end, Fcb(set.data_file())->header.logical_end);
  ASSERT_EQ(0, CloseFileSet(set.block()));
  ASSERT_EQ(0, CloseFileEntry(host));
  {
    std::fstream f(host_path_, std::ios::binary | std::ios::in | std::ios::out);
    uint8_t end[4];
    PutLe32(end, early_end);
    f.seekp(header_position + 8);
    f.write(reinterpret_cast<const char*>(end), sizeof end);
  }
  ASSERT_GE(Host(false), 0);
  CalendarFileSet reopened(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, OpenFileSetFromIfil(reopened.block()));
  EXPECT_EQ(60u, Walk(reopened.data_file()).size());
  EXPECT_EQ(0, Find(reopened, "late49"));
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(reopened.data_file(), &report)) << report.problem;
  EXPECT_EQ(60, report.records);
  ASSERT_EQ(0, CloseFileSet(reopened.block()));
}

TEST_F(SuperfileTest, MemberNamesAndHostsAreChecked) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  const int n = FindFreeFileNumbers(1);
  // A host cannot be a member; a second member of one name is refused.
  EXPECT_EQ(414, CreateDataFile(n, (host_path_ + "!inner").c_str(), 0, 0, 0x200));
  ASSERT_EQ(0, CreateDataFile(n, (host_path_ + "!x").c_str(), 10, 0, 4));
  const int m = FindFreeFileNumbers(1);
  EXPECT_EQ(46, CreateDataFile(m, (host_path_ + "!x").c_str(), 10, 0, 4));
  EXPECT_EQ(418, CreateDataFile(m, (host_path_ + "!" + std::string(129, 'n')).c_str(), 10, 0, 4));
  // The directory lists members by their member part, in key order.
  ASSERT_EQ(0, CreateDataFile(m, (host_path_ + "!a").c_str(), 10, 0, 4));
  char name[256];
  ASSERT_EQ(0, MemberNameByIndex(host, 1, name, sizeof name));
  EXPECT_STREQ("a", name);
  ASSERT_EQ(0, MemberNameByIndex(host, 2, name, sizeof name));
  EXPECT_STREQ("x", name);
  EXPECT_EQ(101, MemberNameByIndex(host, 3, name, sizeof name));
  EXPECT_EQ(116, MemberNameByIndex(host, 0, name, sizeof name));
  // A plain file is no host; an absent member does not open.
  const std::string plain = Path("plain.dat");
  const int p = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateDataFile(p, plain.c_str(), 10, 0, 4));
  EXPECT_EQ(411, MemberNameByIndex(p, 1, name, sizeof name));
  const int q = FindFreeFileNumbers(1);
  EXPECT_EQ(411, CreateDataFile(q, (plain + "!x").c_str(), 10, 0, 4));
  EXPECT_EQ(12, OpenFileEntry(q, (host_path_ + "!absent").c_str(), 4));
  EXPECT_EQ(0, FileNumberState(q));
}

TEST_F(SuperfileTest, MembersAreMadeAndRenamedByHostNumberAndMemberPart) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  MemberParameters data;
  data.record_length = 10;
  const int n = FindFreeFileNumbers(1);
  EXPECT_EQ(418, CreateMember(host, n, "", data, 4));
  EXPECT_EQ(418, CreateMember(host, n, "a!b", data, 4));
  EXPECT_EQ(418, CreateMember(host, n, std::string(300, 'x').c_str(), data, 4));
  ASSERT_EQ(0, CreateMember(host, n, "m", data, 4));
  EXPECT_EQ(host_path_ + "!m", Fcb(n)->name);
  EXPECT_EQ(46, CreateMember(host, FindFreeFileNumbers(1), "m", data, 4));
  EXPECT_EQ(411, CreateMember(n, FindFreeFileNumbers(1), "inner", data, 4)) << "a member is no host";
  MemberParameters index;
  index.index = true;
  index.key_length = 8;
  const int k = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateMember(host, k, "m.idx", index, 0));
  EXPECT_EQ(kClassSuperMember, Fcb(k)->header.file_class);

  EXPECT_EQ(67, RenameMember(n, "other", "r"));
  EXPECT_EQ(418, RenameMember(n, "m", ""));
  ASSERT_EQ(0, RenameMember(n, "m", "r"));
  EXPECT_EQ(host_path_ + "!r", Fcb(n)->name);
  char name[256];
  ASSERT_EQ(0, MemberNameByIndex(host, 2, name, sizeof name));
  EXPECT_STREQ("r", name);

  // The host of a member name: the open one, else opened at the top pair.
  EXPECT_EQ(host, OpenHostForMember(n, (host_path_ + "!r").c_str(), 4));
  ASSERT_EQ(0, CloseFileEntry(k));
  ASSERT_EQ(0, CloseFileEntry(n));
  ASSERT_EQ(0, CloseFileEntry(host));
  const int reopened = OpenHostForMember(n, (host_path_ + "!r").c_str(), 4);
  ASSERT_GE(reopened, 0);
  EXPECT_EQ(CurrentInstance()->file_count - 2, reopened);
  EXPECT_EQ(kClassMemberDirectory, Fcb(reopened + 1)->header.file_class);
  EXPECT_EQ(-1, OpenHostForMember(n, Path("none.akv!x").c_str(), 4));
  EXPECT_EQ(413, CurrentInstance()->eng_err);
}

TEST_F(SuperfileTest, AHostPathLongerThanTheMemberNameLimitStillHoldsASet) {
  host_path_ = Path((std::string(160, 'c') + ".akv").c_str());
  ASSERT_LT(host_path_.size() + std::strlen("!events.idx"), 256u);
  ASSERT_GT(host_path_.size(), 128u);
  const int host = Host(true);
  ASSERT_GE(host, 0);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  for (int i = 0; i < 20; ++i) ASSERT_EQ(0, Add(set.data_file(), "long-" + std::to_string(i), i + 1, 50));
  ASSERT_EQ(0, CloseFileSet(set.block()));
  ASSERT_EQ(0, CloseFileEntry(host));
  CalendarFileSet reopened(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, OpenFileSetFromIfil(reopened.block())) << "the host is opened for its members";
  for (int i = 0; i < 20; ++i) EXPECT_EQ(0, Find(reopened, "long-" + std::to_string(i))) << i;
  ASSERT_EQ(0, CloseFileSet(reopened.block()));
}

TEST_F(SuperfileTest, AMemberReusesOnlyFreeStretchesUnderTwiceItsNeed) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  const int n = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateDataFile(n, (host_path_ + "!x").c_str(), 10, 0, 4));
  const uint32_t big = NewVarRecordSpace(n, 1000);  // a stretch of 1018 bytes
  ASSERT_NE(0u, big);
  ASSERT_NE(0u, NewVarRecordSpace(n, 10));
  ASSERT_EQ(0, ReleaseVarRecordSpace(n, big));
  // 118 bytes would waste most of it: new space instead.
  const uint32_t small = NewVarRecordSpace(n, 100);
  EXPECT_GT(small, big);
  // 618 bytes take it whole.
  EXPECT_EQ(big, NewVarRecordSpace(n, 600));
  VarRecordHeader h;
  ASSERT_EQ(0, ReadVarRecordHeader(Fcb(n), big, &h));
  EXPECT_EQ(1018u, h.total);
}

TEST_F(SuperfileTest, FailedSetCreateLeavesNoMemberBehind) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  // A member already holds the index's name: the set cannot be made, and
  // its data member must not stay in the directory.
  const int n = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateDataFile(n, (host_path_ + "!s.idx").c_str(), 10, 0, 4));
  CalendarFileSet set(host_path_ + "!s");
  EXPECT_NE(0, CreateFileSetFromIfil(set.block()));
  const int probe = FindFreeFileNumbers(1);
  EXPECT_EQ(12, OpenFileEntry(probe, (host_path_ + "!s.dat").c_str(), 4));
  ASSERT_EQ(0, DeleteEngineFile(n));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  EXPECT_EQ(0, Add(set.data_file(), "only", 1, 10));
}

TEST_F(SuperfileTest, MemberHeaderLocksUseDistinctBytes) {
  const int host = Host(true, 0x201);
  ASSERT_GE(host, 0);
  CalendarFileSet set(CalendarFileSet::MemberName(host_path_));
  ASSERT_EQ(0, CreateFileSetFromIfil(set.block()));
  std::set<uint32_t> units;
  uint32_t unit = 0;
  EXPECT_FALSE(SuperfileHeaderLockUnit(Fcb(host), &unit));
  units.insert(0);  // the host's own header
  for (int f : {host + 1, set.data_file(), set.uid_key(), set.serial_key()}) {
    ASSERT_TRUE(SuperfileHeaderLockUnit(Fcb(f), &unit)) << f;
    EXPECT_TRUE(units.insert(unit).second) << "file " << f << " shares lock unit " << unit;
  }
  // All of them can be held at once.
  for (int f : {host, host + 1, set.data_file(), set.uid_key(), set.serial_key()}) ASSERT_EQ(0, LockFileHeader(Fcb(f)));
  for (int f : {host, host + 1, set.data_file(), set.uid_key(), set.serial_key()}) EXPECT_EQ(0, UnlockFileHeader(Fcb(f)));
}

TEST_F(SuperfileTest, DeletedMemberGivesItsSpaceBackAndRenamedOneOpensByItsNewName) {
  const int host = Host(true, 0x200);
  ASSERT_GE(host, 0);
  CalendarFileSet a(host_path_ + "!a");
  CalendarFileSet b(host_path_ + "!b");
  ASSERT_NO_FATAL_FAILURE(CreateUnshared(&a));
  ASSERT_NO_FATAL_FAILURE(CreateUnshared(&b));
  // a's records lie together (one run of space), b's among a few of a's.
  for (int i = 0; i < 100; ++i) ASSERT_EQ(0, Add(a.data_file(), "a" + std::to_string(i), i + 1, 100));
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(0, Add(b.data_file(), "b" + std::to_string(i), i + 1, 100));
    if (i % 20 == 0) {
      ASSERT_EQ(0, Add(a.data_file(), "late" + std::to_string(i), 200 + i, 100));
    }
  }
  const int a_data = a.data_file();
  const uint32_t a_member = Fcb(a_data)->header.superfile_member;
  const uint32_t a_entry = Fcb(a_data)->header_position - Fcb(host)->header.name_limit - kLongVarHeader;
  const uint32_t size_before = Fcb(host)->header.logical_end;
  // The directory cannot go; a member can, and leaves the host's size alone.
  EXPECT_EQ(56, DeleteEngineFile(host + 1));
  ASSERT_EQ(0, DeleteEngineFile(a_data));
  // The space goes back to the host's free space, keyed (the index's new
  // nodes come out of the freed space itself).
  EXPECT_EQ(size_before, Fcb(host)->header.logical_end);
  EXPECT_EQ("", HostWalkProblem(Fcb(host)));
  VarRecordHeader entry;
  ASSERT_EQ(0, ReadVarRecordHeader(Fcb(host), a_entry, &entry));
  EXPECT_EQ(kMarkFree, entry.mark);
  uint8_t target[kSpaceKeyLength], found[kSpaceKeyLength];
  BuildSpaceKeyBytes(0, 0, 0, target);
  ASSERT_EQ(1, SpaceIndexFind(Fcb(host), target, false, found));
  EXPECT_LT(DecodeSpaceKey(found).position, size_before);
  // No stretch names the deleted member any more; b is untouched.
  for (uint32_t at = Fcb(host)->header.node_size; at <= Fcb(host)->header.logical_end;) {
    VarRecordHeader h;
    ASSERT_EQ(0, ReadVarRecordHeader(Fcb(host), at, &h)) << at;
    EXPECT_TRUE(h.member != a_member || h.mark == kMarkFree) << at;
    at += h.total;
  }
  const int n = FindFreeFileNumbers(1);
  EXPECT_EQ(12, OpenFileEntry(n, (host_path_ + "!a.dat").c_str(), 4));
  EXPECT_EQ(100u, Walk(b.data_file()).size());
  // A new member's entry reuses the freed space.
  ASSERT_EQ(0, CreateDataFile(n, (host_path_ + "!new").c_str(), 10, 0, 4));
  EXPECT_LT(Fcb(n)->header_position, size_before);
  ASSERT_EQ(0, CloseFileEntry(n));

  // Rename: same host part only, and the old name no longer opens.
  const int b_data = b.data_file();
  EXPECT_EQ(418, RenameEngineFile(b_data, (host_path_ + "x!c.dat").c_str()));
  EXPECT_EQ(46, RenameEngineFile(b_data, (host_path_ + "!b.idx").c_str()));
  ASSERT_EQ(0, RenameEngineFile(b_data, (host_path_ + "!c.dat").c_str()));
  ASSERT_EQ(0, CloseFileSet(b.block()));
  EXPECT_EQ(12, OpenFileEntry(n, (host_path_ + "!b.dat").c_str(), 4));
  ASSERT_EQ(0, OpenFileEntry(n, (host_path_ + "!c.dat").c_str(), 4));
  EXPECT_EQ(100u, Fcb(n)->header.active_count);
  // A host with an open member keeps its name.
  EXPECT_EQ(454, RenameEngineFile(host, Path("other.akv").c_str()));
  ASSERT_EQ(0, CloseFileEntry(n));
  ASSERT_EQ(0, CloseFileEntry(a_data + 1));  // a's index file
  const std::string renamed = Path("other.akv");
  ASSERT_EQ(0, RenameEngineFile(host, renamed.c_str()));
  ASSERT_EQ(0, OpenFileEntry(n, (renamed + "!c.dat").c_str(), 4));
}

}  // namespace
}  // namespace isam
