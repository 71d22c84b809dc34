// A set its last writer left unfinished whose mend meets damage no crash
// leaves: the open says so and leaves the set closed and still marked,
// instead of handing out a set that was never mended.
#include <gtest/gtest.h>

#include <functional>

#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "tests/isam/fileset/file_set_test_support.h"

namespace isam {
namespace {

constexpr int kBrokenResourceChain = 407;

class FileSetMendRefusalTest : public FileSetTestBase {};

TEST_F(FileSetMendRefusalTest, AMendThatFailsFailsTheOpen) {
  const struct {
    const char* what;
    std::function<void(VarRecordHeader*)> damage;
  } cases[] = {
      {"a record header with a foreign mark", [](VarRecordHeader* h) { h->mark = 0x1234; }},
      {"a record reaching past the end", [](VarRecordHeader* h) { h->total = 0x7FFFFFF0u; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto set = FreshSet("damaged");
    CreateWithRecords(set.get(), {"a", "b", "c"});
    FileControlBlock* data = CheckFileNumber(set->block.assigned);
    const uint32_t first = FirstVarPosition(data);
    VarRecordHeader h;
    ASSERT_EQ(0, ReadVarRecordHeader(data, first, &h));
    c.damage(&h);
    ASSERT_EQ(0, WriteVarRecordHeader(data, first, h));
    // Closed as a writer that died would leave it: still counted.
    ASSERT_EQ(0, MarkWriter(data));
    data->writer_marked = false;
    ASSERT_EQ(0, CloseFileSet(&set->block));
    // The first record heads the resource chain: the mend steps over a
    // header no writer left, and the chain it starts is then broken (407).
    EXPECT_EQ(kBrokenResourceChain, OpenFileSetFromIfil(&set->block));
    EXPECT_EQ(-1, set->block.assigned);
    // Opened again, the set refuses again: the mark stays for a rebuild.
    EXPECT_EQ(kBrokenResourceChain, OpenFileSetFromIfil(&set->block));
    if (set->block.assigned >= 0) CloseFileSet(&set->block);
  }
}

}  // namespace
}  // namespace isam
