// What one batch keeps between its calls.
#pragma once

#include <cstdint>
#include <vector>

namespace isam::maint {

struct BatchEntry {
  uint32_t position = 0;
  bool locked = false;
  bool pending = false;          // matched, not yet returned
  std::vector<uint8_t> key;      // the index entry that found it (key selections)
};

struct BatchState {
  int16_t file = 0;              // the request's file (index or data file)
  int16_t data_file = 0;
  int state = 0;                 // 0 none, else the starting action (3, 4)
  int32_t selection = 0, format = 0, verify = 0, lock = 0, lock_strict = 0, keep = 0;
  int32_t matched = 0, returned = 0, pending = 0;
  std::vector<uint8_t> record;   // grown to the largest record read
  std::vector<BatchEntry> entries;  // every matched record, in order
  std::size_t next_pending = 0;  // first entry a continue looks at
};

}  // namespace isam::maint
