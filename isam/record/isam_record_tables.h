// The ISAM tables of one engine instance: for each data file the list of
// its key numbers, its current and saved record and its serial-number
// field; for each key number its definition (what the key builder reads),
// its ISAM current key and saved key. Rows exist for every file number that
// was ever used and grow on demand, so the table never limits how many
// file sets are open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "isam/index/key_build.h"

namespace isam {

struct EngineInstance;

constexpr int kMaxIsamKeys = 32;

struct IsamKeyRow {
  KeyDefinition def;                 // data_file -1: not an ISAM index
  uint8_t pad = 0x20;                // pad byte of the key transforms
  bool partial_allowed = false;      // a partly read record skips the key check
  int16_t condition = -1;
  std::string name;
  std::vector<uint8_t> current_key;  // ISAM current key (valid when non-empty)
  std::vector<uint8_t> saved_key;
};

struct IsamFileRow {
  bool is_data = false;
  std::vector<int16_t> keys;         // its key numbers, in definition order
  int32_t serial_offset = -1;        // record offset of a serial-number segment
  uint32_t current = 0;              // current record position (0 none)
  uint32_t saved = 0;
  std::string text1, text2;          // the file set's two optional texts
};

struct IsamTables {
  std::vector<IsamFileRow> files;
  std::vector<IsamKeyRow> keys;
  int16_t key_in_progress = -1;      // the index a read came through
  uint32_t operation_flags = 0;      // 0x01 release after add, 0x02 after rewrite
  bool targets_transformed = false;

  IsamFileRow& File(int n);
  IsamKeyRow& Key(int n);
};

// The current instance's tables (null before the ISAM start).
IsamTables* CurrentIsamTables();
int CreateIsamTables(EngineInstance* inst);   // 0 or 83
void FreeIsamTables(EngineInstance* inst);
// Resets the rows of a file number (its data-file row and, for an index,
// its key row) when the file closes.
void ForgetIsamFile(int file);


}  // namespace isam
