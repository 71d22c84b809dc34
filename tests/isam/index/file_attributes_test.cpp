// Attributes and definition changes of an open data file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "isam/engine_api.h"
#include "isam/index/file_attributes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_layer.h"
#include "isam/index/file_read_write.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/runtime/engine_test_env.h"

namespace {

class FileAttributesTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    isam::InstallFileLayer();
    ASSERT_EQ(0, isam::EngineStart(10, 20, 6, 10, 0, nullptr, nullptr, nullptr));
    ASSERT_EQ(0, isam::EngineCreateDataFile(1, PathIn("fixed.dat").c_str(), 50, 0, 0));
  }
};

TEST_F(FileAttributesTest, AttributesReadTheHeader) {
  EXPECT_EQ(50, isam::GetFileAttribute(1, 0));
  EXPECT_EQ(0, isam::GetFileAttribute(1, 2));
  // Logical end + 1: at least the first record's place, 150 (the first
  // resource may follow it).
  EXPECT_LE(150, isam::GetFileAttribute(1, 10));
  EXPECT_EQ(static_cast<int32_t>(isam::CheckFileNumber(1)->header.physical_end + 1), isam::GetFileAttribute(1, 11));
  EXPECT_EQ(32, isam::GetFileAttribute(1, 16));
  EXPECT_EQ(8, isam::GetFileAttribute(1, 21));
  EXPECT_EQ(-1, isam::GetFileAttribute(1, 99));
  EXPECT_EQ(isam::kEngBadArgument, isam::CurrentInstance()->eng_err);
  EXPECT_EQ(-1, isam::GetFileAttribute(5, 0));
  EXPECT_EQ(26, isam::CurrentInstance()->eng_err);
}

TEST_F(FileAttributesTest, FileNameFitsOrIsRefused) {
  char name[300];
  EXPECT_EQ(0, isam::GetFileName(1, name, sizeof name, 0));
  EXPECT_EQ(PathIn("fixed.dat"), name);
  char small[4];
  EXPECT_EQ(isam::kEngNameTooLong, isam::GetFileName(1, small, sizeof small, 0));
  EXPECT_EQ(isam::kEngNullBuffer, isam::GetFileName(1, nullptr, 10, 0));
  EXPECT_EQ(isam::kEngBadArgument, isam::GetFileName(1, name, sizeof name, 7));
}

TEST_F(FileAttributesTest, DefinitionChangesReturnTheOldValueAndPersist) {
  int32_t v = 41;
  EXPECT_EQ(0, isam::AlterFileDefinition(1, 1, &v));
  EXPECT_EQ(0, v);
  v = 7;
  EXPECT_EQ(0, isam::AlterFileDefinition(1, 1, &v));
  EXPECT_EQ(41, v);
  v = 0;
  EXPECT_EQ(isam::kEngBadArgument, isam::AlterFileDefinition(1, 9, &v));
  v = 1;
  EXPECT_EQ(0, isam::AlterFileDefinition(1, 33, &v));
  EXPECT_TRUE(isam::CheckFileNumber(1)->updates_blocked);
  ASSERT_EQ(0, isam::EngineCloseFile(1));
  ASSERT_EQ(0, isam::EngineOpenFile(1, PathIn("fixed.dat").c_str(), 0x1));
  EXPECT_EQ(7u, isam::CheckFileNumber(1)->header.serial_counter);
  // Shared files refuse header changes below code 32, and mode changes.
  v = 3;
  EXPECT_EQ(62, isam::AlterFileDefinition(1, 1, &v));
  EXPECT_EQ(62, isam::SetFileMode(1, 0));
}

TEST_F(FileAttributesTest, ExtensionSizeOfAnIndexMemberIsNotItsOwn) {
  ASSERT_EQ(0, isam::CreateIndexFile(2, PathIn("keys.idx").c_str(), 8, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, isam::AddIndexMember(2, 8, 0, 0, 1));
  int32_t v = 20000;
  EXPECT_EQ(0, isam::AlterFileDefinition(2, 22, &v));
  EXPECT_EQ(20000, isam::CheckFileNumber(2)->header.extension_size);
  v = 20000;
  EXPECT_EQ(0, isam::AlterFileDefinition(3, 22, &v));
  EXPECT_EQ(0xFFFF, isam::CheckFileNumber(3)->header.extension_size);
}

TEST_F(FileAttributesTest, ModeMustAgreeWithTheFileType) {
  EXPECT_EQ(48, isam::SetFileMode(1, 0x4));
  EXPECT_EQ(0, isam::SetFileMode(1, 0x40));
  EXPECT_EQ(0x40, isam::GetFileAttribute(1, 3));
  char key[8];
  EXPECT_EQ(48, isam::GetCurrentKey(1, key));
}

TEST_F(FileAttributesTest, RecordSizedIoUsesTheRecordLength) {
  isam::FileControlBlock* fcb = isam::CheckFileNumber(1);
  std::string record(50, 'r');
  int32_t count = 0;
  ASSERT_EQ(0, isam::FileReadWrite(1, fcb, 150, &record[0], 0, &count));
  EXPECT_EQ(50, count);
  std::string back(60, '.');
  ASSERT_EQ(0, isam::FileReadWrite(0, fcb, 150, &back[0], 0, &count));
  EXPECT_EQ(std::string(50, 'r') + std::string(10, '.'), back);
  EXPECT_EQ(isam::kEngNegativeLength, isam::FileReadWrite(0, fcb, 150, &back[0], -2, &count));
}

}  // namespace
