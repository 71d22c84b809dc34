#include "isam/fileset/isam_start.h"

#include <gtest/gtest.h>

#include <memory>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/engine_instance.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {
namespace {

TEST(IsamStartLimits, TooManyFilesAreRefused) {
  EXPECT_EQ(104, CheckIsamStartLimits(111));
  EXPECT_EQ(182, CheckIsamStartLimits(108));
  EXPECT_EQ(0, CheckIsamStartLimits(107));
  InstallIsamLayer();
  EngineThreadLayerStart(4, 0);
  EXPECT_EQ(104, EngineStart(8, 120, 6, 8, 33, nullptr, nullptr, nullptr));
}

TEST(IsamStart, InitStartsOnceAndKeepsTheFirstStart) {
  EngineThreadLayerStart(4, 0);
  EXPECT_EQ(104, IsamInit(8, 111, 6, 8, 33));
  EXPECT_EQ(182, IsamInit(8, 108, 6, 8, 33));
  ASSERT_EQ(0, IsamInit(8, 2, 6, 8, 33));
  ASSERT_NE(nullptr, CurrentInstance());
  EXPECT_GE(CurrentInstance()->file_count, kMinimumIsamFiles) << "the ISAM start raises a small file count";
  EXPECT_EQ(125, IsamInit(8, 20, 6, 8, 33));
  EXPECT_TRUE(CurrentInstance() != nullptr && CurrentInstance()->started);
  EXPECT_EQ(0, IsamShutdown());
  EXPECT_EQ(0, IsamShutdown()) << "nothing to do once stopped";
}

TEST(IsamStart, TwentyCalendarsOpenWithAnEngineStartedForTwoFiles) {
  InstallIsamLayer();
  EngineThreadLayerStart(4, 0);
  ASSERT_EQ(0, EngineStart(8, 2, 6, 8, 33, nullptr, nullptr, nullptr));
  std::vector<std::unique_ptr<CalendarFileSet>> sets;
  for (int i = 0; i < 20; ++i) {
    const std::string base = "isamrec_start_cal" + std::to_string(i);
    std::remove((base + ".dat").c_str());
    std::remove((base + ".idx").c_str());
    sets.push_back(std::make_unique<CalendarFileSet>(base));
    ASSERT_EQ(0, CreateFileSetFromIfil(sets.back()->block())) << i;
    const auto r = EventRecord("event-of-" + std::to_string(i), 1);
    ASSERT_EQ(0, IsamRecordAdd(sets.back()->data_file(), r.data(), static_cast<int32_t>(r.size())));
  }
  for (int i = 0; i < 20; ++i) {
    std::vector<uint8_t> buf(256);
    int32_t len = 256;
    const auto t = UidTarget("event-of-" + std::to_string(i));
    EXPECT_EQ(0, IsamRecordReadByKey(sets[i]->uid_key(), t.data(), kReadEqual, buf.data(), &len)) << i;
  }
  // The shutdown closes every set and stops the engine.
  EXPECT_EQ(0, IsamShutdown());
  EXPECT_EQ(nullptr, CurrentInstance() && CurrentInstance()->started ? CurrentInstance() : nullptr);
}

}  // namespace
}  // namespace isam
