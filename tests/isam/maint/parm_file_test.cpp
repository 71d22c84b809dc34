// File sets from parameter files: create then open, values split over
// lines, member and segment checks, refusals that leave nothing open.
#include <cstdio>
#include <string>

#include "isam/fileset/isam_start.h"
#include "isam/maint/maint_layer.h"
#include "isam/maint/parm/parm_file.h"
#include "isam/record/isam_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/thread_layer.h"
#include "gtest/gtest.h"

namespace isam {
namespace {

class ParmFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    maint::InstallMaintLayer();
    InstallIsamLayer();
    EngineThreadLayerStart(4, 0);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    prefix_ = std::string("parm_") + info->name() + "_";
    for (const char* leaf : {"p.txt", "a.dat", "a.idx", "b.idx"}) std::remove(Name(leaf).c_str());
  }
  void TearDown() override {
    IsamShutdown();
    for (const char* leaf : {"p.txt", "a.dat", "a.idx", "b.idx"}) std::remove(Name(leaf).c_str());
  }
  std::string Name(const char* leaf) const { return prefix_ + leaf; }
  // One data file (number 0) with index file 1 (members given) and
  // `index_lines` the text after the data file's lines.
  std::string Write(const std::string& body) {
    std::FILE* f = std::fopen(Name("p.txt").c_str(), "w");
    std::fputs(body.c_str(), f);
    std::fclose(f);
    return Name("p.txt");
  }
  std::string Set(int members, const std::string& index_tail = "1 4 8 1 4 4 1\n") {
    std::string s = "8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 " + std::to_string(1 + members) + "\nx y\n";
    s += "1 " + Name("a.idx") + " 4 0 0 " + std::to_string(members) + " 4096 0 0 0 1\nbycount\n4 4 1\n";
    for (int m = 1; m <= members; ++m) s += std::to_string(1 + m) + " " + index_tail + "member\n0 4 1\n4 4 1\n";
    return s;
  }
  bool AnyOpen() {
    EngineInstance* inst = CurrentInstance();
    return inst != nullptr && inst->started && inst->files_open > 0;
  }
  std::string prefix_;
};

TEST_F(ParmFileTest, CreateThenOpenAndMemberCounts) {
  // Members with duplicates: key 12, segments 4 + 4.
  const std::string two = Set(1, "12 0 1 0 0 2\n");
  ASSERT_EQ(0, maint::CreateFilesFromParmFile(Write(two).c_str()));
  uint8_t record[16] = {1, 0, 0, 0, 7};
  EXPECT_EQ(0, IsamRecordAdd(0, record, 16));
  ASSERT_EQ(0, IsamShutdown());
  // Values split over any lines.
  std::string split = two;
  for (char& c : split)
    if (c == ' ') c = '\n';
  ASSERT_EQ(0, maint::OpenFilesFromParmFile(Write(split).c_str()));
  uint8_t out[16] = {};
  uint32_t count = 7;
  int32_t length = sizeof out;
  EXPECT_EQ(0, IsamRecordReadByKey(1, &count, kReadEqual, out, &length));
  ASSERT_EQ(0, IsamShutdown());
  // The file on disk has one member, the parameter file claims two.
  std::string three = "8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 3\nx y\n1 " + Name("a.idx") +
                      " 4 0 0 2 4096 0 0 0 1\nbycount\n4 4 1\n2 12 0 1 0 0 2\nm\n0 4 1\n4 4 1\n"
                      "3 12 0 1 0 0 2\nn\n0 4 1\n4 4 1\n";
  EXPECT_EQ(124, maint::OpenFilesFromParmFile(Write(three).c_str()));
  EXPECT_FALSE(AnyOpen());
}

TEST_F(ParmFileTest, Refusals) {
  const std::string long_name(300, 'n');
  struct Case {
    std::string text;
    int expected;
  } cases[] = {
      {"8 2 4", 103},
      {"8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 2\nx y\n1 " + Name("a.idx") +
           " 4 0 0 1 4096 0 0 0 1\nc\n4 4 1\n3 12 0 1 0 0 2\nm\n0 4 1\n4 4 1\n",
       108},
      {"8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 1\nx y\n1 " + Name("a.idx") +
           " 4 0 0 0 4096 0 0 0 13\nc\n",
       109},
      {Set(1, "12 0 0 0 0 1\n"), 115},  // no duplicates: 8 bytes of 12
      {"8 2 4 1\n0 " + long_name + " 16 4096 4 1\nx y\n", 106},
      {"8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 1\nx y\n1 " + Name("a.idx") + " 4 0 0 0 4096 0 0 0 1\n" +
           long_name + "\n4 4 1\n",
       180},
      {"8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 40000\nx y\n", 106},
      {"8 2 4 1\n0 " + Name("a.dat") + " 16 4096 4 33\nx y\n", 107},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, maint::CreateFilesFromParmFile(Write(c.text).c_str())) << c.text.substr(0, 60);
    EXPECT_FALSE(AnyOpen());
    for (const char* leaf : {"a.dat", "a.idx"}) std::remove(Name(leaf).c_str());
  }
  EXPECT_EQ(102, maint::OpenFilesFromParmFile(Name("missing.txt").c_str()));
}

}  // namespace
}  // namespace isam
