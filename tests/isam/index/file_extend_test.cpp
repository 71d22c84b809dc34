#include <gtest/gtest.h>

#include <algorithm>

#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

using FileExtend = indextest::IndexTest;

// New space comes at the aligned end; the file grows by whole extensions,
// the grown bytes read 0xFF, and the header on disk names the new ends.
TEST_F(FileExtend, GrowsByWholeExtensionsFilledWithFF) {
  Start();
  ASSERT_EQ(0, CreateDataFile(1, "grow.dat", 50, 1000, kModeNoFirstResource));
  FileControlBlock* fcb = CheckFileNumber(1);
  ASSERT_EQ(fcb->header.logical_end, 149u);
  ASSERT_EQ(fcb->header.physical_end, 149u);
  EXPECT_EQ(150u, ExtendFile(fcb, 50, 50));
  EXPECT_EQ(fcb->header.logical_end, 199u);
  EXPECT_EQ(fcb->header.physical_end, 1149u);
  // Aligned: the start moves up to the next multiple of 64.
  EXPECT_EQ(256u, ExtendFile(fcb, 10, 64));
  EXPECT_EQ(fcb->header.logical_end, 265u);
  // Past the physical end by more than one extension.
  EXPECT_EQ(266u, ExtendFile(fcb, 2500, 1));
  EXPECT_EQ(fcb->header.logical_end, 2765u);
  EXPECT_EQ(fcb->header.physical_end, 3149u);
  ASSERT_EQ(0, CloseFileEntry(1));  // an open engine file is not shared with readers
  const std::vector<uint8_t> b = FileBytes("grow.dat");
  ASSERT_GE(b.size(), 3150u);
  EXPECT_TRUE(std::all_of(b.begin() + 150, b.begin() + 3150, [](uint8_t c) { return c == 0xFF; }));
  EXPECT_EQ(Le32(b, 0), 3149u);
  EXPECT_EQ(Le32(b, 8), 2765u);
}

// An end that would wrap or reach the lock bytes, or no bytes at all: 39,
// and the header stays as it was.
TEST_F(FileExtend, AnEndPastTheLimitIs39) {
  Start();
  ASSERT_EQ(0, CreateIndexFile(2, "wrap.idx", 8, 0, 0, 0, 0, 0));
  FileControlBlock* fcb = CheckFileNumber(2);
  const FileHeader before = fcb->header;
  EXPECT_EQ(0u, ExtendFile(fcb, 0xFFFFFF00u, 1));
  EXPECT_EQ(Err(), 39);
  EXPECT_EQ(0u, ExtendFile(fcb, 0, 1));
  EXPECT_EQ(Err(), 39);
  EXPECT_EQ(fcb->header.logical_end, before.logical_end);
  EXPECT_EQ(fcb->header.physical_end, before.physical_end);
  EXPECT_EQ(fcb->header_lock_depth, 0);
  // An index grows on its node grid.
  const uint32_t node = fcb->header.node_size;
  const uint32_t at = ExtendFile(fcb, node, node);
  EXPECT_EQ(at % node, 0u);
  EXPECT_EQ(at, before.logical_end + 1);
}

}  // namespace
}  // namespace isam
