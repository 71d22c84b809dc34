#include "isam/index/file_header.h"

#include <gtest/gtest.h>

#include <random>

namespace isam {
namespace {

TEST(FileHeaderCodec, FieldsLandAtTheirOffsetsLittleEndian) {
  FileHeader h;
  h.physical_end = 0x01020304;
  h.logical_end = 149;
  h.root = 0xA0B0C0D0;
  h.record_length = 50;
  h.extension_size = 32768;
  h.key_type = 0x0C;
  h.file_type = kFileTypeIndex;
  h.key_length = 200;
  h.file_class = kClassSuperHost;
  h.close_time = 0x11223344;
  uint8_t b[kFileHeaderSize];
  EncodeFileHeader(h, b);
  EXPECT_EQ(b[0], 0x04);
  EXPECT_EQ(b[3], 0x01);
  EXPECT_EQ(b[8], 149);
  EXPECT_EQ(b[28], 0xD0);
  EXPECT_EQ(b[31], 0xA0);
  EXPECT_EQ(b[40], 129);
  EXPECT_EQ(b[41], 0);
  EXPECT_EQ(b[44], 50);
  EXPECT_EQ(b[46], 0x00);  // 32768 as an unsigned 16-bit value
  EXPECT_EQ(b[47], 0x80);
  EXPECT_EQ(b[57], 0x0C);
  EXPECT_EQ(b[61], 2);
  EXPECT_EQ(b[62], 8);
  EXPECT_EQ(b[63], 4);
  EXPECT_EQ(b[64], 1);
  EXPECT_EQ(b[66], 200);
  EXPECT_EQ(b[92], 1);
  EXPECT_EQ(b[96], 255);
  EXPECT_EQ(b[100], 0x2F);
  EXPECT_EQ(b[112], 0x44);
  FileHeader back;
  DecodeFileHeader(b, &back);
  EXPECT_EQ(back.extension_size, 32768u);
  EXPECT_EQ(back.root, 0xA0B0C0D0u);
}

TEST(FileHeaderCodec, EveryBytePatternRoundTrips) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    uint8_t in[kFileHeaderSize], out[kFileHeaderSize];
    for (uint8_t& c : in) c = static_cast<uint8_t>(rng());
    FileHeader h;
    DecodeFileHeader(in, &h);
    EncodeFileHeader(h, out);
    ASSERT_EQ(0, memcmp(in, out, kFileHeaderSize)) << "round " << round;
  }
}

TEST(FileHeaderGeometry, LeafKeyBytesAndUsable) {
  FileHeader h;
  h.node_size = 768;
  h.key_length = 200;
  ComputeNodeGeometry(&h);
  EXPECT_EQ(h.key_bytes, 400);
  EXPECT_EQ(h.node_usable, 750);
  EXPECT_EQ(h.leaf_limit, 192);
}

class HeaderOpenChecks : public ::testing::Test {
 protected:
  FileHeader Valid() {
    FileHeader h;
    h.file_type = kFileTypeIndex;
    h.node_size = 768;
    h.key_length = 16;
    return h;
  }
  HeaderOpenLimits lim{768, 255, kModeShared, false};
};

TEST_F(HeaderOpenChecks, ValidHeaderPasses) { EXPECT_EQ(CheckHeaderForOpen(Valid(), lim), 0); }

TEST_F(HeaderOpenChecks, EachCheckAnswersItsCode) {
  FileHeader h = Valid();
  h.format_id = 130;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 43);
  h = Valid();
  h.key_length = 256;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 45);
  h = Valid();
  h.rebuild_status = 'c';
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 15);
  HeaderOpenLimits anyway = lim;
  anyway.open_mode |= kModeIgnoreRebuild;
  EXPECT_EQ(CheckHeaderForOpen(h, anyway), 0);
  h = Valid();
  h.file_type = 3;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 13);
  h = Valid();
  h.node_size = 1024;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 40);
  h = Valid();
  h.member_number = 1;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 23);
  h = Valid();
  h.kept_mode = kModeTransaction;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 53);
  HeaderOpenLimits ro = lim;
  ro.open_mode = kModeReadOnly;
  EXPECT_EQ(CheckHeaderForOpen(h, ro), 0);
}

TEST_F(HeaderOpenChecks, OrderFirstFailureWins) {
  FileHeader h = Valid();
  h.status_word = 1;     // mirror: 550 comes first
  h.format_id = 1;
  h.key_length = 300;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 550);
  h.status_word = 0xFFFF;  // read as 0
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 43);  // before the key length
  h.format_id = kFileFormatId;
  EXPECT_EQ(CheckHeaderForOpen(h, lim), 45);
}

}  // namespace
}  // namespace isam
