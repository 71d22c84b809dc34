#include "isam/superfile/index_key_dump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "isam/engine_api.h"
#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/runtime/runtime_utils.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"

namespace isam {
namespace {

class IndexKeyDumpTest : public RecordEngineTest {
 protected:
  // Numbers in use now; a dump must leave the same behind.
  int OpenNumbers() {
    int n = 0;
    for (int i = 0; i < CurrentInstance()->file_count; ++i) n += FileNumberState(i) != 0;
    return n;
  }
  int32_t Dump(const std::string& index, int member, const std::string& out) {
    IndexKeyDumpBlock b;
    CopyBoundedString(b.index_name, index.c_str(), sizeof b.index_name);
    CopyBoundedString(b.output_name, out.c_str(), sizeof b.output_name);
    return EngineDumpIndexKeys(static_cast<int16_t>(member), &b);
  }
  static std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static bool Exists(const std::string& path) { return std::ifstream(path).good(); }
  int Err() { return CurrentInstance()->eng_err; }
  static std::vector<uint8_t> Key(const std::string& text, std::size_t length) {
    std::vector<uint8_t> k(length, ' ');
    std::memcpy(k.data(), text.data(), std::min(text.size(), length));
    return k;
  }
  // What a dump entry holds: the key bytes (less a duplicate suffix), then
  // the position little-endian.
  static void Expect(std::vector<uint8_t>* out, const std::string& text, std::size_t length, uint32_t position) {
    const auto k = Key(text, length);
    out->insert(out->end(), k.begin(), k.end());
    uint8_t p[4];
    PutLe32(p, position);
    out->insert(out->end(), p, p + 4);
  }
};

// A plain index with one duplicates member: both dumped in key order, the
// member's keys without their position suffix and in position order among
// equals; the index is closed again afterwards.
TEST_F(IndexKeyDumpTest, PlainIndexAndItsDuplicatesMember) {
  const std::string idx = Path("plain.idx");
  ASSERT_EQ(0, CreateIndexFile(3, idx.c_str(), 8, 0, 0, 1, 0, 0));
  ASSERT_EQ(0, AddIndexMember(3, 10, 0, 1, 1));
  std::vector<uint8_t> want0, want1;
  // Inserted out of order; enough keys for several leaves.
  for (int i = 0; i < 300; ++i) {
    const int v = (i * 37) % 300;
    char text[16];
    std::snprintf(text, sizeof text, "k%05d", v);
    ASSERT_EQ(0, addkey(3, Key(text, 8).data(), 1000u + static_cast<uint32_t>(v), 0)) << i;
  }
  for (int v = 0; v < 300; ++v) {
    char text[16];
    std::snprintf(text, sizeof text, "k%05d", v);
    Expect(&want0, text, 8, 1000u + static_cast<uint32_t>(v));
  }
  // Member: the value "dup" three times (positions 0x01020304, 5, 70000),
  // "abc" once; the stored suffix sorts equals by position.
  ASSERT_EQ(0, addkey(4, Key("dup", 10).data(), 0x01020304u, 0));
  ASSERT_EQ(0, addkey(4, Key("dup", 10).data(), 5u, 0));
  ASSERT_EQ(0, addkey(4, Key("abc", 10).data(), 9u, 0));
  ASSERT_EQ(0, addkey(4, Key("dup", 10).data(), 70000u, 0));
  Expect(&want1, "abc", 6, 9);
  Expect(&want1, "dup", 6, 5);
  Expect(&want1, "dup", 6, 70000);
  Expect(&want1, "dup", 6, 0x01020304u);
  ASSERT_EQ(0, CloseFileEntry(3));
  const int before = OpenNumbers();

  const std::string out0 = Path("plain0.keys"), out1 = Path("plain1.keys");
  EXPECT_EQ(300, Dump(idx, 0, out0));
  EXPECT_EQ(0, Err());
  EXPECT_EQ(want0, Bytes(out0));
  EXPECT_EQ(4, Dump(idx, 1, out1));
  EXPECT_EQ(want1, Bytes(out1));
  EXPECT_EQ(before, OpenNumbers());
}

// An index member of a superfile host: the host is opened for the dump and
// closed again; a host the caller has open stays open.
TEST_F(IndexKeyDumpTest, MemberOfASuperfileHost) {
  const std::string host_path = Path("dump.akv");
  const int host = CreateCalendarHost(host_path);
  ASSERT_GE(host, 0);
  const std::string member = host_path + "!keys.idx";
  const int idx = FindFreeFileNumbers(1);
  ASSERT_EQ(0, CreateIndexFile(idx, member.c_str(), 12, 0, 1, 0, 0, 0));
  std::vector<uint8_t> want;
  for (int i = 0; i < 120; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "m%04d", i / 2);  // pairs of equal values
    ASSERT_EQ(0, addkey(idx, Key(text, 12).data(), 500u + static_cast<uint32_t>(i), 0));
    Expect(&want, text, 8, 500u + static_cast<uint32_t>(i));
  }
  ASSERT_EQ(0, CloseFileEntry(idx));
  ASSERT_EQ(0, CloseFileEntry(host));
  const int before = OpenNumbers();

  const std::string out = Path("member.keys");
  EXPECT_EQ(120, Dump(member, 0, out));
  EXPECT_EQ(want, Bytes(out));
  EXPECT_EQ(before, OpenNumbers());
  EXPECT_LT(FindOpenFileByName(host_path.c_str()), 0);

  // With the host open already, the dump leaves it open.
  const int n = FindFreeFileNumbers(2);
  ASSERT_EQ(0, OpenFileEntry(n, host_path.c_str(), kCalendarHostMode));
  const int with_host = OpenNumbers();
  const std::string out2 = Path("member2.keys");
  EXPECT_EQ(120, Dump(member, 0, out2));
  EXPECT_EQ(want, Bytes(out2));
  EXPECT_EQ(n, FindOpenFileByName(host_path.c_str()));
  EXPECT_EQ(with_host, OpenNumbers());
}

TEST_F(IndexKeyDumpTest, ErrorsReturnZeroWithTheirCodeAndLeaveNothingOpen) {
  const std::string idx = Path("err.idx");
  ASSERT_EQ(0, CreateIndexFile(5, idx.c_str(), 8, 0, 0, 2, 0, 0));
  ASSERT_EQ(0, AddIndexMember(5, 8, 0, 0, 1));  // member 2 stays reserved only
  ASSERT_EQ(0, addkey(5, Key("a", 8).data(), 7, 0));
  ASSERT_EQ(0, CloseFileEntry(5));
  const std::string dat = Path("err.dat");
  ASSERT_EQ(0, CreateDataFile(5, dat.c_str(), 20, 0, 0));
  ASSERT_EQ(0, CloseFileEntry(5));
  const int before = OpenNumbers();
  const std::string out = Path("err.keys");

  EXPECT_EQ(0, Dump(dat, 0, out));  // no index
  EXPECT_EQ(48, Err());
  EXPECT_EQ(0, Dump(idx, 3, out));  // beyond the members
  EXPECT_EQ(23, Err());
  EXPECT_EQ(0, Dump(idx, -1, out));
  EXPECT_EQ(23, Err());
  EXPECT_EQ(0, Dump(idx, 2, out));  // reserved, never added
  EXPECT_EQ(23, Err());
  EXPECT_FALSE(Exists(out));
  EXPECT_EQ(0, Dump(Path("missing.idx"), 0, out));
  EXPECT_EQ(12, Err());

  // An existing output is neither overwritten nor removed.
  { std::ofstream(out, std::ios::binary) << "keep"; }
  EXPECT_EQ(0, Dump(idx, 0, out));
  EXPECT_EQ(19, Err());
  EXPECT_EQ(std::vector<uint8_t>({'k', 'e', 'e', 'p'}), Bytes(out));
  EXPECT_EQ(0, Dump(idx, 0, "no_such_folder_here/out.keys"));
  EXPECT_EQ(17, Err());

  // An empty member dumps to an empty file.
  std::remove(out.c_str());
  EXPECT_EQ(0, Dump(idx, 1, out));
  EXPECT_EQ(0, Err());
  EXPECT_TRUE(Exists(out));
  EXPECT_TRUE(Bytes(out).empty());
  EXPECT_EQ(before, OpenNumbers());

  EXPECT_EQ(0, EngineDumpIndexKeys(0, nullptr));
  EXPECT_EQ(116, Err());
}

}  // namespace
}  // namespace isam
