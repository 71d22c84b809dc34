#include <cstdio>

#include "platform/keyed_check.h"

namespace platform {

bool KeyedCheckBytes(const std::string& key, const std::string& data, unsigned char out[kKeyedCheckSize]);

std::string KeyedCheck(const std::string& key, const std::string& data) {
  unsigned char digest[kKeyedCheckSize];
  if (!KeyedCheckBytes(key, data, digest)) return std::string();
  std::string hex;
  char two[3];
  for (unsigned char b : digest) {
    std::snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  return hex;
}

}  // namespace platform
