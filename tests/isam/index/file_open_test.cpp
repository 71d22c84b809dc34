#include <gtest/gtest.h>

#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_header.h"
#include "isam/index/file_open.h"
#include "isam/index/resource_anchor.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

using indextest::IndexTest;

using FileCreate = IndexTest;

TEST_F(FileCreate, FixedDataFileHeaderBytes) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "fixed.dat", 50, 0, kModeNoFirstResource));
  const FileControlBlock* f = CheckFileNumber(1);
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(f->header.logical_end, 149u);  // the first record starts at 150
  ASSERT_EQ(0, CloseFileEntry(1));
  const std::vector<uint8_t> b = FileBytes("fixed.dat");
  ASSERT_GE(b.size(), 128u);
  EXPECT_EQ(Le32(b, 8), 149u);
  EXPECT_EQ(Le16(b, 40), 129);
  EXPECT_EQ(Le16(b, 44), 50);
  EXPECT_EQ(Le16(b, 64), 0);
  EXPECT_EQ(Le16(b, 96), 255);
  EXPECT_EQ(Le16(b, 100), 0x2F);
}

// Without the first resource nothing extends a new file past its header,
// yet the header claims the whole header block (or the space before the
// first fixed record): the file must still reopen.
TEST_F(FileCreate, FileWithoutFirstResourceReopens) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "bare_fixed.dat", 50, 0, kModeNoFirstResource));
  ASSERT_EQ(0, CreateDataFile(2, "bare_var.dat", 14, 0, kModeNoFirstResource | 0x4));
  const uint32_t var_end = CheckFileNumber(2)->header.logical_end;
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, CloseFileEntry(2));
  EXPECT_GE(FileBytes("bare_fixed.dat").size(), 150u);
  EXPECT_GE(FileBytes("bare_var.dat").size(), var_end + 1);
  ASSERT_EQ(0, OpenFileEntry(1, "bare_fixed.dat", 0));
  ASSERT_EQ(0, OpenFileEntry(2, "bare_var.dat", 0x4));
  EXPECT_EQ(CheckFileNumber(2)->header.logical_end, var_end);
}

TEST_F(FileCreate, AnchorTakesWholeRecordsAtTheFirstRecordPosition) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "anchored.dat", 50, 0, 0));
  const FileControlBlock* f = CheckFileNumber(1);
  EXPECT_EQ(f->header.first_resource, 150u);
  EXPECT_EQ(f->header.logical_end, 199u);
  ASSERT_EQ(0, CloseFileEntry(1));
  const std::vector<uint8_t> b = FileBytes("anchored.dat");
  EXPECT_EQ(Le16(b, 150), kResourceMark);
  EXPECT_EQ(Le32(b, 150 + 2), 50u);   // one whole record
  EXPECT_EQ(Le32(b, 150 + 6), 9u);    // type, number, empty name
  EXPECT_EQ(Le32(b, 150 + 14), 150u);  // a chain of one
  EXPECT_EQ(Le32(b, 150 + 18), 150u);
}

TEST_F(FileCreate, IndexGeometryAndLimits) {
  Start(6);
  ASSERT_EQ(0, CreateIndexFile(2, "k200.idx", 200, 0, 0, 0, 0, 0));
  const FileHeader& h = CheckFileNumber(2)->header;
  EXPECT_EQ(h.key_bytes, 400);
  EXPECT_EQ(h.node_usable, 750);
  EXPECT_EQ(h.file_type, kFileTypeIndex);
  EXPECT_EQ(h.padding, 32);
  ASSERT_EQ(0, CloseFileEntry(2));
  const std::vector<uint8_t> b = FileBytes("k200.idx");
  EXPECT_EQ(Le16(b, 52), 400);
  EXPECT_EQ(Le16(b, 54), 750);
  EXPECT_EQ(45, CreateIndexFile(2, "k256.idx", 256, 0, 0, 0, 0, 0));
  EXPECT_EQ(52, CreateIndexFile(2, "kt.idx", 8, 0x1, 0, 0, 0, 0));
  EXPECT_EQ(0, FileNumberState(2));
}

TEST_F(FileCreate, CreateErrors) {
  Start();
  EXPECT_EQ(21, CreateDataFile(1, "short.dat", 4, 0, 0));
  EXPECT_EQ(53, CreateDataFile(1, "tx.dat", 50, 0, kModeTransaction));
  ASSERT_EQ(0, CreateDataFile(1, "one.dat", 50, 0, 0));
  EXPECT_EQ(46, CreateDataFile(1, "two.dat", 50, 0, 0));
  EXPECT_EQ(19, CreateDataFile(2, "one.dat", 50, 0, 0));
  EXPECT_EQ(0, FileNumberState(2));
  EXPECT_EQ(22, CreateDataFile(500, "far.dat", 50, 0, 0));
}

TEST_F(FileCreate, SuperfileHostExtensionIsUnsigned32768) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "host.dat", 0, 0, kModeSuperHost));
  const FileHeader& h = CheckFileNumber(1)->header;
  EXPECT_EQ(h.extension_size, 32768u);
  EXPECT_EQ(h.file_class, kClassSuperHost);
  EXPECT_EQ(h.file_type, kFileTypeVariable);
  EXPECT_EQ(h.name_limit, 128);  // node size below 1024
  ASSERT_EQ(0, CloseFileEntry(1));
  const std::vector<uint8_t> b = FileBytes("host.dat");
  EXPECT_EQ(Le16(b, 46), 32768);
  ASSERT_EQ(0, OpenFileEntry(1, "host.dat", 0));
  EXPECT_EQ(CheckFileNumber(1)->header.extension_size, 32768u);
}

using FileOpen = IndexTest;

TEST_F(FileOpen, ReopenKeepsHeader) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "k.idx", 16, 0, 1, 0, 4096, 0x1));
  ASSERT_EQ(0, CloseFileEntry(3));
  ASSERT_EQ(0, OpenFileEntry(3, "k.idx", 0x1));
  const FileHeader& h = CheckFileNumber(3)->header;
  EXPECT_EQ(h.key_length, 16);
  EXPECT_EQ(h.duplicates, 1);
  EXPECT_EQ(h.extension_size, 4096);
  EXPECT_EQ(0, CloseFileEntry(3));
  EXPECT_EQ(26, CloseFileEntry(3));
}

TEST_F(FileOpen, PatchedFormatIdGives43AndFreesTheNumber) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(3, "p.idx", 16, 0, 0, 0, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(3));
  PatchFile("p.idx", 40, {130, 0});
  EXPECT_EQ(43, OpenFileEntry(3, "p.idx", 0));
  EXPECT_EQ(0, FileNumberState(3));
  EXPECT_EQ(nullptr, CheckFileNumber(3));
  PatchFile("p.idx", 40, {129, 0});
  EXPECT_EQ(0, OpenFileEntry(3, "p.idx", 0));
}

TEST_F(FileOpen, RebuildStatusAnswersInOrder) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "r.dat", 50, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(1));
  PatchFile("r.dat", 56, {1});
  EXPECT_EQ(14, OpenFileEntry(1, "r.dat", 0));
  ASSERT_EQ(0, OpenFileEntry(1, "r.dat", kModeIgnoreRebuild));
  EXPECT_EQ(CheckFileNumber(1)->header.rebuild_status, kRebuildOpenedAnyway);
  ASSERT_EQ(0, CloseFileEntry(1));
  PatchFile("r.dat", 56, {'c'});
  EXPECT_EQ(15, OpenFileEntry(1, "r.dat", 0));
  PatchFile("r.dat", 40, {1, 0});  // the format id is checked before 'c'
  EXPECT_EQ(43, OpenFileEntry(1, "r.dat", 0));
}

TEST_F(FileOpen, OtherOpenCodes) {
  Start();
  EXPECT_EQ(12, OpenFileEntry(1, "missing.dat", 0));
  EXPECT_EQ(0, FileNumberState(1));
  ASSERT_EQ(0, CreateDataFile(1, "a.dat", 50, 0, 0));
  EXPECT_EQ(46, OpenFileEntry(1, "a.dat", 0));
  ASSERT_EQ(0, CloseFileEntry(1));
  PatchFile("a.dat", 64, {3, 0});
  EXPECT_EQ(13, OpenFileEntry(1, "a.dat", 0));
  PatchFile("a.dat", 64, {0, 0});
  PatchFile("a.dat", 8, {0xFF, 0xFF, 0xFF, 0x7F});  // logical end beyond the file
  EXPECT_EQ(kErrFileDamaged, OpenFileEntry(1, "a.dat", 0));
  EXPECT_EQ(0, FileNumberState(1));
}

TEST_F(FileOpen, IndexMembersOpenAndCloseWithTheirIndex) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(4, "m.idx", 10, 0, 0, 2, 0, 0));
  EXPECT_EQ(46, FileNumberState(5));
  ASSERT_EQ(0, AddIndexMember(4, 20, 0, 1, 1));
  ASSERT_EQ(0, AddIndexMember(4, 8, 0, 0, 2));
  EXPECT_EQ(46, AddIndexMember(4, 8, 0, 0, 2));
  EXPECT_EQ(23, CloseFileEntry(5));
  ASSERT_EQ(0, CloseFileEntry(4));
  EXPECT_EQ(0, FileNumberState(5));
  ASSERT_EQ(0, OpenFileEntry(4, "m.idx", 0));
  ASSERT_NE(nullptr, CheckFileNumber(5));
  EXPECT_EQ(CheckFileNumber(5)->header.key_length, 20);
  EXPECT_EQ(CheckFileNumber(5)->header.duplicates, 1);
  EXPECT_EQ(CheckFileNumber(6)->header.key_length, 8);
  EXPECT_EQ(CheckFileNumber(6)->header.header_position, 256u);
  ASSERT_EQ(0, CloseFileEntry(4));
}

TEST_F(FileOpen, FreeNumbersAndNames) {
  Start();
  ASSERT_EQ(0, CreateDataFile(0, "a.dat", 50, 0, 0));
  ASSERT_EQ(0, CreateDataFile(2, "b.dat", 50, 0, 0));
  EXPECT_EQ(1, FindFreeFileNumbers(1));
  EXPECT_EQ(3, FindFreeFileNumbers(2));
  EXPECT_EQ(2, FindOpenFileByName("B.DAT"));
  EXPECT_EQ(-1, FindOpenFileByName("c.dat"));
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

TEST_F(FileOpen, SerialNumbersAreReservedUnderTheOption) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "s.dat", 50, 0, kModeShared));
  EXPECT_EQ(0u, CurrentSerialNumber(1));
  CurrentInstance()->option_word |= 0x80000;
  EXPECT_EQ(1u, CurrentSerialNumber(1));
  EXPECT_EQ(2u, CurrentSerialNumber(1));
  CurrentInstance()->option_word &= ~0x80000u;
  EXPECT_EQ(2u, CurrentSerialNumber(1));
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, OpenFileEntry(1, "s.dat", 0));
  EXPECT_EQ(2u, CurrentSerialNumber(1));
}

}  // namespace
}  // namespace isam

#include "isam/record/record_layer.h"
#include "isam/record/resource_definition.h"

namespace isam {
namespace {

TEST_F(FileOpen, IndexOpenLoadsItsCollatingTable) {
  InstallRecordLayer();  // the table is a resource: the open reads it through the record layer
  Start();
  ASSERT_EQ(0, CreateIndexFile(2, "c.idx", 8, 0, 0, 0, 0, 0));
  std::vector<uint8_t> table(512);
  for (int c = 0; c < 256; ++c) {
    table[2 * c] = static_cast<uint8_t>(255 - c);
    table[2 * c + 1] = 0x01;
  }
  ASSERT_EQ(0, PutDefinitionResource(2, table.data(), 512, 512, 0, kDefinitionNumberIndex));
  ASSERT_EQ(0, CloseFileEntry(2));
  ASSERT_EQ(0, OpenFileEntry(2, "c.idx", 0));
  const FileControlBlock* f = CheckFileNumber(2);
  ASSERT_NE(nullptr, f->collation);
  EXPECT_EQ(f->collation[0], 0x01FF);
  EXPECT_EQ(f->collation[255], 0x0100);
  ASSERT_EQ(0, CloseFileEntry(2));
  ASSERT_EQ(0, CreateIndexFile(3, "plain.idx", 8, 0, 0, 0, 0, 0));
  EXPECT_EQ(nullptr, CheckFileNumber(3)->collation);
  ASSERT_EQ(0, CloseFileEntry(3));
  ASSERT_EQ(0, OpenFileEntry(3, "plain.idx", 0));  // no table stored: no failure
  EXPECT_EQ(nullptr, CheckFileNumber(3)->collation);
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

TEST_F(FileOpen, MirrorBitTailWordAndModeChecks) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "mirror.dat", 50, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(1));
  PatchFile("mirror.dat", 98, {1, 0});
  EXPECT_EQ(550, OpenFileEntry(1, "mirror.dat", 0));
  EXPECT_EQ(0, FileNumberState(1));
  // Read-only opens leave the bit on disk; 0x2000 opens, logs and clears it.
  ASSERT_EQ(0, OpenFileEntry(1, "mirror.dat", kModeReadOnly));
  ASSERT_EQ(0, CloseFileEntry(1));
  EXPECT_EQ(Le16(FileBytes("mirror.dat"), 98), 1);
  ASSERT_EQ(0, OpenFileEntry(1, "mirror.dat", kModeIgnoreMirror));
  ASSERT_EQ(0, CloseFileEntry(1));
  EXPECT_EQ(Le16(FileBytes("mirror.dat"), 98), 0);
  const std::string logged = StatusLogText();
  EXPECT_NE(logged.find("Following file is opened without mirror ..."), std::string::npos);
  EXPECT_NE(logged.find("mirror.dat"), std::string::npos);

  EXPECT_EQ(48, OpenFileEntry(1, "mirror.dat", kModeVariable));  // a fixed file
  PatchFile("mirror.dat", 116, {0, 1, 0, 0});
  EXPECT_EQ(606, OpenFileEntry(1, "mirror.dat", 0));
  EXPECT_EQ(0, FileNumberState(1));
}

TEST_F(FileOpen, BadMemberHeaderFreesEveryNumber) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(4, "mk.idx", 10, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, AddIndexMember(4, 12, 0, 0, 1));
  ASSERT_EQ(0, CloseFileEntry(4));
  PatchFile("mk.idx", 128 + 57, {0x2});
  EXPECT_EQ(52, OpenFileEntry(4, "mk.idx", 0));
  EXPECT_EQ(0, FileNumberState(4));
  EXPECT_EQ(0, FileNumberState(5));
  PatchFile("mk.idx", 128 + 57, {0x0});
  ASSERT_EQ(0, OpenFileEntry(4, "mk.idx", 0));
  EXPECT_EQ(CheckFileNumber(5)->header.key_length, 12);
}

TEST_F(FileOpen, BlankHeaderLeavesTheBlankMark) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "blank.dat", 50, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(1));
  PatchFile("blank.dat", 0, std::vector<uint8_t>(128, 0));
  CurrentInstance()->os_error = 0;
  EXPECT_NE(0, OpenFileEntry(1, "blank.dat", 0));
  EXPECT_EQ(CurrentInstance()->os_error, -539);
  EXPECT_EQ(0, FileNumberState(1));
}

}  // namespace
}  // namespace isam

namespace isam {
namespace {

// The key layout of an index and its members, changed in memory and put
// into their headers, is what a reopen finds.
TEST_F(FileCreate, PutIndexTableWritesEveryMembersLayout) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(4, "layout.idx", 8, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, AddIndexMember(4, 10, 0, 0, 1));
  ASSERT_EQ(0, InitIndexControl(&CheckFileNumber(4)->header, 20, 0x4, 1));
  ASSERT_EQ(0, InitIndexControl(&CheckFileNumber(5)->header, 30, 0, 0));
  ASSERT_EQ(0, PutIndexTable(4));
  EXPECT_EQ(CheckFileNumber(4)->layout.key_length, 20);
  ASSERT_EQ(0, CloseFileEntry(4));
  ASSERT_EQ(0, OpenFileEntry(4, "layout.idx", kModeShared));
  EXPECT_EQ(CheckFileNumber(4)->header.key_length, 20);
  EXPECT_EQ(CheckFileNumber(4)->header.duplicates, 1);
  EXPECT_EQ(CheckFileNumber(4)->header.key_type, 0x4);
  EXPECT_EQ(CheckFileNumber(5)->header.key_length, 30);
  EXPECT_EQ(45, InitIndexControl(&CheckFileNumber(5)->header, 256, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(4));
  ASSERT_EQ(0, OpenFileEntry(4, "layout.idx", kModeReadOnly));
  EXPECT_EQ(54, PutIndexTable(4));
  ASSERT_EQ(0, CreateDataFile(1, "plain.dat", 50, 0, 0));
  EXPECT_EQ(48, PutIndexTable(1));
}

}  // namespace
}  // namespace isam
