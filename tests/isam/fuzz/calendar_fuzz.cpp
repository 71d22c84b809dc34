// libFuzzer target: a mutated calendar file opened and used.
#include <cstddef>
#include <cstdint>
#include <string>

#include <unistd.h>

#include "tests/isam/fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "fuzz_calendar_" + std::to_string(getpid()) + ".akv";
  isam_fuzz::RunCalendarInput(data, size, path);
  return 0;
}
