// libFuzzer target: the event record reader, and writing back what it read.
#include <cstddef>
#include <cstdint>

#include "tests/isam/fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  isam_fuzz::RunEventRecordInput(data, size);
  return 0;
}
