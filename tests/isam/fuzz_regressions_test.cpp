// Replays the fuzz targets' inputs kept in fuzz_regressions/: the seeds and
// every input that ever made a target fail. Each must now run through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/isam/fuzz/fuzz_inputs.h"

namespace {

std::vector<std::filesystem::path> Inputs(const char* target) {
  std::vector<std::filesystem::path> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(ALMACORA_FUZZ_REGRESSIONS) / target, ec))
    if (e.is_regular_file()) out.push_back(e.path());
  return out;
}

std::vector<uint8_t> Read(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzRegressions, EveryKeptInputRunsThrough) {
  const auto calendars = Inputs("calendar");
  EXPECT_FALSE(calendars.empty()) << "the seeds at least";
  for (const auto& p : calendars) {
    SCOPED_TRACE(p.filename().string());
    const auto bytes = Read(p);
    isam_fuzz::RunCalendarInput(bytes.data(), bytes.size(), "fuzz_regression.akv");
  }
  for (const auto& p : Inputs("event_record")) {
    SCOPED_TRACE(p.filename().string());
    const auto bytes = Read(p);
    isam_fuzz::RunEventRecordInput(bytes.data(), bytes.size());
  }
}

}  // namespace
