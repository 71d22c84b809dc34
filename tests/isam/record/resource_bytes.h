// A resource's bytes as the resource calls take them: u32 type, u32 number,
// the zero-terminated name, then the payload.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"

namespace isam {

inline std::vector<uint8_t> ResourceBytes(uint32_t type, uint32_t number, const std::string& name,
                                          const std::string& payload) {
  std::vector<uint8_t> d(8 + name.size() + 1 + payload.size());
  PutLe32(d.data(), type);
  PutLe32(d.data() + 4, number);
  std::memcpy(d.data() + 8, name.c_str(), name.size() + 1);
  std::memcpy(d.data() + 8 + name.size() + 1, payload.data(), payload.size());
  return d;
}

}  // namespace isam
