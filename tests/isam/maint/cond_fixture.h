// A variable-length file set with named fields for condition tests:
// Amount (int), Count (unsigned) in the fixed part, Name (text with a
// 1-byte length) behind them; index 1 on Count (unique), index 2 on Amount
// (duplicates).
#pragma once

#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/maint/maint_layer.h"
#include "isam/record/isam_record.h"
#include "isam/record/record_definition.h"
#include "tests/isam/maint/expr_fixture.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {

class CondSetTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    maint::InstallMaintLayer();
    RecordEngineTest::SetUp();
  }
  // Creates (and leaves open) the set; `data_mode` 0x4 exclusive.
  void Create(int16_t data_mode = 0x4) {
    Describe(Path("conds"));
    Path("conds.dat");
    Path("conds.idx");
    ASSERT_EQ(0, CreateFileSetFromIfil(&block_));
    const RecordField fields[] = {{"Amount", 0x33, 4}, {"Count", 0x3B, 4}, {"Name", 0x9A, 40}};
    ASSERT_EQ(0, DefineRecordFields(block_.assigned, fields, 3, true));
    if (data_mode != 0x4) Reopen(data_mode);
  }
  // The set's definition under `name` (for an open by another process).
  void Describe(const std::string& name) {
    name_ = name;
    indexes_[0].key_length = 4;
    indexes_[0].segment_count = 1;
    indexes_[0].segments = &count_segment_;
    indexes_[1].key_length = 8;
    indexes_[1].duplicates = 1;
    indexes_[1].segment_count = 1;
    indexes_[1].segments = &amount_segment_;
    block_.name = name_.c_str();
    block_.record_length = 8;
    block_.data_extension = 4096;
    block_.data_mode = 0x4;
    block_.index_count = 2;
    block_.index_extension = 4096;
    block_.indexes = indexes_;
  }
  void Reopen(int16_t data_mode = 0x4, int16_t number = -1) {
    ASSERT_EQ(0, CloseFileSet(&block_));
    block_.data_mode = data_mode;
    block_.data_file = number;
    ASSERT_EQ(0, OpenFileSetFromIfil(&block_));
  }
  int data() const { return block_.assigned; }
  int index(int relative) const { return block_.assigned + relative; }
  int Add(int32_t amount, uint32_t count, const std::string& name = "x") {
    const std::vector<uint8_t> r = maint_test::Record(amount, count, name);
    return IsamRecordAdd(data(), r.data(), static_cast<int32_t>(r.size() - 8));  // no Price here
  }
  // The Amount values the index holds, in key order.
  std::vector<int32_t> Amounts(int relative = 2);

  std::string name_;
  KeySegment count_segment_{4, 4, 1};
  KeySegment amount_segment_{0, 4, 1};
  IndexDefinition indexes_[2];
  IfilBlock block_;
};

}  // namespace isam
