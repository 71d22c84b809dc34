// A record layout for condition tests: Amount (int 0x33), Count (unsigned
// 0x3B), Name (text with a 1-byte length, 0x9A), Price (double 0x67), and
// records built in it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "isam/maint/expr/expr_compile.h"

namespace maint_test {

inline void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Layout {
  std::vector<uint8_t> schema;
  std::vector<uint8_t> names;
  isam::RecordSchemaView view() const { return {schema.data(), schema.size()}; }
  isam::maint::ExprFieldNames list() const { return {names.data(), names.size()}; }
};

// Fields (name, type, size) in order; alignment 1 keeps offsets plain.
inline Layout MakeLayout(const std::vector<std::tuple<std::string, uint8_t, uint16_t>>& fields) {
  Layout l;
  l.schema.assign(16 + 4 * fields.size(), 0);
  l.schema[0] = 2;
  l.schema[1] = 1;
  Put32(l.schema, 4, static_cast<uint32_t>(l.schema.size()));
  Put32(l.schema, 8, static_cast<uint32_t>(fields.size()));
  Put32(l.schema, 12, static_cast<uint32_t>(fields.size()));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto& [name, type, size] = fields[i];
    l.schema[16 + 4 * i] = static_cast<uint8_t>(size);
    l.schema[17 + 4 * i] = static_cast<uint8_t>(size >> 8);
    l.schema[18 + 4 * i] = type;
    l.names.push_back(static_cast<uint8_t>(name.size() + 2));
    l.names.insert(l.names.end(), name.begin(), name.end());
    l.names.push_back(0);
  }
  return l;
}

inline Layout Standard() {
  return MakeLayout({{"Amount", 0x33, 4}, {"Count", 0x3B, 4}, {"Name", 0x9A, 30}, {"Price", 0x67, 8}});
}

// A record of the standard layout.
inline std::vector<uint8_t> Record(int32_t amount, uint32_t count, const std::string& name, double price = 0) {
  std::vector<uint8_t> r(8);
  Put32(r, 0, static_cast<uint32_t>(amount));
  Put32(r, 4, count);
  r.push_back(static_cast<uint8_t>(name.size()));
  r.insert(r.end(), name.begin(), name.end());
  uint8_t d[8];
  std::memcpy(d, &price, 8);
  r.insert(r.end(), d, d + 8);
  return r;
}

}  // namespace maint_test
