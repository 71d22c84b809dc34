// The application's engine calls end to end: every ISAM and resource call
// of the calendar file passes the gate and the dispatcher with its
// arguments packed as the API packs them, and answers as the layer does.
#include "isam/engine_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/resource_bytes.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

class EngineApiTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    Path("api.dat");
    Path("api.idx");
    set_ = std::make_unique<EventShapedSet>(Path("api"), kModeVariable, 0);
  }
  std::string Uid(const std::vector<uint8_t>& buf, int32_t len) {
    return UidOf(std::vector<uint8_t>(buf.begin(), buf.begin() + len));
  }
  std::unique_ptr<EventShapedSet> set_;
};

TEST_F(EngineApiTest, TheCalendarsCallsRoundTripThroughTheDispatcher) {
  ASSERT_EQ(0, IsamCreateFileSet(&set_->block));
  const auto data = static_cast<int16_t>(set_->block.assigned);
  const auto uid = static_cast<int16_t>(data + 1);
  for (const char* u : {"alpha", "bravo", "charlie"}) {
    const auto r = EventRecord(u, 1, 30);
    ASSERT_EQ(0, IsamAddVarRecord(data, r.data(), static_cast<int32_t>(r.size()))) << u;
  }
  const auto again = EventRecord("bravo", 9);
  EXPECT_EQ(2, IsamAddVarRecord(data, again.data(), static_cast<int32_t>(again.size())));
  EXPECT_EQ(2, CurrentInstance()->isam_error);

  std::vector<uint8_t> buf(4096);
  int32_t len = 4096;
  ASSERT_EQ(0, IsamReadVarRecordEqual(uid, UidTarget("bravo").data(), buf.data(), &len));
  EXPECT_EQ("bravo", Uid(buf, len));
  len = 4096;
  EXPECT_EQ(101, IsamReadVarRecordEqual(uid, UidTarget("bz").data(), buf.data(), &len));
  len = 4096;
  ASSERT_EQ(0, IsamReadVarRecordAtLeast(uid, UidTarget("bz").data(), buf.data(), &len));
  EXPECT_EQ("charlie", Uid(buf, len));

  // The rewrite and the re-read with the length they pass.
  const auto longer = EventRecord("charlie", 2, 1500);
  ASSERT_EQ(0, IsamRewriteVarRecord(data, longer.data(), static_cast<int32_t>(longer.size())));
  EXPECT_EQ(153, IsamRereadVarRecord(data, buf.data(), 100));
  ASSERT_EQ(0, IsamRereadVarRecord(data, buf.data(), 4096));
  EXPECT_EQ(0, std::memcmp(longer.data(), buf.data(), longer.size()));

  std::vector<std::string> walked;
  len = 4096;
  for (int rc = IsamFirstVarRecord(data, buf.data(), &len); rc == 0; rc = IsamNextVarRecord(data, buf.data(), &len)) {
    walked.push_back(Uid(buf, len));
    len = 4096;
  }
  EXPECT_EQ(101, CurrentInstance()->isam_error);
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "charlie"}), walked);

  // Resources: add, get whole and too short, update.
  const auto res = ResourceBytes(0x10000, 1, "CALINFO", "first");
  ASSERT_EQ(0, EngineAddResource(data, res.data(), static_cast<int32_t>(res.size())));
  uint8_t id[8];
  PutLe32(id, 0x10000);
  PutLe32(id + 4, 1);
  std::vector<uint8_t> got(64);
  EXPECT_EQ(static_cast<int32_t>(res.size()), EngineGetResource(data, id, got.data(), 64, 2));
  EXPECT_EQ(0, std::memcmp(res.data(), got.data(), res.size()));
  EXPECT_EQ(4, EngineGetResource(data, id, got.data(), 4, 2));
  EXPECT_EQ(404, CurrentInstance()->eng_err);
  const auto grown = ResourceBytes(0x10000, 1, "CALINFO", std::string(900, 'g'));
  ASSERT_EQ(0, EngineUpdateResource(data, grown.data(), static_cast<int32_t>(grown.size())));
  got.assign(1024, 0);
  EXPECT_EQ(static_cast<int32_t>(grown.size()), EngineGetResource(data, id, got.data(), 1024, 2));
  PutLe32(id + 4, 2);
  EXPECT_EQ(0, EngineGetResource(data, id, got.data(), 1024, 2));
  EXPECT_EQ(408, CurrentInstance()->eng_err);

  ASSERT_EQ(0, IsamCloseFileSet(&set_->block));
  EXPECT_EQ(-1, set_->block.assigned);
  ASSERT_EQ(0, IsamOpenFileSet(&set_->block));
  len = 4096;
  ASSERT_EQ(0, IsamReadVarRecordEqual(static_cast<int16_t>(set_->block.assigned + 1), UidTarget("charlie").data(),
                                      buf.data(), &len));
  EXPECT_EQ(static_cast<int32_t>(longer.size()), len);
}

}  // namespace
}  // namespace isam
