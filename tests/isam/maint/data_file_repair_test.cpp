// Examining and repairing data files: the console, the refusals, garbage
// in variable-length files, fixed-length delete stacks, and write faults
// at every step of a repair.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_check.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/file_close.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/varlen_record.h"
#include "isam/maint/repair/data_file_repair.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record.h"
#include "platform/os_file_faults.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam::maint {
namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
}

class RepairTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    in_ = std::tmpfile();
    out_ = std::tmpfile();
    SetRepairConsole(in_, out_);
  }
  void TearDown() override {
    platform::DisarmFileFaults();
    SetRepairConsole(nullptr, nullptr);
    std::fclose(in_);
    std::fclose(out_);
    RecordEngineTest::TearDown();
  }
  void Input(const std::string& text) {
    std::fclose(in_);
    in_ = std::tmpfile();
    std::fputs(text.c_str(), in_);
    std::rewind(in_);
    SetRepairConsole(in_, out_);
  }
  std::string Output() {
    std::string s;
    std::rewind(out_);
    for (int c; (c = std::fgetc(out_)) != EOF;) s.push_back(static_cast<char>(c));
    std::fclose(out_);
    out_ = std::tmpfile();
    SetRepairConsole(in_, out_);
    return s;
  }
  // A variable-length set without indexes holding `count` records of
  // 30 + i bytes; closed again. Returns the data file's path.
  std::string VariableFile(int count, std::vector<uint32_t>* positions = nullptr) {
    name_ = Path("rep");
    const std::string dat = Path("rep.dat");
    Path("rep.idx");
    block_.name = name_.c_str();
    block_.record_length = 8;
    block_.data_extension = 4096;
    block_.data_mode = 0x4;
    EXPECT_EQ(0, CreateFileSetFromIfil(&block_));
    for (int i = 0; i < count; ++i) {
      std::vector<uint8_t> r(static_cast<std::size_t>(30 + i), static_cast<uint8_t>('a' + i));
      EXPECT_EQ(0, IsamRecordAdd(block_.assigned, r.data(), static_cast<int32_t>(r.size())));
      if (positions) positions->push_back(CurrentRecordPosition(block_.assigned));
    }
    EXPECT_EQ(0, CloseFileSet(&block_));
    return dat;
  }
  // Opens the set again and checks it: the live records' count.
  int32_t CheckedRecords() {
    block_.data_file = -1;
    if (OpenFileSetFromIfil(&block_) != 0) return -1;
    FileSetReport report;
    const int rc = CheckFileSet(block_.assigned, &report);
    EXPECT_EQ(0, rc) << (report.problem ? report.problem : "");
    CloseFileSet(&block_);
    return rc == 0 ? report.records : -1;
  }
  int Examine(const std::string& path, int record_length = 8, int mode = 0x4, int extension = 4096) {
    return ExamineDataFile(20, path.c_str(), record_length, extension, mode, nullptr);
  }

  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  std::string name_;
  IfilBlock block_;
};

TEST_F(RepairTest, CleanFileAndRefusals) {
  const std::string dat = VariableFile(3);
  const std::vector<uint8_t> before = Bytes(dat);
  EXPECT_EQ(0, Examine(dat));
  EXPECT_EQ("\n\nExamining data file " + dat + ".\n\nNo data file rebuild necessary.", Output());
  EXPECT_EQ(before, Bytes(dat));
  EXPECT_EQ(kRepairFixedVariable, Examine(dat, 8, 0));
  EXPECT_EQ(kRepairMember, Examine("host!member"));
  EXPECT_EQ(kRepairOpenFailed, Examine(Path("missing.dat")));
  std::vector<uint8_t> old_version = before;
  old_version[40] = 7;
  Save(dat, old_version);
  EXPECT_EQ(kRepairVersion, Examine(dat));
  EXPECT_NE(std::string::npos, Output().find("\nData file version incompatibility detected."));
}

TEST_F(RepairTest, TheQuestion) {
  const std::string dat = Path("ask.dat");
  ASSERT_EQ(0, CreateDataFile(21, dat.c_str(), 100, 4096, 0x4));
  ASSERT_EQ(0, CloseFileEntry(21));
  const std::string prompt =
      "\n\nWARNING: data record length discrepancy.\nParameter file data record length = 120\n"
      "        Header data record length = 100\n\nUse parameter file value? (y or n)>> ";
  const struct {
    const char* input;
    std::string tail;
    int header_length;
  } cases[] = {
      {"x\nn\n", prompt + "Improper choice. Try again (y or n)>> " + "\n\nNo data file rebuild necessary.", 100},
      {"", prompt + "\n\nNo data file rebuild necessary.", 100},
      {"Yes\n", prompt + "\n\nRebuilding data file.\n", 120},
  };
  for (const auto& c : cases) {
    Input(c.input);
    EXPECT_EQ(0, Examine(dat, 120));
    const std::string out = Output();
    EXPECT_EQ(0u, out.find("\n\nExamining data file " + dat + "."));
    EXPECT_NE(std::string::npos, out.find(c.tail)) << out;
    EXPECT_EQ(c.header_length, GetLe16(Bytes(dat).data() + 44));
  }
}

TEST_F(RepairTest, GarbageBecomesFreeSpace) {
  std::vector<uint32_t> at;
  const std::string dat = VariableFile(3, &at);
  std::vector<uint8_t> bytes = Bytes(dat);
  for (int i = 0; i < 37; ++i) bytes[at[1] + static_cast<std::size_t>(i)] = static_cast<uint8_t>(0x31 + i);
  bytes[56] = 1;  // flagged corrupt
  Save(dat, bytes);
  EXPECT_EQ(0, Examine(dat));
  const std::string out = Output();
  EXPECT_NE(std::string::npos, out.find("\nBad record mark/lengths at file address " + std::to_string(at[1])));
  EXPECT_NE(std::string::npos, out.find("\n\t\t\tValid mark at " + std::to_string(at[2])));
  const std::vector<uint8_t> after = Bytes(dat);
  EXPECT_EQ(kMarkFree, GetLe16(after.data() + at[1]));
  EXPECT_EQ(at[2] - at[1], GetLe32(after.data() + at[1] + 2));
  for (uint32_t p : {at[0], at[2]}) EXPECT_EQ(0, std::memcmp(bytes.data() + p, after.data() + p, 40)) << p;
  EXPECT_EQ(2, CheckedRecords());
}

TEST_F(RepairTest, ShortGapJoinsTheStretchBefore) {
  std::vector<uint32_t> at;
  const std::string dat = VariableFile(3, &at);
  std::vector<uint8_t> bytes = Bytes(dat);
  const uint32_t total = GetLe32(bytes.data() + at[0] + 2);
  // Record 0 ends 6 bytes early: those 6 bytes look like a stretch of their own.
  PutLe32(bytes.data() + at[0] + 2, total - 6);
  PutLe32(bytes.data() + at[0] + 6, GetLe32(bytes.data() + at[0] + 6) - 6);
  std::memset(bytes.data() + at[0] + total - 6, 0x77, 6);
  bytes[56] = 1;
  Save(dat, bytes);
  EXPECT_EQ(0, Examine(dat));
  const std::vector<uint8_t> after = Bytes(dat);
  EXPECT_EQ(total, GetLe32(after.data() + at[0] + 2));
  EXPECT_EQ(0, std::memcmp(bytes.data() + at[1], after.data() + at[1], 40));
  EXPECT_EQ(3, CheckedRecords());
}

TEST_F(RepairTest, FixedDeleteStackRelinked) {
  const std::string dat = Path("fixed.dat");
  ASSERT_EQ(0, CreateDataFile(21, dat.c_str(), 32, 4096, 0));
  std::vector<uint32_t> at;
  for (int i = 0; i < 7; ++i) {
    at.push_back(NewDataRecord(21));
    std::vector<uint8_t> r(32, static_cast<uint8_t>('A' + i));
    ASSERT_EQ(0, WriteDataRecordAt(21, at.back(), r.data()));
  }
  ASSERT_EQ(0, ReleaseDataRecord(21, at[5]));
  ASSERT_EQ(0, ReleaseDataRecord(21, at[3]));  // the stack now runs 3, 5
  ASSERT_EQ(0, CloseFileEntry(21));
  std::vector<uint8_t> bytes = Bytes(dat);
  PutLe32(bytes.data() + 4, 0);  // the stack is lost
  bytes[56] = 1;
  Save(dat, bytes);
  EXPECT_EQ(0, Examine(dat, 32, 0));
  EXPECT_NE(std::string::npos, Output().find("/ 5 active records)."));
  ASSERT_EQ(0, OpenEngineFile(21, dat.c_str(), 0));
  EXPECT_EQ(at[5], NewDataRecord(21));  // file order: the later one on top
  EXPECT_EQ(at[3], NewDataRecord(21));
  EXPECT_EQ(7, DataRecordCount(21));
  ASSERT_EQ(0, CloseFileEntry(21));
}

TEST_F(RepairTest, EveryWriteFailureLeavesARepairableFile) {
  std::vector<uint32_t> at;
  const std::string dat = VariableFile(40, &at);
  std::vector<uint8_t> damaged = Bytes(dat);
  for (int i = 0; i < 37; ++i) damaged[at[10] + static_cast<std::size_t>(i)] = 0x55;
  damaged[56] = 1;
  for (uint64_t n = 1; n < 200; ++n) {
    Save(dat, damaged);
    platform::ArmFileFault({platform::FileFaultOp::kWrite, n, platform::FileFaultKind::kFail, false});
    const int rc = Examine(dat);
    const bool fired = platform::FileFaultFired();
    platform::DisarmFileFaults();
    if (!fired) {
      EXPECT_EQ(0, rc);
      EXPECT_GT(n, 3u);
      break;
    }
    EXPECT_NE(0, rc) << n;
    EXPECT_EQ(0, Examine(dat)) << n;
    EXPECT_EQ(39, CheckedRecords()) << n;
  }
}

}  // namespace
}  // namespace isam::maint
