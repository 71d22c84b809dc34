// A scratch folder of a benchmark's own under the temp folder: made new
// (a name nobody holds, so two runs at once never share or delete each
// other's files) and removed with everything in it when the object goes.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace benchcal {

class ScratchDir {
 public:
  explicit ScratchDir(const char* stem) {
    std::random_device seed;
    std::mt19937_64 rng(seed() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int tries = 0; tries < 100 && dir_.empty(); ++tries) {
      const std::filesystem::path candidate = temp / (std::string(stem) + "-" + std::to_string(rng() % 1000000000));
      std::error_code ec;
      // create_directory answers false for a folder already there: that one is someone else's.
      if (std::filesystem::create_directory(candidate, ec)) dir_ = candidate;
    }
    if (dir_.empty()) std::printf("no scratch folder could be made under %s\n", temp.string().c_str());
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  bool ok() const { return !dir_.empty(); }
  const std::filesystem::path& path() const { return dir_; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

}  // namespace benchcal
