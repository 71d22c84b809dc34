#include "isam/superfile/superfile_delete_rename.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "isam/engine_api.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/fixed_record.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/superfile/superfile_names.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

// By the directory entry: an exclusively open file cannot be opened again
// on Win32, so opening is no test of existence.
bool Exists(const std::string& name) { return std::filesystem::exists(name); }

TEST_F(RecordEngineTest, DeleteNeedsAnExclusiveOpen) {
  const std::string name = Path("del.dat");
  ASSERT_EQ(0, CreateDataFile(1, name.c_str(), 20, 100, 0));
  CloseAllFiles();
  ASSERT_EQ(0, OpenFileEntry(1, name.c_str(), kModeShared));
  EXPECT_EQ(56, DeleteEngineFile(1));
  EXPECT_TRUE(Exists(name));
  CloseAllFiles();
  ASSERT_EQ(0, OpenFileEntry(1, name.c_str(), 0));
  EXPECT_EQ(0, DeleteEngineFile(1));
  EXPECT_FALSE(Exists(name));
  EXPECT_EQ(nullptr, CheckFileNumber(1));
}

TEST_F(RecordEngineTest, RenameKeepsTheFileOpenUnderItsNewName) {
  const std::string name = Path("old.dat");
  const std::string renamed = Path("new.dat");
  ASSERT_EQ(0, CreateDataFile(1, name.c_str(), 20, 100, 0));
  const uint32_t at = NewDataRecord(1);
  char rec[20] = "kept across rename";
  ASSERT_EQ(0, WriteDataRecordAt(1, at, rec));
  EXPECT_EQ(0, RenameEngineFile(1, name.c_str())) << "same name: nothing to do";
  ASSERT_EQ(0, RenameEngineFile(1, renamed.c_str()));
  EXPECT_FALSE(Exists(name));
  EXPECT_TRUE(Exists(renamed));
  char back[20] = {};
  ASSERT_EQ(0, ReadDataRecordAt(1, at, back));
  EXPECT_STREQ(rec, back);
  EXPECT_STREQ(renamed.c_str(), CheckFileNumber(1)->name);
  // Onto an existing file: refused, still open under the old name.
  const std::string other = Path("other.dat");
  ASSERT_EQ(0, CreateDataFile(2, other.c_str(), 20, 100, 0));
  EXPECT_EQ(67, RenameEngineFile(1, other.c_str()));
  ASSERT_EQ(0, ReadDataRecordAt(1, at, back));
  CloseAllFiles();
  ASSERT_EQ(0, OpenFileEntry(1, renamed.c_str(), kModeShared));
  EXPECT_EQ(62, RenameEngineFile(1, name.c_str()));
}

TEST(SuperfileNames, MemberPartIsPaddedAndTheHostLengthReturned) {
  char member[16];
  EXPECT_EQ(8, SplitMemberName("C:/a.akv!events", member, sizeof member));
  EXPECT_STREQ("events         ", member);
  EXPECT_EQ(0, SplitMemberName("plain.dat", member, sizeof member));
  EXPECT_STREQ("               ", member);
}

// Both are engine functions (3 and 36), reached through the dispatcher.
TEST_F(RecordEngineTest, DeleteAndRenameAreReachedByTheirFunctionNumbers) {
  const std::string name = Path("fn.dat");
  const std::string renamed = Path("fn2.dat");
  ASSERT_EQ(0, CreateDataFile(1, name.c_str(), 20, 100, 0));
  CallParameterBlock b;
  CopyBoundedString(b.path, renamed.c_str(), sizeof b.path);
  EXPECT_EQ(0, EngineCallNumber(36, 1, &b, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(Exists(name));
  EXPECT_TRUE(Exists(renamed));
  EXPECT_EQ(0, EngineCallNumber(3, 1, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(Exists(renamed));
  EXPECT_EQ(26, EngineCallNumber(3, 1, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(116, EngineCallNumber(36, 2, nullptr, nullptr, nullptr, nullptr, 0));
}

}  // namespace
}  // namespace isam
