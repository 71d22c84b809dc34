// A file set shaped like a calendar's event file (fixed part 14, a unique
// 200-byte UID key taken from the variable part, a change-serial key with
// duplicates) and records for it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/index/btree_bytes.h"

namespace isam {

struct EventShapedSet {
  KeySegment uid_segment{0, 200, 4};
  KeySegment serial_segment{6, 4, 1};
  uint8_t pad = 0x20;
  IndexDefinition indexes[2];
  IfilBlock block;
  std::string name;

  EventShapedSet(const std::string& base, int16_t data_mode, int16_t index_mode) : name(base) {
    indexes[0].key_length = 200;
    indexes[0].key_type = 8;
    indexes[0].segment_count = 1;
    indexes[0].segments = &uid_segment;
    indexes[0].pad_byte = &pad;
    indexes[1].key_length = 8;
    indexes[1].duplicates = 1;
    indexes[1].segment_count = 1;
    indexes[1].segments = &serial_segment;
    indexes[1].pad_byte = &pad;
    block.name = name.c_str();
    block.record_length = 14;
    block.data_extension = 4096;
    block.data_mode = data_mode;
    block.index_count = 2;
    block.index_extension = 4096;
    block.index_mode = index_mode;
    block.indexes = indexes;
  }
};

// kind 0, 1, sequence, serial, then item 26 with the UID, then filler.
inline std::vector<uint8_t> EventRecord(const std::string& uid, uint32_t serial, std::size_t filler = 0,
                                        char fill = 'x') {
  std::vector<uint8_t> r(14 + uid.size() + 1 + filler, static_cast<uint8_t>(fill));
  r[0] = 0;
  r[1] = 1;
  PutLe32(r.data() + 2, 1);
  PutLe32(r.data() + 6, serial);
  PutLe32(r.data() + 10, static_cast<uint32_t>(26 | ((uid.size() + 1) << 16)));
  std::memcpy(r.data() + 14, uid.c_str(), uid.size() + 1);
  return r;
}

inline std::vector<uint8_t> UidTarget(const std::string& uid) {
  std::vector<uint8_t> t(200, ' ');
  std::memcpy(t.data(), uid.data(), uid.size() < 200 ? uid.size() : 200);
  return t;
}

inline std::vector<uint8_t> SerialTarget(uint32_t serial) {
  std::vector<uint8_t> t(8, 0);
  PutLe32(t.data(), serial);
  return t;
}

inline std::string UidOf(const std::vector<uint8_t>& record) {
  if (record.size() <= 14) return {};
  return std::string(reinterpret_cast<const char*>(record.data() + 14));
}

}  // namespace isam
