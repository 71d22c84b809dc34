#include "isam/fileset/file_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "isam/calendar_file_set.h"
#include "isam/fileset/file_set_stored.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/file_header.h"
#include "isam/index/file_open.h"
#include "isam/record/isam_record.h"
#include "isam/record/resource_chain.h"
#include "platform/os_file_faults.h"
#include "tests/isam/fileset/file_set_test_support.h"

namespace isam {
namespace {

std::vector<uint8_t> Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FileCopyTest : public FileSetTestBase {
 protected:
  void SetUp() override {
    FileSetTestBase::SetUp();
    set_ = FreshSet("set");
    base_ = set_->name;
    copy_base_ = FreshSet("copy")->name;
    std::vector<std::string> uids;
    for (int i = 0; i < 40; ++i) uids.push_back("uid-" + std::to_string(i));
    CreateWithRecords(set_.get(), uids, 300);
    const auto note = ResourceBytes(7, 1, "note", std::string(3000, 'n'));
    ASSERT_EQ(0, AddResourceEntry(Data(), note.data(), static_cast<int32_t>(note.size())));
  }
  int Data() const { return set_->block.assigned; }
  std::string base_, copy_base_;
  std::unique_ptr<EventShapedSet> set_;
};

TEST_F(FileCopyTest, ACopiedSetOpensWithItsRecordsAndResources) {
  // An odd chunk size, so chunk edges fall anywhere, the header field at
  // 32 included.
  ASSERT_EQ(0, CopyFileToPath(Data(), (copy_base_ + ".dat").c_str(), 7, false));
  ASSERT_EQ(0, CopyFileToPath(Data() + 1, (copy_base_ + ".idx").c_str(), 0, true));
  // What this instance knows of the files is in the copies' headers.
  const auto copy = Bytes(copy_base_ + ".dat");
  const auto index_copy = Bytes(copy_base_ + ".idx");
  for (int file : {Data(), Data() + 1, Data() + 2}) {
    uint8_t mine[128];
    EncodeFileHeader(CheckFileNumber(file)->header, mine);
    const auto& bytes = file == Data() ? copy : index_copy;
    const uint32_t at = CheckFileNumber(file)->header_position;
    ASSERT_GE(bytes.size(), at + 128u);
    EXPECT_TRUE(std::equal(mine + 36, mine + 128, bytes.begin() + at + 36)) << file;
    EXPECT_TRUE(std::equal(mine + 0, mine + 32, bytes.begin() + at)) << file;
  }
  // Behind the headers (which the close writes again) the bytes are the
  // original's. (An exclusive file cannot be read from outside while open.)
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  const auto original = Bytes(base_ + ".dat");
  const auto index_original = Bytes(base_ + ".idx");
  ASSERT_EQ(original.size(), copy.size());
  ASSERT_EQ(index_original.size(), index_copy.size());
  EXPECT_TRUE(std::equal(copy.begin() + 128, copy.end(), original.begin() + 128));
  EXPECT_TRUE(std::equal(index_copy.begin() + 256, index_copy.end(), index_original.begin() + 256));
  const int n = OpenFileSetByDefinition(-1, (copy_base_ + ".dat").c_str(), kModeVariable);
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  for (int i = 0; i < 40; ++i) EXPECT_TRUE(Found(n + 1, "uid-" + std::to_string(i))) << i;
  std::vector<uint8_t> key(8), back(4096);
  PutLe32(key.data(), 7);
  PutLe32(key.data() + 4, 1);
  int32_t used = 0;
  EXPECT_NE(0u, ResourceRecordFind(n, key.data(), back.data(), 4096, kFindResourceByKey, &used));
  back.resize(static_cast<std::size_t>(used));
  EXPECT_EQ(ResourceBytes(7, 1, "note", std::string(3000, 'n')), back);
  // The copy is a file of its own: changing it leaves the original alone.
  const auto r = EventRecord("only-in-copy", 99);
  ASSERT_EQ(0, IsamRecordAdd(n, r.data(), static_cast<int32_t>(r.size())));
  ASSERT_EQ(0, CloseFileSetByNumber(n));
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  EXPECT_FALSE(Found(Data() + 1, "only-in-copy"));
  EXPECT_TRUE(Found(Data() + 1, "uid-39"));
}

TEST_F(FileCopyTest, TheHeaderFieldAt32IsKeptOnlyWhenAskedFor) {
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  {
    std::fstream f(base_ + ".dat", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(32);
    f.write("\xA5\xA5\xA5\xA5", 4);
  }
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  const std::string kept = Path("kept.dat"), cleared = Path("cleared.dat");
  ASSERT_EQ(0, CopyFileToPath(Data(), kept.c_str(), 0, true));
  ASSERT_EQ(0, CopyFileToPath(Data(), cleared.c_str(), 34, false));  // the field spans two chunks
  const auto with_field = Bytes(kept);
  ASSERT_GE(with_field.size(), 128u);
  EXPECT_EQ(0xA5A5A5A5u, GetLe32(with_field.data() + 32));
  auto expected = with_field;
  std::fill(expected.begin() + 32, expected.begin() + 36, 0);
  EXPECT_EQ(expected, Bytes(cleared));
  // Copying over an older copy replaces it.
  ASSERT_EQ(0, CopyFileToPath(Data(), kept.c_str(), 0, false));
  EXPECT_EQ(expected, Bytes(kept));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  const auto original = Bytes(base_ + ".dat");
  ASSERT_EQ(original.size(), with_field.size());
  EXPECT_TRUE(std::equal(original.begin() + 128, original.end(), with_field.begin() + 128));
}

TEST_F(FileCopyTest, RefusalsAndFailuresLeaveNoCopyBehind) {
  const std::string target = Path("target.dat");
  EXPECT_EQ(82, CopyFileToPath(Data(), target.c_str(), 0x1000001, false)) << "no buffer that large";
  EXPECT_EQ(657, CopyFileToPath(Data(), Path("no-such-dir/x.dat").c_str(), 0, false));
  EXPECT_EQ(657, CopyFileToPath(Data(), (base_ + ".dat").c_str(), 0, false)) << "never over itself";
  EXPECT_EQ(657, CopyFileToPath(Data(), "", 0, false));
  EXPECT_EQ(26, CopyFileToPath(Data() + 5, target.c_str(), 0, false));
  EXPECT_FALSE(std::filesystem::exists(target));

  platform::FileFaultPlan plan;
  plan.op = platform::FileFaultOp::kWrite;
  plan.nth = 2;
  platform::ArmFileFault(plan);
  EXPECT_EQ(658, CopyFileToPath(Data(), target.c_str(), 512, false));
  platform::DisarmFileFaults();
  EXPECT_FALSE(std::filesystem::exists(target)) << "a partial copy is deleted";

  plan.op = platform::FileFaultOp::kRead;
  plan.nth = 3;
  plan.kind = platform::FileFaultKind::kShort;
  platform::ArmFileFault(plan);
  EXPECT_EQ(659, CopyFileToPath(Data(), target.c_str(), 512, false)) << "a short read ends the copy early";
  platform::DisarmFileFaults();
  EXPECT_FALSE(std::filesystem::exists(target));

  EXPECT_TRUE(Found(Data() + 1, "uid-7")) << "the original is untouched";
}

TEST_F(FileCopyTest, ASharedFileNeedsThePermission) {
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  set_->block.data_mode = kModeVariable | kModeShared;
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  const std::string target = Path("shared.dat");
  EXPECT_EQ(62, CopyFileToPath(Data(), target.c_str(), 0, false));
  EXPECT_FALSE(std::filesystem::exists(target));
  AllowSharedFileCopy(true);
  EXPECT_EQ(0, CopyFileToPath(Data(), target.c_str(), 0, false));
  AllowSharedFileCopy(false);
  EXPECT_EQ(62, CopyFileToPath(Data(), target.c_str(), 0, false));
}

TEST_F(FileSetTestBase, ACopiedCalendarHostOpensWhereItWasCopiedTo) {
  std::string host;
  const std::string copy = Path("backup.akv");
  auto set = CreateCalendar("cal.akv", &host);
  ASSERT_NE(nullptr, set);
  const int h = FindOpenFileByName(host.c_str());
  ASSERT_GE(h, 0);
  for (int i = 0; i < 200; ++i) {
    const auto r = EventRecord("event-" + std::to_string(i), static_cast<uint32_t>(i + 1), 100 + 7 * i);
    ASSERT_EQ(0, IsamRecordAdd(set->data_file(), r.data(), static_cast<int32_t>(r.size())));
  }
  // The host is open shared, as a running program holds its calendar.
  EXPECT_EQ(62, CopyFileToPath(h, copy.c_str(), 0, false));
  AllowSharedFileCopy(true);
  ASSERT_EQ(0, CopyFileToPath(h, copy.c_str(), 4096, false));
  CloseAllFiles();
  EXPECT_EQ(std::filesystem::file_size(host), std::filesystem::file_size(copy));
  // The copy's members are found under the copy's path, by the set's own
  // definition as well as by the block.
  CalendarFileSet restored(CalendarFileSet::MemberName(copy));
  ASSERT_EQ(0, OpenFileSetFromIfil(restored.block()));
  for (int i = 0; i < 200; i += 17) {
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    const auto t = UidTarget("event-" + std::to_string(i));
    ASSERT_EQ(0, IsamRecordReadByKey(restored.uid_key(), t.data(), kReadEqual, buf.data(), &len)) << i;
    EXPECT_EQ(EventRecord("event-" + std::to_string(i), static_cast<uint32_t>(i + 1), 100 + 7 * i),
              std::vector<uint8_t>(buf.begin(), buf.begin() + len));
  }
  ASSERT_EQ(0, CloseFileSet(restored.block()));
  CloseAllFiles();
  const int n = OpenFileSetByDefinition(-1, (CalendarFileSet::MemberName(copy) + ".dat").c_str(),
                                        static_cast<uint16_t>(kCalendarDataMode));
  ASSERT_GE(n, 0) << CurrentInstance()->isam_error;
  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  int count = 0;
  for (int rc = IsamRecordFirst(n + 2, buf.data(), &len); rc == 0; rc = IsamRecordNext(n + 2, buf.data(), &len)) {
    ++count;
    len = 4096;
  }
  EXPECT_EQ(200, count) << "every event in serial order";
}

}  // namespace
}  // namespace isam
