#include "isam/fileset/isam_record_services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/index/file_control_block.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/os_file_layer.h"
#include "tests/isam/record/isam_set_fixtures.h"

namespace isam {
namespace {

class IsamServicesTest : public EventSetTest {};

TEST_F(IsamServicesTest, InitIndexControlRebuildsTheKeyLayoutFromTheHeader) {
  FileControlBlock* uid = Fcb(uid_);
  const NodeLayout before = uid->layout;
  const FileHeader header = uid->header;
  // A layout left out of step with the header (as before a rebuild) comes
  // back from the header's key fields alone.
  uid->header.key_bytes = 0;
  uid->header.leaf_limit = 0;
  uid->layout = NodeLayout{};
  ASSERT_EQ(0, InitIndexControl(uid));
  EXPECT_EQ(header.key_bytes, uid->header.key_bytes);
  EXPECT_EQ(header.leaf_limit, uid->header.leaf_limit);
  EXPECT_EQ(before.key_length, uid->layout.key_length);
  EXPECT_EQ(before.leaf_key_bytes, uid->layout.leaf_key_bytes);
  EXPECT_EQ(before.key_type, uid->layout.key_type);
  ASSERT_EQ(0, Add("after", 1));
  std::vector<uint8_t> rec;
  EXPECT_EQ(0, ReadUid("after", &rec));
  // What the nodes cannot hold is refused and changes nothing.
  EXPECT_EQ(48, InitIndexControl(Fcb(data_)));
  uid->header.key_type = 1;
  EXPECT_EQ(52, InitIndexControl(uid));
  uid->header.key_type = header.key_type;
  uid->header.key_length = 0;
  EXPECT_EQ(45, InitIndexControl(uid));
  uid->header.key_length = header.key_length;
  EXPECT_EQ(header.key_bytes, uid->header.key_bytes);
}

TEST_F(IsamServicesTest, TheStoredDefinitionTellsItsSizeBeforeItIsUnpacked) {
  std::vector<uint8_t> packed;
  ASSERT_EQ(0, GetStoredIfilBytes(data_, &packed));
  StoredFileSet stored;
  const int32_t size = GetStoredIfil(data_, 0, &stored);
  EXPECT_EQ(static_cast<int32_t>(packed.size()), size);
  EXPECT_EQ(0, stored.block.index_count) << "a buffer too small gets nothing";
  EXPECT_EQ(size, GetStoredIfil(data_, size, &stored));
  EXPECT_EQ(2, stored.block.index_count);
  EXPECT_EQ(-1, stored.block.data_file);
  EXPECT_EQ(-1, stored.block.assigned);
  EXPECT_EQ(200, stored.indexes[0].key_length);
  EXPECT_GT(0, GetStoredIfil(uid_, size, &stored)) << "an index stores no file-set definition";
}

TEST_F(IsamServicesTest, FreedTablesComeBackWithTheNextSet) {
  ASSERT_EQ(0, Add("kept", 1));
  ASSERT_EQ(0, CloseFileSet(&set_->block));
  ASSERT_EQ(0, FreeIsamTables(CurrentInstance()->file_count));
  EXPECT_EQ(nullptr, CurrentIsamTables());
  ASSERT_EQ(0, OpenFileSetFromIfil(&set_->block));
  ASSERT_NE(nullptr, CurrentIsamTables());
  data_ = set_->block.assigned;
  uid_ = data_ + 1;
  std::vector<uint8_t> rec;
  EXPECT_EQ(0, ReadUid("kept", &rec));
}

TEST_F(IsamServicesTest, AnIndexTableNeedsAnIndex) {
  uint16_t table[256];
  for (int c = 0; c < 256; ++c) table[c] = static_cast<uint16_t>(255 - c);
  EXPECT_EQ(48, PutIndexTable(data_, table));
  EXPECT_EQ(33, PutIndexTable(uid_, nullptr));
  ASSERT_EQ(0, PutIndexTable(serial_, table));
  ASSERT_NE(nullptr, Fcb(serial_)->collation);
  EXPECT_EQ(255, Fcb(serial_)->collation[0]);
  EXPECT_EQ(nullptr, Fcb(uid_)->collation) << "the table is the member's own";
}

TEST_F(IsamServicesTest, ControlBlocksReachTheBytesOfTheirFile) {
  ASSERT_EQ(0, Add("sized", 1, 300));
  FileControlBlock* data = Fcb(data_);
  EXPECT_GE(GetOsFileSize(data), data->header.logical_end);
  uint8_t head[8] = {};
  int32_t count = 0;
  ASSERT_EQ(0, FilePositionedIo(0, data, 0, head, sizeof head, &count));
  EXPECT_EQ(8, count);
  uint8_t again[8] = {};
  ASSERT_EQ(0, FilePositionedIo(0, &data->os, 0, again, sizeof again, &count));
  EXPECT_EQ(0, std::memcmp(head, again, sizeof head));
  // A text stream for the utilities' work files, or null where none can be.
  const std::string name = Path("stream.txt");
  std::FILE* f = OpenStreamWithRetry(name.c_str(), "w", 2);
  ASSERT_NE(nullptr, f);
  std::fclose(f);
  std::remove(name.c_str());
  EXPECT_EQ(nullptr, OpenStreamWithRetry((name + "_missing_dir/x.txt").c_str(), "r", 2));
}

TEST_F(IsamServicesTest, StoredKeysGoBackToTheirValuesAndDefinitionsCanBeStoredAgain) {
  const auto r = EventRecord("valued", 0x01020304u);
  uint8_t stored[256];
  ASSERT_EQ(8, BuildStoredKey(serial_, r.data(), stored, 77, static_cast<int32_t>(r.size())));
  ASSERT_EQ(0, KeyToValueForm(serial_, stored));
  EXPECT_EQ(0, std::memcmp(stored, r.data() + 6, 4)) << "the serial as the record holds it";
  EXPECT_EQ(80, KeyToValueForm(data_, stored));
  // The utilities store a changed definition and close the set by its block.
  const char* text = "rebuilt";
  set_->block.text2 = text;
  ASSERT_EQ(0, WriteIfilResource(set_->block, data_));
  std::vector<uint8_t> packed;
  ASSERT_EQ(0, GetStoredIfilBytes(data_, &packed));
  EXPECT_EQ(PackIfil(set_->block), packed);
  ASSERT_EQ(0, CloseFileSetEntry(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  EXPECT_EQ(nullptr, Fcb(data_));
}

}  // namespace
}  // namespace isam
