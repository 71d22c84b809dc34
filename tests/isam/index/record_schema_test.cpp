// Record schemas and field names of data files: the stored layout, the
// field placement rules, the control block's copy, the header flag bytes
// and what the maintenance utilities read back.
#include "isam/index/record_schema.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_definition.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/resource_definition.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

TEST(RecordSchemaRules, EntryTypesAndSizes) {
  SchemaField f;
  ASSERT_EQ(0, SchemaEntryFor(0, 40, &f));  // no type: a delimited text
  EXPECT_EQ(146, f.type);
  EXPECT_EQ(40, f.size);
  ASSERT_EQ(0, SchemaEntryFor(0x67, 999, &f));  // fixed types ignore the length
  EXPECT_EQ(8, f.size);
  ASSERT_EQ(0, SchemaEntryFor(0x21, 0, &f));
  EXPECT_EQ(2, f.size);
  ASSERT_EQ(0, SchemaEntryFor(108, 0, &f));
  EXPECT_EQ(10, f.size);
  ASSERT_EQ(0, SchemaEntryFor(170, 300, &f));
  EXPECT_EQ(300, f.size);
  EXPECT_EQ(432, SchemaEntryFor(109, 4, &f));
  EXPECT_EQ(432, SchemaEntryFor(145, 4, &f));
  EXPECT_EQ(432, SchemaEntryFor(154, 70000, &f));
}

TEST(RecordSchemaRules, AlignmentPaddingFollowsTypeSizeAndUnit) {
  EXPECT_EQ(3u, AlignmentPadding(8, 0x33, 1));  // 32-bit at 1 goes to 4
  EXPECT_EQ(1u, AlignmentPadding(2, 0x33, 1));  // ... at most the unit
  EXPECT_EQ(0u, AlignmentPadding(1, 0x33, 1));
  EXPECT_EQ(4u, AlignmentPadding(8, 0x67, 12));
  EXPECT_EQ(0u, AlignmentPadding(4, 0x67, 12));
  EXPECT_EQ(0u, AlignmentPadding(8, 0x08, 5));  // bytes never move
  EXPECT_EQ(0u, AlignmentPadding(8, 146, 5));   // nor texts
  EXPECT_EQ(0u, AlignmentPadding(8, 104, 5));   // nor decimals
}

std::vector<RecordField> EventFields() {
  return {{"id", 0x3B, 0}, {"flag", 0x08, 0}, {"amount", 0x67, 0}, {nullptr, 0x21, 0}, {"name", 0, 30}};
}

class RecordSchemaTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    path_ = Path("schema.dat");
    ASSERT_EQ(0, CreateDataFile(1, path_.c_str(), 24, 1000, kModeVariable));
  }
  std::vector<uint8_t> Definition(int mode, int alignment = -1) {
    const int32_t n = GetRecordDefinition(1, 0, nullptr, alignment, mode);
    EXPECT_GE(n, 0);
    std::vector<uint8_t> b(static_cast<std::size_t>(n > 0 ? n : 0));
    EXPECT_EQ(n, GetRecordDefinition(1, n, b.data(), alignment, mode));
    return b;
  }
  std::string path_;
};

TEST_F(RecordSchemaTest, StoredSchemaHasTheHeaderAndOneEntryPerField) {
  const auto fields = EventFields();
  ASSERT_EQ(0, PutRecordSchema(1, fields.data(), static_cast<int>(fields.size())));
  const auto s = Definition(kRecordDefinitionSchema);
  ASSERT_EQ(16u + 4 * 5, s.size());
  EXPECT_EQ(2, s[0]);
  EXPECT_EQ(8, s[1]);
  EXPECT_EQ(0, s[2]);
  EXPECT_EQ(32, s[3]);
  EXPECT_EQ(36u, GetLe32(s.data() + 4));
  EXPECT_EQ(5u, GetLe32(s.data() + 8));
  EXPECT_EQ(5u, GetLe32(s.data() + 12));
  const uint8_t entries[] = {4, 0, 0x3B, 0, 1, 0, 0x08, 0, 8, 0, 0x67, 0, 2, 0, 0x21, 0, 30, 0, 146, 0};
  EXPECT_EQ(0, std::memcmp(s.data() + 16, entries, sizeof entries));
  // The copy survives a reopen: it is read back from the file.
  ASSERT_EQ(0, CloseFileEntry(1));
  ASSERT_EQ(0, OpenFileEntry(1, path_.c_str(), kModeVariable));
  const RecordSchemaView view = RecordSchemaOf(Fcb(1));
  ASSERT_EQ(s.size(), view.length);
  EXPECT_EQ(0, std::memcmp(s.data(), view.data, s.size()));
  // A refused field list stores nothing.
  const RecordField bad[] = {{"a", 0x3B, 0}, {"b", 120, 4}};
  EXPECT_EQ(432, PutRecordSchema(1, bad, 2));
  EXPECT_EQ(s, Definition(kRecordDefinitionSchema));
}

TEST_F(RecordSchemaTest, FieldsAreFoundByTheRulesOfTheirTypes) {
  const auto fields = EventFields();
  ASSERT_EQ(0, PutRecordSchema(1, fields.data(), static_cast<int>(fields.size())));
  int32_t length = 0;
  EXPECT_EQ(0, RecordFieldOffset(1, 0, &length));
  EXPECT_EQ(4, length);
  EXPECT_EQ(4, RecordFieldOffset(1, 1, &length));
  EXPECT_EQ(8, RecordFieldOffset(1, 2, &length));  // the double skips 3 bytes
  EXPECT_EQ(8, length);
  EXPECT_EQ(16, RecordFieldOffset(1, 3, &length));
  EXPECT_EQ(18, RecordFieldOffset(1, 4, &length));
  EXPECT_EQ(30, length);
  EXPECT_EQ(-433, RecordFieldOffset(1, 5, &length));
  // Mode 4 with its own alignment packs the fields.
  const auto table = Definition(kRecordDefinitionTable, 1);
  RecordFieldDescription d[6];
  ASSERT_GE(table.size(), sizeof d);
  std::memcpy(d, table.data(), sizeof d);
  const int32_t packed[] = {0, 4, 5, 13, 15};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(packed[i], d[i].offset) << i;
  EXPECT_EQ(-1, d[5].offset);
  EXPECT_EQ(0x67, d[2].type);
  EXPECT_EQ(30, d[4].size);
  // Without names every field is unnamed.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(-1, d[i].name_offset);
}

TEST_F(RecordSchemaTest, NamesFollowTheSchemaInEveryMode) {
  EXPECT_EQ(-199, GetRecordDefinition(1, 0, nullptr, -1, kRecordDefinitionSchema));
  EXPECT_EQ(0, GetRecordDefinition(1, 0, nullptr, -1, kRecordDefinitionNames));
  EXPECT_EQ(-116, GetRecordDefinition(1, 0, nullptr, -1, 5));
  EXPECT_EQ(0, GetIfilDefinition(1, 0, nullptr, 0x102));
  const auto fields = EventFields();
  ASSERT_EQ(0, DefineRecordFields(1, fields.data(), static_cast<int>(fields.size())));
  const std::vector<uint8_t> names = Definition(kRecordDefinitionNames);
  const std::string want = std::string("\x04id\0", 4) + std::string("\x06" "flag\0", 6) +
                           std::string("\x08" "amount\0", 8) + "\x01" + std::string("\x06" "name\0", 6);
  EXPECT_EQ(want, std::string(names.begin(), names.end()));
  // The maintenance utilities' view of the same list.
  std::vector<uint8_t> buf(64, 0xEE);
  EXPECT_EQ(static_cast<int32_t>(want.size()), GetIfilDefinition(1, 64, buf.data(), 0x102));
  EXPECT_EQ(want, std::string(buf.begin(), buf.begin() + static_cast<long>(want.size())));
  // Too small a buffer is told the size and left alone.
  std::vector<uint8_t> small(5, 0xEE);
  EXPECT_EQ(static_cast<int32_t>(want.size()), GetIfilDefinition(1, 5, small.data(), 0x102));
  EXPECT_EQ(std::vector<uint8_t>(5, 0xEE), small);
  const auto both = Definition(kRecordDefinitionBoth);
  EXPECT_EQ(36u + want.size(), both.size());
  const auto table = Definition(kRecordDefinitionTable);
  RecordFieldDescription d[6];
  std::memcpy(d, table.data(), sizeof d);
  ASSERT_EQ(-1, d[5].offset);
  EXPECT_EQ("amount", std::string(reinterpret_cast<const char*>(table.data() + d[2].name_offset)));
  EXPECT_EQ(-1, d[3].name_offset);
  EXPECT_EQ("name", std::string(reinterpret_cast<const char*>(table.data() + d[4].name_offset)));
  EXPECT_EQ(18, d[4].offset);
  // A list without a single name is stored empty.
  const RecordField unnamed[] = {{nullptr, 0x3B, 0}, {"", 0x08, 0}};
  ASSERT_EQ(0, PutFieldNames(1, unnamed, 2));
  EXPECT_EQ(0, GetIfilDefinition(1, 0, nullptr, 0x102));
}

TEST_F(RecordSchemaTest, FlagBytesChangeTheSchemaOrTheIndexHeader) {
  EXPECT_EQ(199, SetHeaderFlagByte(1, kFlagByteDelimiter, ';'));
  const auto fields = EventFields();
  ASSERT_EQ(0, PutRecordSchema(1, fields.data(), static_cast<int>(fields.size())));
  ASSERT_EQ(0, SetHeaderFlagByte(1, kFlagByteDelimiter, ';'));
  ASSERT_EQ(0, SetHeaderFlagByte(1, kFlagBytePad, '.'));
  EXPECT_EQ(116, SetHeaderFlagByte(1, 7, 0));
  const RecordSchemaView live = RecordSchemaOf(Fcb(1));
  EXPECT_EQ(';', SchemaDelimiter(&live));
  EXPECT_EQ('.', SchemaPadByte(&live));
  const auto stored = Definition(kRecordDefinitionSchema);
  EXPECT_EQ(';', stored[2]);
  EXPECT_EQ('.', stored[3]);

  const std::string idx = Path("flags.idx");
  ASSERT_EQ(0, CreateIndexFile(2, idx.c_str(), 8, 0, 0, 0, 1024, 0));
  ASSERT_EQ(0, SetHeaderFlagByte(2, kFlagBytePad, '#'));
  EXPECT_EQ(48, SetHeaderFlagByte(2, kFlagByteDelimiter, ';'));
  ASSERT_EQ(0, CloseFileEntry(2));
  ASSERT_EQ(0, OpenFileEntry(2, idx.c_str(), 0));
  EXPECT_EQ('#', Fcb(2)->header.padding & 0xFF);
  EXPECT_EQ('#', Fcb(2)->layout.pad);
}

TEST_F(RecordSchemaTest, ASharedFileRefusesChangesUnlessThisInstanceIsCreatingIt) {
  const std::string shared = Path("shared.dat");
  ASSERT_EQ(0, CreateDataFile(3, shared.c_str(), 24, 1000, kModeVariable | kModeShared));
  const auto fields = EventFields();
  // Just created by this instance: no other opener can hold it yet.
  ASSERT_EQ(0, PutRecordSchema(3, fields.data(), static_cast<int>(fields.size()), true));
  ASSERT_EQ(0, SetHeaderFlagByte(3, kFlagBytePad, '_', true));
  // Opened shared like anyone else: other openers may rely on it.
  EXPECT_EQ(62, PutRecordSchema(3, fields.data(), static_cast<int>(fields.size())));
  EXPECT_EQ(62, SetHeaderFlagByte(3, kFlagBytePad, '-'));
  ASSERT_EQ(0, CloseFileEntry(3));
  ASSERT_EQ(0, OpenFileEntry(3, shared.c_str(), kModeVariable | kModeShared));
  const RecordSchemaView view = RecordSchemaOf(Fcb(3));
  EXPECT_EQ('_', SchemaPadByte(&view));
  EXPECT_EQ(62, SetHeaderFlagByte(3, kFlagBytePad, '-'));
}

TEST_F(RecordSchemaTest, KeysOnVariableFieldsAllowPartialRecords) {
  ASSERT_EQ(0, CloseFileEntry(1));
  Path("keys.dat");  // left by an earlier run
  Path("keys.idx");
  EventShapedSet set(dir_ + "_keys", kModeVariable, 0);
  set.uid_segment = {0, 4, 12};      // the id: fixed part
  set.serial_segment = {4, 10, 13};  // the name: behind the fixed part
  set.indexes[0].key_length = 4;
  set.indexes[0].key_type = 0;
  set.indexes[1].key_length = 14;
  set.block.record_length = 24;
  ASSERT_EQ(0, CreateFileSetFromIfil(&set.block));
  const int n = set.block.assigned;
  IsamTables* t = CurrentIsamTables();
  ASSERT_NE(nullptr, t);
  const auto fields = EventFields();
  ASSERT_EQ(0, PutRecordSchema(n, fields.data(), static_cast<int>(fields.size())));
  EXPECT_FALSE(t->Key(n + 1).partial_allowed);
  EXPECT_TRUE(t->Key(n + 2).partial_allowed);
  // The stored key of a record through the data file's schema, and back.
  std::vector<uint8_t> rec(18, 0);  // id, flag, padding, amount, the 16-bit field
  PutLe32(rec.data(), 77);
  for (char c : std::string("lower")) rec.push_back(static_cast<uint8_t>(c));
  rec.push_back(0);
  const RecordSchemaView view = RecordSchemaOf(Fcb(n));
  uint8_t key[14];
  const KeyBuildResult r = BuildKeyImage(t->Key(n + 2).def, &view, rec.data(), rec.size(), nullptr, key);
  ASSERT_EQ(0, r.error);
  EXPECT_EQ("LOWER     ", std::string(reinterpret_cast<char*>(key), 10));
  uint8_t id[4];
  ASSERT_EQ(4, BuildKeyImage(t->Key(n + 1).def, &view, rec.data(), rec.size(), nullptr, id).length);
  EXPECT_EQ(77u, GetBe32(id));
  ASSERT_EQ(0, KeyToValueForm(n + 1, id));
  EXPECT_EQ(77u, GetLe32(id));
  EXPECT_EQ(80, KeyToValueForm(n + 40, id));
  ASSERT_EQ(0, CloseFileSet(&set.block));
}

}  // namespace
}  // namespace isam
