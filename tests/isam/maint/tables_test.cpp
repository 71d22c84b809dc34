// Batches and saved contexts through the engine's function numbers, on the
// condition fixture's set (index 1 Count unique, index 2 Amount with
// duplicates), Amount = Count % 4.
#include <cstring>
#include <vector>

#include "isam/fileset/file_set_check.h"
#include "isam/maint/tables/batch.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_lock.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/function_table.h"
#include "tests/isam/maint/cond_fixture.h"

namespace isam {

std::vector<int32_t> CondSetTest::Amounts(int relative) {
  std::vector<int32_t> out;
  uint8_t buffer[512];
  int32_t length = sizeof buffer;
  for (int rc = IsamRecordFirst(index(relative), buffer, &length); rc == 0;
       rc = IsamRecordNext(index(relative), buffer, &length)) {
    int32_t amount;
    std::memcpy(&amount, buffer, 4);
    out.push_back(amount);
    length = sizeof buffer;
  }
  return out;
}

namespace {

class TablesTest : public CondSetTest {
 protected:
  void Fill(int n = 20) {
    Create();
    for (int i = 0; i < n; ++i) ASSERT_EQ(0, Add(i % 4, static_cast<uint32_t>(i)));
  }
  int Dispatch(EngineFunctionNumber number, int16_t file, void* block = nullptr, void* buffer = nullptr,
               int32_t length = 0, int32_t word = 0) {
    EngineCall c;
    c.number = number;
    c.file = file;
    c.block = block;
    c.block2 = buffer;
    c.value2 = &length;
    c.extra = word;
    engserl(number);
    return EngineDispatchCall(&c);
  }
  // A request block for the Amount values equal to `amount` (the stored
  // key's first four bytes, taken from a read).
  std::vector<uint8_t> AmountRequest(int32_t amount) {
    uint8_t record[512];
    int32_t length = sizeof record;
    const uint8_t value[8] = {};
    std::vector<uint8_t> req(64, 0);
    uint8_t key[16] = {};
    int32_t target = amount;
    std::memcpy(const_cast<uint8_t*>(value), &target, 4);
    if (IsamRecordReadByKey(index(2), value, kReadAtLeast, record, &length) != 0) return req;
    CurrentIsamKey(index(2), key);
    const int16_t partial = 4;
    std::memcpy(req.data() + 12, &partial, 2);
    std::memcpy(req.data() + 14, key, 4);
    return req;
  }
  int Batch(std::vector<uint8_t>& req, int32_t word, int32_t buffer_length = 0, int file = -1) {
    buffer_.assign(static_cast<std::size_t>(buffer_length) + 1, 0);
    return Dispatch(kFnBatchRequest, static_cast<int16_t>(file < 0 ? index(2) : file), req.data(), buffer_.data(),
                    buffer_length, word);
  }
  int32_t Field(const std::vector<uint8_t>& req, int offset) {
    int32_t v;
    std::memcpy(&v, req.data() + offset, 4);
    return v;
  }
  uint32_t Returned(int i) {
    uint32_t v;
    std::memcpy(&v, buffer_.data() + 4 * i, 4);
    return v;
  }
  std::vector<uint8_t> buffer_;
};

TEST_F(TablesTest, BatchesReturnLockContinueAndEnd) {
  Fill();
  std::vector<uint8_t> req = AmountRequest(1);
  const int locks = RecordLockCount(data());
  ASSERT_EQ(0, Batch(req, 3 | 0x100 | 0x40 | 0x1000, 12));
  EXPECT_EQ(5, Field(req, 0));
  EXPECT_EQ(3, Field(req, 4));
  EXPECT_EQ(2, Field(req, 8));
  EXPECT_EQ(locks + 5, RecordLockCount(data()));
  const uint32_t first3[3] = {Returned(0), Returned(1), Returned(2)};
  ASSERT_EQ(0, Batch(req, 2, 12));
  EXPECT_EQ(2, Field(req, 4));
  EXPECT_EQ(0, Field(req, 8));
  EXPECT_NE(first3[0], Returned(0));
  EXPECT_EQ(428, Batch(req, 2, 12)) << "nothing more: the batch ends";
  EXPECT_EQ(locks, RecordLockCount(data()));
  EXPECT_EQ(426, Batch(req, 1));

  // Ending a batch unlocks what it locked.
  ASSERT_EQ(0, Batch(req, 3 | 0x100 | 0x40 | 0x1000, 400));
  EXPECT_EQ(locks + 5, RecordLockCount(data()));
  EXPECT_EQ(0, Batch(req, 1));
  EXPECT_EQ(locks, RecordLockCount(data()));
}

TEST_F(TablesTest, BatchRefusals) {
  Fill();
  std::vector<uint8_t> req = AmountRequest(1);
  std::vector<uint8_t> none = AmountRequest(1);
  none[14] ^= 0x40;  // a value no record has
  std::vector<uint8_t> negative(64, 0), zero_length = req;
  negative[3] = 0x80;
  zero_length[12] = zero_length[13] = 0;
  struct Case {
    std::vector<uint8_t>* req;
    int32_t word;
    int32_t length;
    int expected;
  } cases[] = {
      {&req, 3 | 0x4000 | 0x40, 64, 421}, {&req, 5, 64, 422},  {&req, 0, 64, 422},
      {&req, 1, 0, 426},                  {&req, 2, 64, 426},  {&none, 3 | 0x100 | 0x40, 64, 101},
      {&zero_length, 3 | 0x100, 64, 430}, {&negative, 3 | 0x400 | 0x40, 64, 430},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, Batch(*c.req, c.word, c.length)) << std::hex << c.word;
  EXPECT_EQ(430, Dispatch(kFnBatchRequest, static_cast<int16_t>(index(2)), nullptr, nullptr, 0, 3 | 0x100));
  EXPECT_EQ(430, Batch(negative, 3 | 0x200 | 0x40, 64, data())) << "positions need record images";
  EXPECT_EQ(48, Batch(req, 3 | 0x200 | 0x20, 64)) << "positions on an index";

  ASSERT_EQ(0, Batch(req, 3 | 0x100, 64)) << "no format: everything waits";
  EXPECT_EQ(5, Field(req, 8));
  EXPECT_EQ(425, Batch(req, 3 | 0x100 | 0x40, 64));
  EXPECT_EQ(427, Batch(req, 2, 64));
  EXPECT_EQ(429, Batch(req, 2 | 0x20, 3));
  ASSERT_EQ(0, Batch(req, 2 | 0x20, 4096));
  EXPECT_EQ(5, Field(req, 4));
  EXPECT_EQ(0, Batch(req, 1));
}

TEST_F(TablesTest, DeletionBatchRemovesRecordsAndKeys) {
  Fill();
  std::vector<uint8_t> req = AmountRequest(2);
  ASSERT_EQ(0, Batch(req, 4 | 0x100));
  EXPECT_EQ(5, Field(req, 8));
  for (uint32_t count = 0; count < 20; ++count) {
    uint8_t record[512];
    int32_t length = sizeof record;
    EXPECT_EQ(count % 4 == 2 ? 101 : 0, IsamRecordReadByKey(index(1), &count, kReadEqual, record, &length))
        << count;
  }
  EXPECT_EQ(std::vector<int32_t>({0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 3, 3, 3, 3, 3}), Amounts());
  FileSetReport report;
  EXPECT_EQ(0, CheckFileSet(data(), &report)) << (report.problem ? report.problem : "");
}

TEST_F(TablesTest, NumberedBatchesContinueApart) {
  CurrentInstance()->hash_size = 1;
  Fill();
  std::vector<uint8_t> one = AmountRequest(1), three = AmountRequest(3);
  std::vector<uint32_t> ones, threes;
  const int16_t numbers[2] = {-3, 7};
  for (int16_t n : numbers) {
    ASSERT_EQ(0, Dispatch(kFnBatchSelect, n));
    ASSERT_EQ(0, Batch(n < 0 ? one : three, 3 | 0x100 | 0x40, 4));
    (n < 0 ? ones : threes).push_back(Returned(0));
  }
  EXPECT_EQ(184, Dispatch(kFnBatchTableInit, 0));
  for (int round = 0; round < 4; ++round) {
    for (int16_t n : numbers) {
      ASSERT_EQ(0, Dispatch(kFnBatchSelect, n));
      ASSERT_EQ(0, Batch(n < 0 ? one : three, 2, 4)) << n;
      (n < 0 ? ones : threes).push_back(Returned(0));
    }
  }
  std::vector<uint32_t> expect_ones, expect_threes;
  for (std::vector<uint8_t>* req : {&one, &three}) {
    ASSERT_EQ(0, Dispatch(kFnBatchSelect, 9));
    ASSERT_EQ(0, Batch(*req, 3 | 0x100 | 0x40, 20));
    for (int i = 0; i < 5; ++i) (req == &one ? expect_ones : expect_threes).push_back(Returned(i));
    ASSERT_EQ(0, Batch(*req, 1));
  }
  EXPECT_EQ(expect_ones, ones);
  EXPECT_EQ(expect_threes, threes);
  EXPECT_EQ(0, Dispatch(kFnBatchFreeAll, 0));
  EXPECT_EQ(nullptr, CurrentInstance()->batch_table);
}

TEST_F(TablesTest, ContextsKeepOnePositionEach) {
  CurrentInstance()->hash_size = 1;
  Fill();
  IsamTables* t = CurrentIsamTables();
  uint8_t record[512];
  int32_t length = sizeof record;
  auto count_of = [&] {
    uint32_t c;
    std::memcpy(&c, record + 4, 4);
    return c;
  };
  uint32_t target = 5;
  ASSERT_EQ(0, IsamRecordReadByKey(index(1), &target, kReadEqual, record, &length));
  ASSERT_EQ(0, Dispatch(kFnContextSelect, 3));
  EXPECT_EQ(-1, t->key_in_progress) << "a new number restores the empty position";
  EXPECT_EQ(0u, CurrentRecordPosition(data()));
  EXPECT_TRUE(t->keys[static_cast<std::size_t>(index(1))].current_key.empty());
  ASSERT_EQ(0, IsamRecordReadByKey(index(1), &target, kReadEqual, record, &length));
  const uint32_t at5 = CurrentRecordPosition(data());
  const int16_t numbers[] = {7, -3};
  for (int16_t n : numbers) {
    ASSERT_EQ(0, Dispatch(kFnContextSelect, n));
    target = 12;
    ASSERT_EQ(0, IsamRecordReadByKey(index(1), &target, kReadEqual, record, &length));
  }
  ASSERT_EQ(0, Dispatch(kFnContextSelect, 3));
  EXPECT_EQ(at5, CurrentRecordPosition(data()));
  length = sizeof record;
  ASSERT_EQ(0, IsamRecordNext(index(1), record, &length));
  EXPECT_EQ(6u, count_of());
  ASSERT_EQ(0, Dispatch(kFnContextSelect, -3));
  length = sizeof record;
  ASSERT_EQ(0, IsamRecordNext(index(1), record, &length));
  EXPECT_EQ(13u, count_of());
  EXPECT_EQ(184, Dispatch(kFnContextTableInit, 0));
  EXPECT_EQ(0, Dispatch(kFnContextFreeAll, 0));
  EXPECT_EQ(0, Dispatch(kFnContextTableInit, 0));
  EXPECT_EQ(184, Dispatch(kFnContextTableInit, 0));
}

}  // namespace
}  // namespace isam
